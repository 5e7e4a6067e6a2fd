#pragma once
// The colour indicator's arithmetic: the text and the contrasting text
// colour for a pixel colour laid out 0x00BBGGRR (red in the low byte).

#include <QFont>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace quorrel::app {

// "#RRGGBB": each channel as two upper-case hexadecimal digits.
QString PixelColorText(uint32_t color);

// ((c + 128) mod 255) per channel, same layout. The modulus is 255, so a
// channel of 127 gives 0 and one of 255 gives 128.
uint32_t PixelColorTextColor(uint32_t color);

// The indicator's font: "Courier New" with 11-pixel characters, normal
// weight, or, where `families` (the installed ones) has no Courier New, the
// system's fixed-pitch font at that size.
QFont ColorIndicatorFont(const QStringList& families);

} // namespace quorrel::app
