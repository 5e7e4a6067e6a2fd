#pragma once
// The colour indicator's arithmetic: the text and the contrasting text
// colour for a pixel colour laid out 0x00BBGGRR (red in the low byte).

#include <QString>

#include <cstdint>

namespace quorrel::app {

// "#RRGGBB": each channel as two upper-case hexadecimal digits.
QString PixelColorText(uint32_t color);

// ((c + 128) mod 255) per channel, same layout. The modulus is 255, so a
// channel of 127 gives 0 and one of 255 gives 128.
uint32_t PixelColorTextColor(uint32_t color);

} // namespace quorrel::app
