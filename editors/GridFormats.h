#pragma once
// Cell formats the editors give their grids: header cells left-aligned with
// word wrapping, value cells right-aligned on one centred line, cut with an
// ellipsis when too long.

#include "controls/GridCell.h"

namespace quorrel::editors {

inline constexpr uint32_t kHeaderCellFormat = controls::DT_LEFT | controls::DT_WORDBREAK;
inline constexpr uint32_t kValueCellFormat = controls::DT_RIGHT | controls::DT_VCENTER
    | controls::DT_SINGLELINE | controls::DT_END_ELLIPSIS;

} // namespace quorrel::editors
