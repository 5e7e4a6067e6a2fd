#include "NativePath.h"

#include <QDir>

#include <cerrno>
#include <vector>

#include <dirent.h>
#include <unistd.h>
#include <sys/stat.h>

namespace quorrel::platform {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;   // U+DC80..U+DCFF hold the bytes 0x80..0xFF

// The length of the valid UTF-8 sequence at `at`, or 0.
int ValidSequence(const QByteArray& bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    int length = 0;
    char32_t min = 0, value = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, min = 0x80, value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, min = 0x800, value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, min = 0x10000, value = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    return length;
}

bool IsEscape(char16_t c) { return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF; }

std::vector<QByteArray> FolderEntries(const QByteArray& folder)
{
    std::vector<QByteArray> names;
    DIR* dir = ::opendir(folder.isEmpty() ? "." : folder.constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir))
        names.emplace_back(entry->d_name);
    ::closedir(dir);
    return names;
}

bool Exists(const QByteArray& native)
{
    struct stat st {};
    return ::lstat(native.constData(), &st) == 0;
}

} // namespace

QString PathFromNative(const QByteArray& bytes)
{
    QString path;
    path.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        const int length = ValidSequence(bytes, at);
        if (length == 0) {
            path += QChar(char16_t(kEscapeBase + static_cast<unsigned char>(bytes[at])));
            ++at;
        } else {
            path += QString::fromUtf8(bytes.constData() + at, length);
            at += length;
        }
    }
    return path;
}

QByteArray NativePath(const QString& path)
{
    QByteArray bytes;
    bytes.reserve(path.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= path.size(); ++i) {
        if (i < path.size() && !IsEscape(path.at(i).unicode()))
            continue;
        bytes += QStringView(path).mid(runStart, i - runStart).toUtf8();
        if (i < path.size())
            bytes += static_cast<char>(path.at(i).unicode() - kEscapeBase);
        runStart = i + 1;
    }
    return bytes;
}

QStringList ArgumentsFromNative(int argc, const char* const* argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << PathFromNative(QByteArray(argv[i]));
    return arguments;
}

QString AbsolutePath(const QString& path)
{
    if (path.isEmpty() || path.startsWith(u'/'))
        return QDir::cleanPath(path);
    QByteArray current(4096, '\0');
    while (!::getcwd(current.data(), std::size_t(current.size()))) {
        if (errno != ERANGE)
            return QDir::cleanPath(QDir::currentPath() + u'/' + path);
        current.resize(current.size() * 2);
    }
    return QDir::cleanPath(PathFromNative(QByteArray(current.constData())) + u'/' + path);
}

QString DisplayPath(const QString& path)
{
    QString shown = path;
    for (QChar& c : shown) {
        if (IsEscape(c.unicode()))
            c = QChar::ReplacementCharacter;
    }
    return shown;
}

QString ResolveShownPath(const QString& path)
{
    if (!path.contains(QChar::ReplacementCharacter) || Exists(NativePath(path)))
        return path;
    const QStringList parts = path.split(u'/');
    QString resolved;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& part = parts.at(i);
        QString chosen = part;
        if (part.contains(QChar::ReplacementCharacter)) {
            // The folder so far: none for a relative first part, "/" for an absolute one.
            const QString folder = i == 0 ? QString() : resolved.isEmpty() ? QStringLiteral("/") : resolved;
            int matches = 0;
            for (const QByteArray& entry : FolderEntries(NativePath(folder))) {
                if (QString::fromUtf8(entry) == part) {
                    chosen = PathFromNative(entry);
                    ++matches;
                }
            }
            if (matches != 1)
                return path;
        }
        resolved += (i == 0 ? QString() : QStringLiteral("/")) + chosen;
    }
    return resolved;
}

} // namespace quorrel::platform
