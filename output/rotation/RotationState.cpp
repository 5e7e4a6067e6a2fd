#include "RotationState.h"

#include "RotationInterval.h"

#include <QRegularExpression>
#include "output/StateFields.h"

#include <QUrl>

#include <array>
#include <utility>

namespace quorrel::output::rotation {

namespace {

constexpr int kVersion = 1;

const std::array<std::pair<EMethod, const char*>, 4> kMethods{{{EMethod::SlideShowXml, "slide-show-xml"},
                                                               {EMethod::XfceCycle, "xfce-cycle"},
                                                               {EMethod::PlasmaSlideShow, "plasma-slide-show"},
                                                               {EMethod::SystemdTimer, "systemd-timer"}}};



const std::array<std::pair<EPhase, const char*>, 3> kPhases{
    {{EPhase::Preparing, "preparing"}, {EPhase::Installing, "installing"}, {EPhase::Installed, "installed"}}};





} // namespace

QByteArray WriteState(const CRotationState& state)
{
    QByteArray text = "version=" + QByteArray::number(kVersion) + '\n';
    auto line = [&text](const char* key, const QString& value) { text += key + ('=' + EncodedField(value)) + '\n'; };
    line("method", QString::fromLatin1(NameOf(kMethods, state.method)));
    line("phase", QString::fromLatin1(NameOf(kPhases, state.phase)));
    line("desktop", QString::fromLatin1(NameOf(kDesktopNames, state.desktop)));
    line("session", QString::fromLatin1(NameOf(kSessionNames, state.session)));
    line("desktop-name", state.desktopName);
    line("interval", QString::number(state.intervalSeconds));
    line("count", QString::number(state.count));
    line("source", state.source);
    line("since", state.since.toUTC().toString(Qt::ISODate));
    if (!state.stamp.isEmpty())
        line("stamp", state.stamp);
    if (state.randomOrder)
        line("random-order", QStringLiteral("true"));
    for (const QString& file : state.files)
        line("file", file);
    for (const auto& [setting, value] : state.previous)
        text += "previous=" + EncodedField(setting) + '=' + EncodedField(value) + '\n';
    return text;
}

std::optional<CRotationState> ReadState(const QByteArray& text, QString& error)
{
    CRotationState state;
    bool versionSeen = false, methodSeen = false;
    int number = 0;
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
            state.previous.append({QUrl::fromPercentEncoding(encoded.left(split)),
                                   QUrl::fromPercentEncoding(encoded.mid(split + 1))});
            continue;
        }
        const QString value = QUrl::fromPercentEncoding(encoded);
        bool ok = true;
        if (key == "version") {
            versionSeen = value.toInt(&ok) == kVersion && ok;
            if (!versionSeen)
                return bad("a version this program does not know");
        } else if (key == "method") {
            const auto method = ValueOf(kMethods, value);
            if (!method)
                return bad("an unknown method");
            state.method = *method;
            methodSeen = true;
        } else if (key == "phase") {
            const auto phase = ValueOf(kPhases, value);
            if (!phase)
                return bad("an unknown phase");
            state.phase = *phase;
        } else if (key == "stamp") {
            static const QRegularExpression plain(QStringLiteral("^[0-9A-Za-z-]{1,40}$"));
            if (!plain.match(value).hasMatch())
                return bad("a stamp that is no plain name");
            state.stamp = value;
        } else if (key == "random-order") {
            if (value != u"true" && value != u"false")
                return bad("random-order is neither true nor false");
            state.randomOrder = value == u"true";
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
        } else if (key == "interval") {
            number = value.toInt(&ok);
            if (!ok || number < kShortestIntervalSeconds || number > kLongestIntervalSeconds)
                return bad("an interval out of range");
            state.intervalSeconds = number;
        } else if (key == "count") {
            number = value.toInt(&ok);
            if (!ok || number < 0 || number > 10000)
                return bad("a count out of range");
            state.count = number;
        } else if (key == "source") {
            state.source = value;
        } else if (key == "since") {
            state.since = QDateTime::fromString(value, Qt::ISODate);
        } else if (key == "file") {
            state.files << value;
        } else {
            return bad("an unknown key");
        }
    }
    if (!versionSeen || !methodSeen || state.intervalSeconds == 0) {
        error = QStringLiteral("the version, method or interval is missing");
        return std::nullopt;
    }
    return state;
}

QString PhaseName(EPhase phase)
{
    switch (phase) {
    case EPhase::Preparing: return QStringLiteral("preparing its files");
    case EPhase::Installing: return QStringLiteral("changing the desktop's settings");
    case EPhase::Installed: return QStringLiteral("installed");
    }
    return {};
}

QString MethodName(EMethod method)
{
    switch (method) {
    case EMethod::SlideShowXml: return QStringLiteral("the desktop's own slide show (slide-show XML)");
    case EMethod::XfceCycle: return QStringLiteral("xfdesktop's own cycling of the folder");
    case EMethod::PlasmaSlideShow: return QStringLiteral("Plasma's slide-show wallpaper");
    case EMethod::SystemdTimer: return QStringLiteral("a systemd user timer running quorrel-render");
    }
    return {};
}

} // namespace quorrel::output::rotation
