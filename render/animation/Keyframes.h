#pragma once
// The keyframes of a living wallpaper: K parameter sets that share every
// setting the renderer reads (size, harmonic counts, tile styles, wrap modes,
// colour ranges, which components are enabled or correlated) and differ only
// in their coefficients, so any blend of their tables is a valid set of the
// same settings.

#include "model/TileParams.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quorrel::render::animation {

// The fewest and most keyframes of a loop.
inline constexpr uint32_t kMinKeyframes = 2;
inline constexpr uint32_t kMaxKeyframes = 64;

// What keeps `other` from being a keyframe beside `first`, in words naming
// both (by `firstName` and `otherName`) and each differing setting with its
// two values ("b.wpp differs from a.wpp: size 200 x 200, not 125 x 125;
// Hue tile style Diamond, not Normal"); empty when they fit together.
std::string KeyframeMismatch(const model::CTileParams& first, const std::string& firstName,
                             const model::CTileParams& other, const std::string& otherName);

// `count` keyframes made from `document`'s settings: keyframe k (from 0) is
// the generation with seed `seed + k` (wrapping past 2^32 - 1), except that
// keyframe 0 is `document` itself, coefficients and all, when `keepFirst`.
// Every keyframe is a generation of the same settings, so each respects the
// document's symmetries.
std::vector<model::CTileParams> GenerateKeyframes(const model::CTileParams& document, uint32_t count, uint32_t seed,
                                                  bool keepFirst);

} // namespace quorrel::render::animation
