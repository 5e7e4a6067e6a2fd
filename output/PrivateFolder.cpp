#include "PrivateFolder.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorrel::output {

namespace {

QString Reason() { return QString::fromLocal8Bit(std::strerror(errno)); }

QByteArray Name(const QString& name) { return QFile::encodeName(name); }

// Why a folder that was opened may not be used, or nothing.
QString Unsafe(const struct stat& info, const QString& path, bool ownFolder)
{
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("%1 is not a folder").arg(path);
    const uid_t me = ::geteuid();
    if (info.st_uid != me && !(info.st_uid == 0 && !ownFolder))
        return QStringLiteral("%1 belongs to another user (uid %2); refused").arg(path).arg(info.st_uid);
    // Our own folders may be written by us alone; the base may be shared
    // with the user's group, or by all when only owners may remove names
    // (the sticky bit, as /tmp).
    const mode_t others = ownFolder ? (S_IWGRP | S_IWOTH) : S_IWOTH;
    if ((info.st_mode & others) != 0 && (ownFolder || (info.st_mode & S_ISVTX) == 0))
        return QStringLiteral("%1 may be written by other users (mode %2); refused")
            .arg(path)
            .arg(info.st_mode & 07777, 4, 8, QLatin1Char('0'));
    return {};
}

QString RandomName()
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char bytes[12] {};
    if (::getrandom(bytes, sizeof bytes, 0) != ssize_t(sizeof bytes)) {
        // Only this user can make names here; uniqueness is what matters.
        const auto seed = uint64_t(::getpid()) * 2654435761u ^ uint64_t(reinterpret_cast<uintptr_t>(bytes));
        for (std::size_t i = 0; i < sizeof bytes; ++i)
            bytes[i] = static_cast<unsigned char>(seed >> (i * 5));
    }
    QString name = QStringLiteral(".quorrel-tmp-");
    for (const unsigned char b : bytes)
        name += QLatin1Char(kLetters[b % (sizeof kLetters - 1)]);
    return name;
}

} // namespace

bool CPrivateFolder::IsPlainName(const QString& name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') && !name.contains(QChar(0));
}

std::unique_ptr<CPrivateFolder> CPrivateFolder::Open(const QString& base, const QStringList& names, bool create,
                                                     QString& error)
{
    error.clear();
    if (!QDir::isAbsolutePath(base)) {
        error = QStringLiteral("the data folder is not known (no HOME or XDG_DATA_HOME)");
        return nullptr;
    }
    if (create && !QFileInfo(base).isDir() && !QDir().mkpath(base)) {
        error = QStringLiteral("%1 could not be made").arg(base);
        return nullptr;
    }
    char resolved[PATH_MAX];
    if (!::realpath(Name(base).constData(), resolved)) {
        if (errno != ENOENT)
            error = QStringLiteral("%1: %2").arg(base, Reason());
        return nullptr;
    }
    const QString basePath = QFile::decodeName(resolved);
    const int fd = ::open(resolved, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        error = QStringLiteral("%1: %2").arg(basePath, Reason());
        if (fd >= 0)
            ::close(fd);
        return nullptr;
    }
    error = Unsafe(info, basePath, false);
    std::unique_ptr<CPrivateFolder> folder(new CPrivateFolder(fd, basePath));
    if (!error.isEmpty())
        return nullptr;
    for (const QString& name : names) {
        folder = folder->Sub(name, create, error);
        if (!folder)
            return nullptr;
    }
    return folder;
}

std::unique_ptr<CPrivateFolder> CPrivateFolder::Sub(const QString& name, bool create, QString& error) const
{
    return OpenBelow(m_fd, m_path, name, create, error);
}

