#include "StagedFile.h"

#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

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

// Twelve letters and digits no other user can guess.
std::string RandomSuffix()
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned char bytes[12] {};
    std::size_t got = 0;
    while (got < sizeof bytes) {
        const ssize_t n = ::getrandom(bytes + got, sizeof bytes - got, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += std::size_t(n);
    }
    if (got < sizeof bytes) {
        // No random source: the clock and the address of a local variable
        // still make a name that is not known in advance.
        uint64_t seed = uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                        reinterpret_cast<uintptr_t>(&got) ^ (uint64_t(::getpid()) << 32);
        for (unsigned char& b : bytes) {
            seed = seed * 6364136223846793005ull + 1442695040888963407ull;
            b = static_cast<unsigned char>(seed >> 56);
        }
    }
    std::string suffix;
    for (const unsigned char b : bytes)
        suffix += kLetters[b % (sizeof kLetters - 1)];
    return suffix;
}

// The process's umask, read without changing it (other threads may be
// creating files).
mode_t CurrentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0)
            return mode_t(std::strtoul(line.c_str() + 6, nullptr, 8)) & 0777;
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

// How long a pipe is waited for when nobody reads it yet.
constexpr auto kPipeReaderWait = std::chrono::seconds(2);

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

bool CStagedFile::OpenSpecial(CFileError& error)
{
    // Opened now, so a device that cannot be written is known before
    // anything is produced. Without waiting: a pipe nobody reads is given a
    // short while and then refused. The name a link led to is opened
    // without following links, and whatever was opened must be the very
    // pipe or device that was checked (another user may have swapped the
    // name for a link meanwhile).
    m_special = true;
    const int flags = O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (m_target.kernelLink ? 0 : O_NOFOLLOW);
    const auto deadline = std::chrono::steady_clock::now() + kPipeReaderWait;
    for (;;) {
        m_fd = ::open(m_target.path.c_str(), flags);
        if (m_fd >= 0 || errno != ENXIO || std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (m_fd < 0) {
        error = errno == ENXIO ? FileProblem(m_displayPath, "a pipe that nobody reads")
                : errno == ELOOP ? FileProblem(m_displayPath, "not a regular file")
                                 : ErrnoError(m_displayPath, errno);
        return false;
    }
    struct stat st {};
    if (::fstat(m_fd, &st) != 0 || !(S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode)) ||
        uint64_t(st.st_dev) != m_target.device || uint64_t(st.st_ino) != m_target.inode) {
        error = FileProblem(m_displayPath, "the file changed while it was being checked");
        CloseQuietly(m_fd);
        return false;
    }
    const int status = ::fcntl(m_fd, F_GETFL);
    if (status >= 0)
        (void)::fcntl(m_fd, F_SETFL, status & ~O_NONBLOCK);
    return true;
}

void CStagedFile::RemoveOwnLeftovers() const
{
    // Temporaries an earlier save of this file left when it died: only this
    // user's own, by their recognisable start.
    const std::string prefix = TemporaryNameFor(m_target.name);
    const int listFd = ::openat(m_folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0)
        return;
    DIR* folder = ::fdopendir(listFd);
    if (!folder) {
        ::close(listFd);
        return;
    }
    std::vector<std::string> leftovers;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name != prefix && name.rfind(prefix + "-", 0) != 0)
            continue;
        struct stat st {};
        if (::fstatat(m_folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == ::geteuid())
            leftovers.push_back(name);
    }
    ::closedir(folder);
    for (const std::string& name : leftovers)
        ::unlinkat(m_folderFd, name.c_str(), 0);
}

