#pragma once
// The "*.wpp" document: the 656-byte parameter record followed by the
// active part of the coefficient tables. No magic, no version, no trailer.

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
// a temporary file in the same folder renamed over the target, so a failed
// write never leaves a half-written document. Both return false with a
// message in `error` on failure; a malformed file gives "Unexpected file format."
bool ReadWppFile(const std::string& path, CTileParams& params, std::string& error);
bool WriteWppFile(const std::string& path, const CTileParams& params, std::string& error);

} // namespace quorrel::model
