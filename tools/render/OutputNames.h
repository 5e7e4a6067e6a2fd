#pragma once
// The names and seeds of a batch (--count): "{n}" in a name is the image's
// number k from 1, zero-padded to the width of the count; "{seed}" the seed
// its tile was generated with.

#include "model/Seeds.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorrel::tools {

// Whether the name holds {n} or {seed}, so each image of a batch gets its own.
bool NamesEachImage(const std::string& pattern);

// `pattern` with every {n} and {seed} replaced for image k of `count`.
std::string ExpandOutputName(const std::string& pattern, uint32_t k, uint32_t count, uint32_t seed);

// The seeds of a batch: see model/Seeds.h.
using model::BatchSeeds;
using model::ClockForSeeds;

} // namespace quorrel::tools
