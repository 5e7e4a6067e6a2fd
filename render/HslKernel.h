#pragma once
// HSL to RGB for a run of pixels at once, vectorised with run-time dispatch.

#include <cstddef>
#include <cstdint>

namespace quorrel::render {

// For every i < count whose hue[i], saturation[i] and luminosity[i] are all
// 0..255, packed[i] = red | green << 8 | blue << 16 with the levels of
// HslToRgb (each 0..255 for such input). Other entries of `packed` are left
// undefined: the caller converts those pixels itself.
void HslToPackedLevels(const uint32_t* hue, const uint32_t* saturation, const uint32_t* luminosity, std::size_t count,
                       uint32_t* packed);

} // namespace quorrel::render
