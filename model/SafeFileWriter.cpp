#include "SafeFileWriter.h"

#include "StagedFile.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorrel::model {

bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes, CFileError& error)
{
    const auto staged = CStagedFile::Create(path, error);
    if (!staged)
        return false;
    staged->Append(bytes);
    return staged->Commit(error);
}

bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes, std::string& error)
{
    CFileError failure;
    if (WriteFileAtomically(path, bytes, failure))
        return true;
    error = failure.message;
    return false;
}

bool ReadFileStart(const std::string& path, std::size_t limit, std::vector<uint8_t>& bytes, CFileError& error,
                   FileKinds kinds)
{
    const bool regularOnly = kinds == FileKinds::RegularOnly;
    struct stat st {};
    if (regularOnly) {
        // Looked at, not opened: opening a pipe for reading can wait forever.
        if (::stat(path.c_str(), &st) != 0) {
            error = ErrnoError(path, errno);
            return false;
        }
        if (S_ISDIR(st.st_mode)) {
            error = ErrnoError(path, EISDIR);
            return false;
        }
        if (!S_ISREG(st.st_mode)) {
            error = FileProblem(path, "not a regular file");
            return false;
        }
    }
    // Without waiting, in case the name was swapped for a pipe meanwhile.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | (regularOnly ? O_NONBLOCK : 0));
    if (fd < 0) {
        error = ErrnoError(path, errno);
        return false;
    }
    const dev_t checkedDevice = st.st_dev;
    const ino_t checkedInode = st.st_ino;
    if (::fstat(fd, &st) != 0) {
        error = ErrnoError(path, errno);
        ::close(fd);
        return false;
    }
    // The file opened must be the one looked at, not one a link put there
    // since.
    if (regularOnly && (st.st_dev != checkedDevice || st.st_ino != checkedInode)) {
        error = FileProblem(path, "the file changed while it was being checked");
        ::close(fd);
        return false;
    }
    if (S_ISDIR(st.st_mode) || (regularOnly && !S_ISREG(st.st_mode))) {
        error = S_ISDIR(st.st_mode) ? ErrnoError(path, EISDIR) : FileProblem(path, "not a regular file");
        ::close(fd);
        return false;
    }
    // Grows as it reads: a limit far above the file's size costs nothing.
    std::size_t got = 0;
    bytes.clear();
    while (got < limit) {
        if (bytes.size() == got)
            bytes.resize(std::min(limit, std::max<std::size_t>(got * 2, 64 * 1024)));
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = ErrnoError(path, errno);
            ::close(fd);
            bytes.clear();
            return false;
        }
        if (n == 0)
            break;
        got += std::size_t(n);
    }
    ::close(fd);
    bytes.resize(got);
    return true;
}

} // namespace quorrel::model
