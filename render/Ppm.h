#pragma once
// Binary PPM (P6, maxval 255) in and out, for reference images and tests.

#include "PixelSurface.h"

#include <optional>
#include <span>
#include <vector>

namespace quorrel::render {

std::vector<uint8_t> EncodePpm(const CRgbImage& image);
std::optional<CRgbImage> DecodePpm(std::span<const uint8_t> bytes);

} // namespace quorrel::render
