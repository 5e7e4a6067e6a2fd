#pragma once
// The Cycled and Reflected wrap modes for a run of values at once,
// vectorised with run-time dispatch. The same results as WrapCycledWith /
// WrapReflectedWith (and WrapAcrossWith around them) for every 32-bit
// input: all steps are unsigned 32-bit integer steps, and the remainder
// a mod d (a, d below 2^32) is taken in doubles as a - q * d from an
// estimate q of the quotient, corrected by one step either way: every
// quantity is a whole number below 2^53, so each step is exact.

#include <cstddef>
#include <cstdint>

namespace quorrel::render {

// Maps values[0..count) in place. `reflected`: Reflected, else Cycled;
// `across`: low > high, the range running on from 255 to 0.
void MapWrappedValues(bool reflected, bool across, uint32_t low, uint32_t high, uint32_t* values, std::size_t count);

} // namespace quorrel::render
