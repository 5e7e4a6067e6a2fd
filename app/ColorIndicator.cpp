#include "ColorIndicator.h"

#include <cstdio>

namespace quorrel::app {

QString PixelColorText(uint32_t color)
{
    const unsigned r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    // Precision 0 prints a zero channel as blanks; the blanks become zeros.
    char text[16] = {};
    std::snprintf(text, sizeof text, "#%2.X%2.X%2.X", r, g, b);
    return QString::fromLatin1(text).replace(QLatin1Char(' '), QLatin1Char('0'));
}

uint32_t PixelColorTextColor(uint32_t color)
{
    const uint32_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    return (r + 128) % 255 | ((g + 128) % 255) << 8 | ((b + 128) % 255) << 16;
}

} // namespace quorrel::app
