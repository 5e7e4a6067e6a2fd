#pragma once
// Seeds for generations made one after another (a batch, a rotation's
// images, a timer's ticks): from a first seed given, or from the clock at
// full resolution, so two generations a moment apart never share one.

#include <cstdint>
#include <optional>
#include <vector>

namespace quorrel::model {

// The seeds of `count` images: first + k - 1 when a first seed is given
// (the caller has checked that they do not run past 2^32 - 1); otherwise
// seeds made from `clock`, all different.
std::vector<uint32_t> BatchSeeds(std::optional<uint32_t> first, uint32_t count, uint64_t clock);

// A value of the clock for BatchSeeds: nanoseconds since the epoch.
uint64_t ClockForSeeds();

} // namespace quorrel::model
