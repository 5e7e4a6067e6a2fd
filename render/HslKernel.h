#pragma once
// HSL to RGB for a run of pixels at once, vectorised with run-time dispatch.

#include <cstddef>
#include <cstdint>

namespace quorrel::render {

// For every i < count whose hue[i], saturation[i] and luminosity[i] are all
// 0..255, packed[i] = red | green << 8 | blue << 16 with the levels of
// HslToRgb (each 0..255 for such input). Other entries of `packed` are left
// undefined: the caller converts those pixels itself. Returns whether every
// pixel's three levels were 0..255 (no pixel left to the caller).
bool HslToPackedLevels(const uint32_t* hue, const uint32_t* saturation, const uint32_t* luminosity, std::size_t count,
                       uint32_t* packed);

// For every i < count whose red[i], green[i] and blue[i] are 0..255 and
// whose packed[i] holds levels from HslToPackedLevels: packed[i] becomes the
// pixel's colour, each RGB level plus its HSL level brought back to 0..255
// as the renderer's RGB addition rule does (above 255: modulo 255). Other
// entries are left undefined: the caller finishes those pixels itself.
// Returns whether every pixel's three RGB levels were 0..255.
bool AddPackedLevels(const uint32_t* red, const uint32_t* green, const uint32_t* blue, std::size_t count,
                     uint32_t* packed);

} // namespace quorrel::render
