#include "StagedFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorrel::model {

namespace {

void CloseQuietly(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool SameInode(int fd, int folderFd, const std::string& name)
{
    struct stat byFd {}, byName {};
    return ::fstat(fd, &byFd) == 0 && ::fstatat(folderFd, name.c_str(), &byName, AT_SYMLINK_NOFOLLOW) == 0 &&
           byFd.st_dev == byName.st_dev && byFd.st_ino == byName.st_ino;
}

} // namespace

std::string CStagedFile::TemporaryNameFor(const std::string& name)
{
    std::string temp = "." + name + ".quorrel-tmp";
    if (temp.size() <= NAME_MAX)
        return temp;
    // Too long a name for the suffix: a name made from its hash instead.
    uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : name)
        hash = (hash ^ c) * 1099511628211ull;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return std::string(".quorrel-tmp-") + hex;
}

CStagedFile::CStagedFile(CFileTarget target, std::string displayPath)
    : m_target(std::move(target)), m_displayPath(std::move(displayPath))
{
}

CStagedFile::~CStagedFile()
{
    if (!m_committed)
        Discard();
    CloseQuietly(m_fd);
    CloseQuietly(m_folderFd);
}

std::unique_ptr<CStagedFile> CStagedFile::Create(const std::string& path, CFileError& error, Temporary kind,
                                                 SpecialFiles special)
{
    CFileTarget target;
    if (!ResolveFileTarget(path, target, error, special))
        return nullptr;
    std::unique_ptr<CStagedFile> staged(new CStagedFile(std::move(target), path));
    if (!staged->Open(kind, error))
        return nullptr;
    return staged;
}

