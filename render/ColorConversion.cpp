#include "ColorConversion.h"

namespace quorrel::render {

uint32_t HslColorToRgb(uint32_t hsl)
{
    const Rgb32 c = HslToRgb(hsl & 0xFF, (hsl >> 8) & 0xFF, (hsl >> 16) & 0xFF);
    return (c.red & 0xFF) | ((c.green & 0xFF) << 8) | ((c.blue & 0xFF) << 16);
}

} // namespace quorrel::render
