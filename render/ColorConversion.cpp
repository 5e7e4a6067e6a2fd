#include "ColorConversion.h"

#include <cmath>

namespace quorrel::render {

int32_t HueToChannel(uint32_t m1In, uint32_t m2In, uint32_t hueIn)
{
    const uint16_t m1 = static_cast<uint16_t>(m1In);
    const uint16_t m2 = static_cast<uint16_t>(m2In);
    uint16_t hue = static_cast<uint16_t>(hueIn);
    if (hue > 255)
        hue = static_cast<uint16_t>(hue - 255);
    const int32_t diff = static_cast<int32_t>(m2) - static_cast<int32_t>(m1);
    if (hue < 42.5) {
        const double product = static_cast<double>(diff * static_cast<int32_t>(hue));
        return static_cast<int32_t>(std::trunc(m1 + product * 6.0 / 255.0));
    }
    if (hue < 127.5)
        return m2;
    if (hue < 170.0)
        return static_cast<int32_t>(std::trunc(m1 + static_cast<double>(diff) * (170.0 - hue) * 6.0 / 255.0));
    return m1;
}

Rgb32 HslToRgb(uint32_t h, uint32_t s, uint32_t l)
{
    if (s == 0) {
        const uint32_t grey = (l * 255u) / 255u;
        return {grey, grey, grey};
    }
    uint32_t m2 = l <= 127 ? ((s + 255u) * l) / 255u : l + s - (l * s) / 255u;
    m2 &= 0xFFFFu;
    const uint32_t m1 = (2u * l - m2) & 0xFFFFu;
    auto level = [&](uint32_t hue) {
        return static_cast<uint32_t>(HueToChannel(m1, m2, hue)) * 255u / 255u;
    };
    return {level(h + 85u), level(h), level(h - 85u)};
}

uint32_t HslColorToRgb(uint32_t hsl)
{
    const Rgb32 c = HslToRgb(hsl & 0xFF, (hsl >> 8) & 0xFF, (hsl >> 16) & 0xFF);
    return (c.red & 0xFF) | ((c.green & 0xFF) << 8) | ((c.blue & 0xFF) << 16);
}

} // namespace quorrel::render
