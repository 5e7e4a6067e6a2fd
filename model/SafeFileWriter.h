#pragma once
// Writes a whole file or nothing (see CStagedFile), and reads the start of
// a file without ever waiting on a pipe or a device when only regular files
// are wanted.

#include "FileError.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quorrel::model {

bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes, CFileError& error);
bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes, std::string& error);

enum class FileKinds { Any, RegularOnly };

// Reads at most `limit` bytes from the start of the file. With RegularOnly,
// anything but a regular file (a pipe, a device, a folder) is refused
// before it is opened for reading. A missing file (or folder on the way)
// gives the code ENOENT or ENOTDIR.
bool ReadFileStart(const std::string& path, std::size_t limit, std::vector<uint8_t>& bytes, CFileError& error,
                   FileKinds kinds = FileKinds::Any);

} // namespace quorrel::model
