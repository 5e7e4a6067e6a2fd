#pragma once
// Where writing to a path really goes: the links in its last component
// followed to the file they lead to, the folder that holds that file, and
// identities that tell whether two names reach the same file.

#include "FileError.h"

#include <cstdint>
#include <string>

#include <sys/stat.h>

namespace quorrel::model {

struct CFileTarget {
    std::string path;     // the file the name leads to (links followed)
    std::string folder;   // its folder ("." for a bare name)
    std::string name;     // its last component
    uint64_t folderDevice = 0;
    uint64_t folderInode = 0;
    bool exists = false;
    // The existing file is a character device or a pipe, written into as it
    // is (only when asked for).
    bool special = false;
    // `path` is a link of the kernel's own (/proc/self/fd/1 to "pipe:[...]"),
    // opened through the link.
    bool kernelLink = false;
    uint64_t device = 0;   // of the existing file
    uint64_t inode = 0;
};

enum class SpecialFiles { Refuse, Accept };

// Follows symbolic links in the last component of `path` (the kernel
// follows those in the folders), at most 40 of them. Like the kernel, it
// does not follow a link that another user left in a shared sticky folder
// such as /tmp, unless that user owns the folder. The folder must be a
// folder; an existing file must be a regular file, or with `special` Accept
// also a character device or a pipe. False with the reason in `error`
// otherwise. An existing regular file is only replaced when this user owns
// it and has not made it read-only (ReplaceableFile); a link in the chain to
// a device or a pipe is checked at every hop like any other link.
bool ResolveFileTarget(const std::string& path, CFileTarget& target, CFileError& error,
                       SpecialFiles special = SpecialFiles::Refuse);

// Whether the existing regular file `st` at `path` may be replaced: it
// belongs to this process's user (never another user's file, not even for
// root) and its owner may write it (a read-only file stays as it is). False
// with the reason in `error` otherwise.
bool ReplaceableFile(const std::string& path, const struct stat& st, CFileError& error);

// True when both name the same file: the same existing file (also through
// hard links) or the same name in the same folder.
bool IsSameFile(const CFileTarget& a, const CFileTarget& b);

} // namespace quorrel::model
