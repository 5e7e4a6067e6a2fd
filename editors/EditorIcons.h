#pragma once
// The editors' pictures, drawn in code as vectors so they stay sharp at any
// screen density: the small triangle of the apply-to-all buttons (801), the
// six symmetry column headings (900..905), the value icons (909..911 for -1,
// 0, +1 of a ticked component, 919..921 greyed) and the 25 symmetry
// pictures, each showing a small motif repeated under its item's symmetry
// (blue where the value keeps its sign, yellow where it changes sign).

#include <QIcon>

namespace quorrel::editors {

// Icons by resource number: 801, 900..905, 909..911, 919..921. An unknown
// number gives a null icon.
QIcon EditorIcon(int id);

// Picture `item` (0..24) of the symmetry list.
QIcon SymmetryPicture(int item);

inline constexpr int kTriangleIcon = 801;
inline constexpr int kSymmetryColumnIcon = 900;  // + column 0..5
inline constexpr int kValueIcon = 910;           // + value -1..+1
inline constexpr int kGreyValueIcon = 920;       // + value -1..+1

} // namespace quorrel::editors
