#pragma once

// Colours are handed around as 32-bit values laid out 0x00BBGGRR (red in the
// low byte), the layout the editors and the model use everywhere.

#include <QColor>

#include <cstdint>

namespace quorrel::controls {

// Marks "use the control's own colour" in a cell's colour fields.
inline constexpr uint32_t CLR_DEFAULT = 0xFF000000u;

inline constexpr uint32_t RGBColor(int r, int g, int b)
{
    return uint32_t(r & 0xFF) | (uint32_t(g & 0xFF) << 8) | (uint32_t(b & 0xFF) << 16);
}

inline uint32_t ToColorRef(const QColor& c)
{
    return RGBColor(c.red(), c.green(), c.blue());
}

inline QColor FromColorRef(uint32_t c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

} // namespace quorrel::controls