bool CStagedFile::Open(Temporary kind, CFileError& error)
{
    if (m_target.special)
        return OpenSpecial(error);
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

    RemoveOwnLeftovers();

    // Private until Prepare gives it its final mode: nobody else may read a
    // byte of it meanwhile.
    if (kind == Temporary::Unnamed) {
        m_fd = ::openat(m_folderFd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
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
    // A name nobody can take beforehand; one that is taken all the same is
    // left alone and another one drawn.
    for (int attempt = 0; attempt < 16; ++attempt) {
        m_tempName = TemporaryNameFor(m_target.name) + "-" + RandomSuffix();
        m_fd = ::openat(m_folderFd, m_tempName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (m_fd >= 0 || errno != EEXIST)
            break;
    }
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
    // Checked again now, not only when the run began: the file may have
    // changed hands, or become read-only or a pipe, meanwhile.
    struct stat old {};
    const bool exists = ::fstatat(m_folderFd, m_target.name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        error = S_ISDIR(old.st_mode) ? ErrnoError(m_displayPath, EISDIR)
                                     : FileProblem(m_displayPath, "not a regular file");
        Discard();
        return false;
    }
    if (exists && !ReplaceableFile(m_displayPath, old, error)) {
        Discard();
        return false;
    }
    if (exists && old.st_nlink > 1) {
        // Rewritten in place at Commit: the file is opened, and room made,
        // now.
        if (!OpenForRewrite(old, error)) {
            Discard();
            return false;
        }
    } else {
        // The old file's group where that is allowed, and its mode without
        // the set-user-ID and set-group-ID bits; a group that could not be
        // kept gets none of the group's rights. A new file gets what the
        // umask allows.
        mode_t mode = mode_t(0666) & ~CurrentUmask();
        if (exists) {
            // Its result is read back below through fstat (a (void) cast
            // does not quiet glibc's warn_unused_result under fortify).
            if (::fchown(m_fd, uid_t(-1), old.st_gid) != 0) {
            }
            mode = old.st_mode & 0777 & ~mode_t(S_ISUID | S_ISGID);
            struct stat mine {};
            if (::fstat(m_fd, &mine) == 0 && mine.st_gid != old.st_gid)
                mode &= ~mode_t(S_IRWXG);
        }
        if (::fchmod(m_fd, mode) != 0) {
            error = ErrnoError(m_displayPath, errno);
            Discard();
            return false;
        }
    }
    // The temporary gets its name now, so that what the last step needs is
    // all there before the first file of a run is replaced.
    if (m_kind == Temporary::Unnamed && !LinkUnnamedAsTemporary(error)) {
        Discard();
        return false;
    }
    if (m_kind == Temporary::Named && !SameInode(m_fd, m_folderFd, m_tempName)) {
        m_tempNamed = false;   // someone else's now: leave it alone
        error = FileProblem(m_displayPath, "the temporary file was replaced by another program");
        Discard();
        return false;
    }
    m_prepared = true;
    return true;
}

bool CStagedFile::OpenForRewrite(const struct stat& old, CFileError& error)
{
    m_rewriteFd = ::openat(m_folderFd, m_target.name.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat st {};
    if (m_rewriteFd < 0 || ::fstat(m_rewriteFd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_dev != old.st_dev ||
        st.st_ino != old.st_ino) {
        error = m_rewriteFd < 0 ? ErrnoError(m_displayPath, errno)
                                : FileProblem(m_displayPath, "the file changed while it was being checked");
        CloseQuietly(m_rewriteFd);
        return false;
    }
    struct stat mine {};
    if (::fstat(m_fd, &mine) != 0) {
        error = ErrnoError(m_displayPath, errno);
        CloseQuietly(m_rewriteFd);
        return false;
    }
    // Room first: on a full disk nothing of the old file changes.
    if (mine.st_size > st.st_size && ::fallocate(m_rewriteFd, FALLOC_FL_KEEP_SIZE, 0, mine.st_size) != 0 &&
        (errno == ENOSPC || errno == EDQUOT)) {
        error = ErrnoError(m_displayPath, errno);
        CloseQuietly(m_rewriteFd);
        return false;
    }
    m_rewriteSize = uint64_t(mine.st_size);
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
    if (m_rewriteFd >= 0)
        return RewriteInPlace(m_rewriteSize, error);
    return ReplaceByRename(error);
}

bool CStagedFile::LinkUnnamedAsTemporary(CFileError& error)
{
    const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
    for (int attempt = 0; attempt < 16; ++attempt) {
        if (m_tempName.empty())
            m_tempName = TemporaryNameFor(m_target.name) + "-" + RandomSuffix();
        int linked = ::linkat(AT_FDCWD, self.c_str(), m_folderFd, m_tempName.c_str(), AT_SYMLINK_FOLLOW);
        if (linked != 0 && errno == ENOENT)   // no /proc: the way that needs a capability
            linked = ::linkat(m_fd, "", m_folderFd, m_tempName.c_str(), AT_EMPTY_PATH);
        if (linked == 0) {
            m_tempNamed = true;
            return true;
        }
        if (errno != EEXIST)
            break;
        // Taken (by another program, or a save that died): another name.
        m_tempName = TemporaryNameFor(m_target.name) + "-" + RandomSuffix();
    }
    error = ErrnoError(m_displayPath, errno);
    return false;
}

bool CStagedFile::ReplaceByRename(CFileError& error)
{
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
    // The new bytes stay whole under the temporary name (given at Prepare)
    // until every link sees them.
    SyncFolder();
    int out = m_rewriteFd;
    m_rewriteFd = -1;
    const int status = ::fcntl(out, F_GETFL);
    if (status >= 0)
        (void)::fcntl(out, F_SETFL, status & ~O_NONBLOCK);
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
    CloseQuietly(m_rewriteFd);
}

void CStagedFile::SyncFolder() const
{
    // Makes the rename itself durable. Some file systems cannot sync a
    // folder; the file is in place either way.
    if (m_folderSyncable)
        (void)::fsync(m_folderFd);
}

// Descriptors a staged file holds (its folder and its temporary), and
// those kept free for the rest of the process (libraries, image plugins).
bool CStagedFile::ReserveDescriptors(std::size_t files, std::string& error)
{
    constexpr rlim_t kDescriptorsAFile = 2;
    constexpr rlim_t kDescriptorsSpare = 64;
    const rlim_t needed = rlim_t(files) * kDescriptorsAFile + kDescriptorsSpare;
    rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= needed)
        return true;
    if (limit.rlim_max == RLIM_INFINITY || limit.rlim_max >= needed) {
        limit.rlim_cur = needed;
        if (::setrlimit(RLIMIT_NOFILE, &limit) == 0)
            return true;
    }
    error = std::to_string(files) + " output files need " + std::to_string(needed) +
            " open files at once, more than this process may open (" + std::to_string(limit.rlim_max) +
            "); make fewer at a time";
    return false;
}

} // namespace quorrel::model
