#pragma once

#include <cstdint>

namespace quorrel::controls {

// Style bits of CRangeSliderCtrl; other bits have no effect.
inline constexpr uint32_t RSS_COLORSEGMENTS = 0x0001;   // fill the segments between markers
inline constexpr uint32_t RSS_LABELS = 0x0002;          // end labels, marker ticks and labels
inline constexpr uint32_t RSS_INTEGER = 0x0004;         // values without decimals
inline constexpr uint32_t RSS_VALUETIP = 0x0008;        // show marker values in the tip window
inline constexpr uint32_t RSS_DRAGOUTREMOVES = 0x0010;  // a marker dropped outside is removed
inline constexpr uint32_t RSS_NOCROSSING = 0x0020;      // a dragged marker stops at its neighbours
inline constexpr uint32_t RSS_REVERSED = 0x0100;        // value axis runs right to left / top to bottom
inline constexpr uint32_t RSS_FOCUSRECT = 0x0200;       // focus rectangle around the client area
inline constexpr uint32_t RSS_ALTERNATECOLORS = 0x0400; // alternate phase swaps the segment colours

inline constexpr uint32_t RSS_DEFAULT = 0x00AA;

// Notification code of a marker drop that moved a marker.
inline constexpr int RSN_MARKERMOVED = 4;

} // namespace quorrel::controls
