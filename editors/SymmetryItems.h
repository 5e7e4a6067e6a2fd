#pragma once
// The 25 symmetry combinations offered for each component, in list order.
// Values are the six symmetry columns of a component: the mirrors v -> -v
// and u -> -u, the anti-diagonal and diagonal reflections, the half turn and
// the quarter turn; each -1, 0 or +1.

#include <array>
#include <cstdint>

namespace quorrel::editors {

inline constexpr int kSymmetryItems = 25;
using SymmetryRow = std::array<int32_t, 6>;

const SymmetryRow& SymmetryItemValues(int item);

// The first item whose values equal the row; 0 when none does.
int SymmetryItemFromValues(const int32_t (&row)[6]);
int SymmetryItemFromValues(const SymmetryRow& row);

// Writes the item's values into the row; an item outside 0..24 changes
// nothing.
void SymmetryValuesFromItem(int item, int32_t (&row)[6]);

} // namespace quorrel::editors
