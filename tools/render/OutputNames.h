#pragma once
// The names and seeds of a batch (--count): "{n}" in a name is the image's
// number k from 1, zero-padded to the width of the count; "{seed}" the seed
// its tile was generated with.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorrel::tools {

// Whether the name holds {n} or {seed}, so each image of a batch gets its own.
bool NamesEachImage(const std::string& pattern);

// `pattern` with every {n} and {seed} replaced for image k of `count`.
std::string ExpandOutputName(const std::string& pattern, uint32_t k, uint32_t count, uint32_t seed);

// The seeds of `count` images: first + k - 1 when a first seed is given
// (the caller has checked that they do not run past 2^32 - 1); otherwise
// seeds made from `clock`, all different.
std::vector<uint32_t> BatchSeeds(std::optional<uint32_t> first, uint32_t count, uint64_t clock);

// A value of the clock for BatchSeeds: nanoseconds since the epoch.
uint64_t ClockForSeeds();

} // namespace quorrel::tools