std::unique_ptr<CPrivateFolder> CPrivateFolder::OpenBelow(int parentFd, const QString& parentPath, const QString& name,
                                                          bool create, QString& error)
{
    error.clear();
    const QString path = parentPath + u'/' + name;
    if (!IsPlainName(name)) {
        error = QStringLiteral("%1 is no folder name").arg(name);
        return nullptr;
    }
    const QByteArray local = Name(name);
    if (create && ::mkdirat(parentFd, local.constData(), 0700) != 0 && errno != EEXIST) {
        error = QStringLiteral("%1 could not be made: %2").arg(path, Reason());
        return nullptr;
    }
    struct stat link {};
    if (::fstatat(parentFd, local.constData(), &link, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT)
            error = QStringLiteral("%1: %2").arg(path, Reason());
        return nullptr;
    }
    if (S_ISLNK(link.st_mode)) {
        error = QStringLiteral("%1 is a symbolic link; refused (remove it, and the folder is made anew)").arg(path);
        return nullptr;
    }
    const int fd = ::openat(parentFd, local.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        error = QStringLiteral("%1: %2").arg(path, Reason());
        if (fd >= 0)
            ::close(fd);
        return nullptr;
    }
    std::unique_ptr<CPrivateFolder> folder(new CPrivateFolder(fd, path));
    error = Unsafe(info, path, true);
    if (!error.isEmpty())
        return nullptr;
    return folder;
}

CPrivateFolder::~CPrivateFolder()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool CPrivateFolder::Write(const QString& name, const QByteArray& bytes, QString& error, int mode) const
{
    error.clear();
    if (!IsPlainName(name)) {
        error = QStringLiteral("%1 is no file name").arg(name);
        return false;
    }
    const QString temporary = RandomName();
    const QByteArray temp = Name(temporary);
    const int fd = ::openat(m_fd, temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = QStringLiteral("%1 could not be written: %2").arg(FilePath(name), Reason());
        return false;
    }
    qsizetype written = 0;
    bool ok = true;
    while (ok && written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, std::size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        written += ok ? n : 0;
    }
    ok = ok && ::fchmod(fd, mode_t(mode) & 0777) == 0 && ::fsync(fd) == 0;
    const int savedErrno = errno;
    ok = ::close(fd) == 0 && ok;
    if (ok && ::renameat(m_fd, temp.constData(), m_fd, Name(name).constData()) == 0)
        return true;
    errno = ok ? errno : savedErrno;
    error = QStringLiteral("%1 could not be written: %2").arg(FilePath(name), Reason());
    ::unlinkat(m_fd, temp.constData(), 0);
    return false;
}

std::optional<QByteArray> CPrivateFolder::Read(const QString& name, qint64 limit, QString& error) const
{
    error.clear();
    if (!IsPlainName(name)) {
        error = QStringLiteral("%1 is no file name").arg(name);
        return std::nullopt;
    }
    // Without blocking: a pipe planted at the name must not hang the reader.
    const int fd = ::openat(m_fd, Name(name).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT)
            error = errno == ELOOP ? QStringLiteral("%1 is a symbolic link; refused").arg(FilePath(name))
                                   : QStringLiteral("%1 cannot be read: %2").arg(FilePath(name), Reason());
        return std::nullopt;
    }
    struct stat info {};
    QByteArray bytes;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = QStringLiteral("%1 is not a regular file; refused").arg(FilePath(name));
    } else if (info.st_size > limit) {
        error = QStringLiteral("%1 is larger than %2 bytes; refused").arg(FilePath(name)).arg(limit);
    } else {
        bytes.resize(qsizetype(info.st_size));
        qsizetype got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, std::size_t(bytes.size() - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += n;
        }
        bytes.truncate(got);
    }
    ::close(fd);
    if (!error.isEmpty())
        return std::nullopt;
    return bytes;
}

bool CPrivateFolder::Exists(const QString& name) const
{
    struct stat info {};
    return IsPlainName(name) && ::fstatat(m_fd, Name(name).constData(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

bool CPrivateFolder::Remove(const QString& name) const
{
    return IsPlainName(name) && ::unlinkat(m_fd, Name(name).constData(), 0) == 0;
}

bool CPrivateFolder::RemoveFolder(const QString& name) const
{
    return IsPlainName(name) && ::unlinkat(m_fd, Name(name).constData(), AT_REMOVEDIR) == 0;
}

QStringList CPrivateFolder::Names() const
{
    QStringList names;
    const int fd = ::openat(m_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return names;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name != u"." && name != u"..")
            names << name;
    }
    ::closedir(dir);
    names.sort();
    return names;
}

} // namespace quorrel::output
