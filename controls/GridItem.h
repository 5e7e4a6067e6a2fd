#pragma once

#include "controls/ColorRef.h"

#include <QFont>
#include <QString>

#include <cstdint>

namespace quorrel::controls {

// Mask bits of CGridItem: which fields SetItem copies and GetItem fills.
inline constexpr uint32_t GIM_TEXT = 0x01;
inline constexpr uint32_t GIM_IMAGE = 0x02;
inline constexpr uint32_t GIM_PARAM = 0x04;
inline constexpr uint32_t GIM_STATE = 0x08;
inline constexpr uint32_t GIM_BKCLR = 0x10;
inline constexpr uint32_t GIM_FGCLR = 0x20;
inline constexpr uint32_t GIM_FORMAT = 0x40;
inline constexpr uint32_t GIM_FONT = 0x80;

// A record to set or get several fields of one cell at once.
struct CGridItem final {
    int row = 0;
    int col = 0;
    uint32_t mask = 0;
    uint32_t nState = 0;
    uint32_t nFormat = 0;
    int iImage = -1;
    uint32_t crBkClr = CLR_DEFAULT;
    uint32_t crFgClr = CLR_DEFAULT;
    uint32_t lParam = 0;
    QString strText;
    QFont font;
};

} // namespace quorrel::controls