bool CStagedFile::Open(Temporary kind, CFileError& error)
{
    if (m_target.special) {
        // Opened now, so a device that cannot be written is known before
        // anything is produced (a pipe waits here for its reader).
        m_special = true;
        m_fd = ::open(m_target.path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (m_fd < 0) {
            error = ErrnoError(m_displayPath, errno);
            return false;
        }
        return true;
    }
    m_folderFd = ::open(m_target.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    m_folderSyncable = m_folderFd >= 0;
    if (m_folderFd < 0 && errno == EACCES)   // a folder one may write but not list
        m_folderFd = ::open(m_target.folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (m_folderFd < 0) {
        error = ErrnoError(m_displayPath, errno);
        return false;
    }
    struct stat folder {};
    if (::fstat(m_folderFd, &folder) != 0 || folder.st_dev != m_target.folderDevice ||
        folder.st_ino != m_target.folderInode) {
        error = FileProblem(m_displayPath, "the folder changed while it was being checked");
        return false;
    }

    // A temporary that a save which died left behind goes now.
    m_tempName = TemporaryNameFor(m_target.name);
    ::unlinkat(m_folderFd, m_tempName.c_str(), 0);

    if (kind == Temporary::Unnamed) {
        m_fd = ::openat(m_folderFd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
        if (m_fd >= 0) {
            m_kind = Temporary::Unnamed;
            return true;
        }
        // Only a file system without unnamed files falls back to a name.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) {
            error = ErrnoError(m_displayPath, errno);
            return false;
        }
    }
    m_fd = ::openat(m_folderFd, m_tempName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (m_fd < 0) {
        error = ErrnoError(m_displayPath, errno);
        return false;
    }
    m_kind = Temporary::Named;
    m_tempNamed = true;
    return true;
}

bool CStagedFile::WriteAt(uint64_t offset, std::span<const uint8_t> bytes)
{
    if (m_failed || m_fd < 0)
        return false;
    if (m_special) {
        if (m_held.size() < offset + bytes.size())
            m_held.resize(offset + bytes.size());
        std::copy(bytes.begin(), bytes.end(), m_held.begin() + std::ptrdiff_t(offset));
        return true;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(m_fd, bytes.data() + done, bytes.size() - done, off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            SetFailure(ErrnoError(m_displayPath, n < 0 ? errno : EIO));
            return false;
        }
        done += std::size_t(n);
    }
    return true;
}

int64_t CStagedFile::ReadAt(uint64_t offset, std::span<uint8_t> bytes) const
{
    if (m_special) {
        if (offset >= m_held.size())
            return 0;
        const std::size_t count = std::min<std::size_t>(bytes.size(), m_held.size() - offset);
        std::copy_n(m_held.begin() + std::ptrdiff_t(offset), count, bytes.begin());
        return int64_t(count);
    }
    const ssize_t n = ::pread(m_fd, bytes.data(), bytes.size(), off_t(offset));
    return n < 0 ? -1 : int64_t(n);
}

bool CStagedFile::Append(std::span<const uint8_t> bytes)
{
    if (!WriteAt(m_appendAt, bytes))
        return false;
    m_appendAt += bytes.size();
    return true;
}

void CStagedFile::SetFailure(const CFileError& error)
{
    if (m_failed)
        return;
    m_failed = true;
    m_failure = error;
}

bool CStagedFile::Prepare(CFileError& error)
{
    if (m_prepared)
        return true;
    if (m_fd < 0 || m_failed) {
        error = m_failed ? m_failure : FileProblem(m_displayPath, "nothing to write");
        Discard();
        return false;
    }
    if (m_special) {
        m_prepared = true;
        return true;
    }
    if (::fsync(m_fd) != 0) {
        error = ErrnoError(m_displayPath, errno);
        Discard();
        return false;
    }
    struct stat old {};
    if (::fstatat(m_folderFd, m_target.name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(old.st_mode) &&
        old.st_nlink == 1) {
        // The old file's owner where that is allowed, and its mode; a group
        // that could not be kept gets none of the group's rights.
        if (::fchown(m_fd, old.st_uid, old.st_gid) != 0)
            (void)::fchown(m_fd, uid_t(-1), old.st_gid);
        mode_t mode = old.st_mode & 07777;
        struct stat mine {};
        if (::fstat(m_fd, &mine) == 0 && mine.st_gid != old.st_gid)
            mode &= ~mode_t(S_IRWXG | S_ISGID);
        if (::fchmod(m_fd, mode) != 0) {
            error = ErrnoError(m_displayPath, errno);
            Discard();
            return false;
        }
    }
    m_prepared = true;
    return true;
}

bool CStagedFile::Commit(CFileError& error)
{
    if (m_committed)
        return true;
    if (!Prepare(error))
        return false;
    if (m_special)
        return WriteHeld(error);
    struct stat old {};
    if (::fstatat(m_folderFd, m_target.name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(old.st_mode) &&
        old.st_nlink > 1) {
        struct stat mine {};
        if (::fstat(m_fd, &mine) != 0) {
            error = ErrnoError(m_displayPath, errno);
            Discard();
            return false;
        }
        return RewriteInPlace(uint64_t(mine.st_size), error);
    }
    return ReplaceByRename(error);
}

bool CStagedFile::LinkUnnamedAsTemporary(CFileError& error)
{
    const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
    for (int attempt = 0; attempt < 2; ++attempt) {
        int linked = ::linkat(AT_FDCWD, self.c_str(), m_folderFd, m_tempName.c_str(), AT_SYMLINK_FOLLOW);
        if (linked != 0 && errno == ENOENT)   // no /proc: the way that needs a capability
            linked = ::linkat(m_fd, "", m_folderFd, m_tempName.c_str(), AT_EMPTY_PATH);
        if (linked == 0) {
            m_tempNamed = true;
            return true;
        }
        if (errno != EEXIST)
            break;
        ::unlinkat(m_folderFd, m_tempName.c_str(), 0);   // left by a save that died
    }
    error = ErrnoError(m_displayPath, errno);
    return false;
}

bool CStagedFile::ReplaceByRename(CFileError& error)
{
    if (m_kind == Temporary::Unnamed) {
        if (!LinkUnnamedAsTemporary(error)) {
            Discard();
            return false;
        }
    } else if (!SameInode(m_fd, m_folderFd, m_tempName)) {
        m_tempNamed = false;   // someone else's now: leave it alone
        error = FileProblem(m_displayPath, "the temporary file was replaced by another program");
        Discard();
        return false;
    }
    if (::renameat(m_folderFd, m_tempName.c_str(), m_folderFd, m_target.name.c_str()) != 0) {
        error = ErrnoError(m_displayPath, errno);
        Discard();
        return false;
    }
    m_tempNamed = false;
    m_committed = true;
    CloseQuietly(m_fd);
    SyncFolder();
    return true;
}

bool CStagedFile::RewriteInPlace(uint64_t size, CFileError& error)
{
    // The new bytes stay whole under the temporary name until every link
    // sees them.
    if (m_kind == Temporary::Unnamed && !LinkUnnamedAsTemporary(error)) {
        Discard();
        return false;
    }
    SyncFolder();
    int out = ::openat(m_folderFd, m_target.name.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st {};
    if (out < 0 || ::fstat(out, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = out < 0 ? ErrnoError(m_displayPath, errno) : FileProblem(m_displayPath, "not a regular file");
        CloseQuietly(out);
        Discard();
        return false;
    }
    // Room first: on a full disk nothing of the old file changes.
    if (size > uint64_t(st.st_size) && ::fallocate(out, FALLOC_FL_KEEP_SIZE, 0, off_t(size)) != 0 &&
        (errno == ENOSPC || errno == EDQUOT)) {
        error = ErrnoError(m_displayPath, errno);
        CloseQuietly(out);
        Discard();
        return false;
    }
    std::vector<uint8_t> buffer(1 << 16);
    int failure = 0;
    for (uint64_t at = 0; at < size && !failure;) {
        const ssize_t got = ::pread(m_fd, buffer.data(), std::min<uint64_t>(buffer.size(), size - at), off_t(at));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            failure = got < 0 ? errno : EIO;
            break;
        }
        for (ssize_t put = 0; put < got;) {
            const ssize_t n = ::pwrite(out, buffer.data() + put, std::size_t(got - put), off_t(at + uint64_t(put)));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                failure = n < 0 ? errno : EIO;
                break;
            }
            put += n;
        }
        at += uint64_t(got);
    }
    if (!failure && (::ftruncate(out, off_t(size)) != 0 || ::fsync(out) != 0))
        failure = errno;
    CloseQuietly(out);
    if (failure) {
        error = ErrnoError(m_displayPath, failure);
        error.message += " (the new contents are kept in " + m_tempName + ")";
        m_keepTemporary = true;
        Discard();
        return false;
    }
    ::unlinkat(m_folderFd, m_tempName.c_str(), 0);
    m_tempNamed = false;
    m_committed = true;
    CloseQuietly(m_fd);
    SyncFolder();
    return true;
}

bool CStagedFile::WriteHeld(CFileError& error)
{
    for (std::size_t done = 0; done < m_held.size();) {
        const ssize_t n = ::write(m_fd, m_held.data() + done, m_held.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = ErrnoError(m_displayPath, n < 0 ? errno : EIO);
            Discard();
            return false;
        }
        done += std::size_t(n);
    }
    if (::close(m_fd) != 0) {
        m_fd = -1;
        error = ErrnoError(m_displayPath, errno);
        return false;
    }
    m_fd = -1;
    m_committed = true;
    return true;
}

void CStagedFile::Discard()
{
    if (m_tempNamed && !m_keepTemporary && m_fd >= 0 && SameInode(m_fd, m_folderFd, m_tempName))
        ::unlinkat(m_folderFd, m_tempName.c_str(), 0);
    m_tempNamed = false;
    CloseQuietly(m_fd);
}

void CStagedFile::SyncFolder() const
{
    // Makes the rename itself durable. Some file systems cannot sync a
    // folder; the file is in place either way.
    if (m_folderSyncable)
        (void)::fsync(m_folderFd);
}

} // namespace quorrel::model
