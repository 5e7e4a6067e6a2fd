#pragma once
// Random valid parameter sets and image comparisons shared by the
// renderers' tests.

#include "model/TileParams.h"
#include "render/PixelSurface.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <string>

namespace quorrel::test::random_sets {

inline constexpr int32_t kExtremes[] = {std::numeric_limits<int32_t>::min(), -std::numeric_limits<int32_t>::max(),
                                        std::numeric_limits<int32_t>::max()};

// The four coefficient tables by index: CosCos, CosSin, SinCos, SinSin.
model::CoeffTable* Tables(model::CTileParams& p, int t);

// A random valid set: settings drawn at random (symmetries, correlations,
// amplitudes, ranges in both orders, wrap modes, tile styles), coefficients
// from the generator, then some cells or whole tables pushed to the 32-bit
// extremes. The size is kept to about `budget` terms for the scalar
// renderer.
std::unique_ptr<model::CTileParams> RandomParams(std::mt19937& rng, uint64_t budget);

// Every term at +-2^31 or 2^31 - 1 in all six 30 x 30 components of an
// 8 x 40 tile, `style` in all of them.
std::unique_ptr<model::CTileParams> ExtremeParams(int32_t value, int32_t style);

// Empty when the images are equal; else the first differing pixel.
std::string FirstDifference(const render::CRgbImage& expected, const render::CRgbImage& actual);

// One line: size and each component's settings.
std::string Describe(const model::CTileParams& p);

} // namespace quorrel::test::random_sets
