#include "FileError.h"

#include <cerrno>
#include <cstring>

namespace quorrel::model {

CFileError ErrnoError(const std::string& path, int code)
{
    return {code, path + ": " + std::strerror(code)};
}

CFileError FileProblem(const std::string& path, const std::string& reason)
{
    return {0, path + ": " + reason};
}

bool IsDiskFull(const CFileError& error)
{
    return error.code == ENOSPC || error.code == EDQUOT;
}

} // namespace quorrel::model
