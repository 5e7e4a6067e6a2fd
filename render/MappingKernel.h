#pragma once
// The Cycled and Reflected wrap modes for a run of values at once,
// vectorised with run-time dispatch. The same results as WrapCycledWith /
// WrapReflectedWith (and WrapAcrossWith around them) for every 32-bit
// input: all steps are unsigned 32-bit integer steps, and the remainder
// a mod d (a, d below 2^32) is taken as a - floor(a / d) * d in doubles,
// exact because a / d is never within a rounding step of the next whole
// number (1/d is more than its rounding error).

#include <cstddef>
#include <cstdint>

namespace quorrel::render {

// Maps values[0..count) in place. `reflected`: Reflected, else Cycled;
// `across`: low > high, the range running on from 255 to 0.
void MapWrappedValues(bool reflected, bool across, uint32_t low, uint32_t high, uint32_t* values, std::size_t count);

} // namespace quorrel::render
