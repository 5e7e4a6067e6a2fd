#pragma once
// What went wrong with a file, for a one-line message and for callers that
// tell some causes apart (a missing file, a full disk).

#include <string>

namespace quorrel::model {

struct CFileError {
    // The errno value behind the failure; 0 when the file's kind or
    // contents are at fault rather than a system call.
    int code = 0;
    // One line: the path once, then the reason in words.
    std::string message;
};

// "PATH: <the system's text for code>".
CFileError ErrnoError(const std::string& path, int code);
// "PATH: reason" with no errno behind it.
CFileError FileProblem(const std::string& path, const std::string& reason);

// True for the causes a user knows as a full disk (no space, quota used up).
bool IsDiskFull(const CFileError& error);

} // namespace quorrel::model
