#pragma once
// The process's random generator: a 32-bit linear congruential state,
// 1 at start, advanced as state * 214013 + 2531011, each draw returning
// bits 16..30. Reproducing it exactly reproduces a generation for a seed;
// the C library's rand() on this platform is a different generator.

#include <cstdint>

namespace quorrel::model {

inline constexpr int kRandMax = 0x7FFF;

int Rand();
void Srand(uint32_t seed);

// Current state, so tests can save and restore it around a generation.
uint32_t RandState();

} // namespace quorrel::model
