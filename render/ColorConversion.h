#pragma once
// HSL to RGB on a 0..255 scale for every quantity (a third of the hue
// circle is 85), with the exact integer and floating-point steps the
// renderer's pixels depend on. Defined for every 32-bit input.

#include <cstdint>

namespace quorrel::render {

struct Rgb32 {
    uint32_t red, green, blue;
    bool operator==(const Rgb32&) const = default;
};

Rgb32 HslToRgb(uint32_t hue, uint32_t saturation, uint32_t luminosity);

// One channel; every argument is used through its low 16 bits.
int32_t HueToChannel(uint32_t m1, uint32_t m2, uint32_t hue);

// Packed forms: hue in bits 0..7, saturation 8..15, luminosity 16..23 in;
// red 0..7, green 8..15, blue 16..23 out (the 0x00BBGGRR colour value).
uint32_t HslColorToRgb(uint32_t hsl);

} // namespace quorrel::render
