#pragma once
// Writes a whole file or nothing: the bytes go to a temporary file beside
// the target, are flushed, and the temporary is renamed over the target.

#include <cstdint>
#include <span>
#include <string>

namespace quorrel::model {

bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes, std::string& error);

} // namespace quorrel::model
