#pragma once
// HSL to RGB on a 0..255 scale for every quantity (a third of the hue
// circle is 85), with the exact integer and floating-point steps the
// renderer's pixels depend on. Defined for every 32-bit input. Inline,
// because every pixel of every renderer goes through it.

#include <cmath>
#include <cstdint>

namespace quorrel::render {

struct Rgb32 {
    uint32_t red, green, blue;
    bool operator==(const Rgb32&) const = default;
};

namespace detail {

// How far a channel's level moves from m1 towards m2 for each hue 0..255, on
// a 0..255 scale: rising over 0..42, flat at m2 over 43..127, falling over
// 128..169, m1 from 170 on.
inline constexpr auto kHueWeights = [] {
    struct Table {
        uint8_t weight[257];   // [256]: every hue still above 255
    } table{};
    for (int hue = 0; hue < 256; ++hue) {
        table.weight[hue] = static_cast<uint8_t>(hue < 43 ? 6 * hue : hue < 128 ? 255 : hue < 170 ? 6 * (170 - hue) : 0);
    }
    return table;
}();

} // namespace detail

// One channel; every argument is used through its low 16 bits.
//
// The defining steps are, with hue reduced by 255 once when above 255 and
// d = m2 - m1: hue < 42.5: trunc(m1 + (d * hue) * 6.0 / 255.0); hue < 127.5:
// m2; hue < 170.0: trunc(m1 + d * (170.0 - hue) * 6.0 / 255.0); else m1.
// Every case is m1 + d * w / 255 truncated toward zero, with the whole
// weight w of the table above (m2 = m1 + d * 255 / 255, m1 = m1 + 0). The
// doubles hold that value to within 2^-35 while a non-whole value of it is
// at least 1/255 from the nearest whole number, so truncating the double and
// dividing the integers give the same level; this saves a division and
// three conversions a channel. The test checks the two forms side by side.
inline int32_t HueToChannel(uint32_t m1In, uint32_t m2In, uint32_t hueIn)
{
    const int32_t m1 = static_cast<uint16_t>(m1In);
    const int32_t m2 = static_cast<uint16_t>(m2In);
    uint32_t hue = static_cast<uint16_t>(hueIn);
    hue = hue > 255 ? hue - 255 : hue;
    const int32_t weight = detail::kHueWeights.weight[hue < 256 ? hue : 256];
    return (255 * m1 + (m2 - m1) * weight) / 255;
}

inline Rgb32 HslToRgb(uint32_t h, uint32_t s, uint32_t l)
{
    if (s == 0) {
        const uint32_t grey = (l * 255u) / 255u;
        return {grey, grey, grey};
    }
    uint32_t m2 = l <= 127 ? ((s + 255u) * l) / 255u : l + s - (l * s) / 255u;
    m2 &= 0xFFFFu;
    const uint32_t m1 = (2u * l - m2) & 0xFFFFu;
    // level * 255 / 255 in 32 bits: the level itself unless the product
    // wraps, which only a negative level (a huge unsigned one) makes it do.
    auto level = [&](uint32_t hue) {
        const uint32_t v = static_cast<uint32_t>(HueToChannel(m1, m2, hue));
        return v <= UINT32_MAX / 255u ? v : v * 255u / 255u;
    };
    return {level(h + 85u), level(h), level(h - 85u)};
}

// Packed forms: hue in bits 0..7, saturation 8..15, luminosity 16..23 in;
// red 0..7, green 8..15, blue 16..23 out (the 0x00BBGGRR colour value).
uint32_t HslColorToRgb(uint32_t hsl);

} // namespace quorrel::render
