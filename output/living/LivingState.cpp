#include "LivingState.h"

#include <QFile>
#include "output/StateFields.h"

#include <QUrl>

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quorrel::output::living {

namespace {

constexpr int kVersion = 1;

const std::array<std::pair<EWay, const char*>, 5> kWays{{{EWay::X11Player, "x11-player"},
                                                        {EWay::WaylandPlayer, "wayland-player"},
                                                        {EWay::SlideShowXml, "slide-show-xml"},
                                                        {EWay::XfceCycle, "xfce-cycle"},
                                                        {EWay::PlasmaPackage, "plasma-package"}}};







bool PlainName(const QString& name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') && !name.contains(QChar(0));
}

// A file of the living folder: a plain name, or one in its slides folder.
bool OurName(const QString& name)
{
    return name.startsWith(QLatin1String("slides/")) ? PlainName(name.mid(7)) : PlainName(name);
}

} // namespace

QByteArray WriteLivingState(const CLivingState& state)
{
    QByteArray text = "version=" + QByteArray::number(kVersion) + '\n';
    auto line = [&text](const char* key, const QString& value) { text += key + ('=' + EncodedField(value)) + '\n'; };
    line("way", QString::fromLatin1(NameOf(kWays, state.way)));
    line("desktop", QString::fromLatin1(NameOf(kDesktopNames, state.desktop)));
    line("session", QString::fromLatin1(NameOf(kSessionNames, state.session)));
    line("desktop-name", state.desktopName);
    line("size", QStringLiteral("%1x%2").arg(state.width).arg(state.height));
    line("frames", QString::number(state.frames));
    line("fps", QString::number(state.fps));
    line("period", QString::number(state.periodSeconds));
    line("source", state.source);
    line("since", state.since.toUTC().toString(Qt::ISODate));
    line("autostart", state.autostart ? QStringLiteral("yes") : QStringLiteral("no"));
    for (const QString& file : state.files)
        line("file", file);
    for (const auto& [setting, value] : state.previous)
        text += "previous=" + EncodedField(setting) + '=' + EncodedField(value) + '\n';
    return text;
}

std::optional<CLivingState> ReadLivingState(const QByteArray& text, QString& error)
{
    CLivingState state;
    bool versionSeen = false, waySeen = false;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray& raw = lines[i];
        if (raw.isEmpty())
            continue;
        auto bad = [&](const char* what) {
            error = QStringLiteral("line %1: %2").arg(i + 1).arg(QLatin1String(what));
            return std::nullopt;
        };
        const qsizetype equals = raw.indexOf('=');
        if (equals <= 0)
            return bad("not key=value");
        const QByteArray key = raw.left(equals);
        const QByteArray encoded = raw.mid(equals + 1);
        if (key == "previous") {
            const qsizetype split = encoded.indexOf('=');
            if (split <= 0)
                return bad("a previous setting without its value");
            state.previous.append(
                {QUrl::fromPercentEncoding(encoded.left(split)), QUrl::fromPercentEncoding(encoded.mid(split + 1))});
            continue;
        }
        const QString value = QUrl::fromPercentEncoding(encoded);
        bool ok = true;
        auto number = [&](int low, int high, int& into) {
            const int n = value.toInt(&ok);
            ok = ok && n >= low && n <= high;
            if (ok)
                into = n;
            return ok;
        };
        if (key == "version") {
            versionSeen = value.toInt(&ok) == kVersion && ok;
            if (!versionSeen)
                return bad("a version this program does not know");
        } else if (key == "way") {
            const auto way = ValueOf(kWays, value);
            if (!way)
                return bad("an unknown way");
            state.way = *way;
            waySeen = true;
        } else if (key == "desktop") {
            const auto desktop = ValueOf(kDesktopNames, value);
            if (!desktop)
                return bad("an unknown desktop");
            state.desktop = *desktop;
        } else if (key == "session") {
            const auto session = ValueOf(kSessionNames, value);
            if (!session)
                return bad("an unknown session type");
            state.session = *session;
        } else if (key == "desktop-name") {
            state.desktopName = value;
        } else if (key == "size") {
            const QStringList parts = value.split(u'x');
            bool w = false, h = false;
            const int width = parts.value(0).toInt(&w), height = parts.value(1).toInt(&h);
            if (parts.size() != 2 || !w || !h || width < 1 || height < 1 || width > 4096 || height > 4096)
                return bad("a size out of range");
            state.width = width;
            state.height = height;
        } else if (key == "frames") {
            if (!number(1, 36000, state.frames))
                return bad("a frame count out of range");
        } else if (key == "fps") {
            if (!number(0, 120, state.fps))
                return bad("a frame rate out of range");
        } else if (key == "period") {
            if (!number(0, kLongestPeriodSeconds, state.periodSeconds))
                return bad("a period out of range");
        } else if (key == "source") {
            state.source = value;
        } else if (key == "since") {
            state.since = QDateTime::fromString(value, Qt::ISODate);
        } else if (key == "autostart") {
            if (value != u"yes" && value != u"no")
                return bad("autostart is neither yes nor no");
            state.autostart = value == u"yes";
        } else if (key == "file") {
            if (!OurName(value))
                return bad("a file that is not a plain name in the living folder");
            state.files << value;
        } else {
            return bad("an unknown key");
        }
    }
    if (!versionSeen || !waySeen) {
        error = QStringLiteral("the version or way is missing");
        return std::nullopt;
    }
    return state;
}

std::optional<CLivingState> ReadLivingStateFile(const QString& path, QString& error)
{
    error.clear();
    const QByteArray name = QFile::encodeName(path);
    const int fd = open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno != ENOENT)
            error = QStringLiteral("%1 cannot be read (not a regular file of yours?)").arg(path);
        return std::nullopt;
    }
    struct stat info {};
    QByteArray text;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = QStringLiteral("%1 is not a regular file").arg(path);
    } else if (info.st_size > kLargestLivingState) {
        error = QStringLiteral("%1 is larger than a state file can be").arg(path);
    } else {
        text.resize(qsizetype(info.st_size));
        qsizetype got = 0;
        while (got < text.size()) {
            const ssize_t n = read(fd, text.data() + got, std::size_t(text.size() - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += n;
        }
        if (got != text.size())
            error = QStringLiteral("%1 cannot be read").arg(path);
    }
    close(fd);
    if (!error.isEmpty())
        return std::nullopt;
    auto state = ReadLivingState(text, error);
    if (!state)
        error = QStringLiteral("%1: %2").arg(path, error);
    return state;
}

QString WayName(EWay way)
{
    switch (way) {
    case EWay::X11Player: return QStringLiteral("Quorrel's player on the X11 root window");
    case EWay::WaylandPlayer: return QStringLiteral("Quorrel's player on the layer-shell background");
    case EWay::SlideShowXml: return QStringLiteral("slow living: the desktop's own slide show with long cross-fades");
    case EWay::XfceCycle: return QStringLiteral("slow living: xfdesktop's own cycling through the loop's frames");
    case EWay::PlasmaPackage: return QStringLiteral("Quorrel's Plasma wallpaper package");
    }
    return {};
}

} // namespace quorrel::output::living
