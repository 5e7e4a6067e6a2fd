#pragma once

#include "controls/ColorRef.h"

#include <QFont>
#include <QString>

#include <cstdint>

namespace quorrel::controls {

// Cell state bits.
inline constexpr uint32_t GCS_FOCUSED = 0x01;
inline constexpr uint32_t GCS_SELECTED = 0x02;
inline constexpr uint32_t GCS_DROPHILITED = 0x04;
inline constexpr uint32_t GCS_READONLY = 0x08;

// Text-drawing format flags of a cell.
inline constexpr uint32_t DT_LEFT = 0x0000;
inline constexpr uint32_t DT_CENTER = 0x0001;
inline constexpr uint32_t DT_RIGHT = 0x0002;
inline constexpr uint32_t DT_VCENTER = 0x0004;
inline constexpr uint32_t DT_BOTTOM = 0x0008;
inline constexpr uint32_t DT_WORDBREAK = 0x0010;
inline constexpr uint32_t DT_SINGLELINE = 0x0020;
inline constexpr uint32_t DT_NOPREFIX = 0x0800;
inline constexpr uint32_t DT_END_ELLIPSIS = 0x8000;

// One cell of a CGridCtrl.
struct CGridCell final {
    QString m_strText;
    uint32_t m_nState = 0;
    uint32_t m_nFormat = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
    int m_iImage = -1;
    uint32_t m_lParam = 0;
    uint32_t m_crBkClr = CLR_DEFAULT;
    uint32_t m_crFgClr = CLR_DEFAULT;
    QFont m_font;
    int m_nMargin = 0;
    bool m_bModified = false;
};

} // namespace quorrel::controls
