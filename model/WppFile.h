#pragma once
// The "*.wpp" document: the 656-byte parameter record followed by the
// active part of the coefficient tables. No magic, no version, no trailer.

#include "FileError.h"
#include "TileParams.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quorrel::model {

inline constexpr std::size_t kParamRecordSize = 656;
// The largest valid document: every component at 30 x 30 harmonics.
inline constexpr std::size_t kMaxWppSize =
    kParamRecordSize + 16u * kComponents * kMaxHarmonics * kMaxHarmonics;

std::vector<uint8_t> SaveWpp(const CTileParams& params);

// Loads `bytes` into `params`. Cells outside the loaded active part keep
// what `params` held; bytes after the coefficient block are ignored. On a
// short or invalid file throws CArchiveException and leaves `params` as it was.
void LoadWpp(std::span<const uint8_t> bytes, CTileParams& params);

// File forms. Reading takes at most kMaxWppSize bytes. Writing goes through
// a CStagedFile, so a failed write never leaves a half-written document and
// a saved file keeps its mode and links. Both return false with a one-line
// message in `error` on failure ("PATH: reason"; the string forms give a
// malformed file as "Unexpected file format." alone).
bool ReadWppFile(const std::string& path, CTileParams& params, CFileError& error);
bool ReadWppFile(const std::string& path, CTileParams& params, std::string& error);
bool WriteWppFile(const std::string& path, const CTileParams& params, CFileError& error);
bool WriteWppFile(const std::string& path, const CTileParams& params, std::string& error);

} // namespace quorrel::model
