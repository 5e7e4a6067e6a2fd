#pragma once
// The 25 symmetry combinations offered for each component, in list order.
// Values are the six symmetry columns of a component: the mirrors v -> -v
// and u -> -u, the anti-diagonal and diagonal reflections, the half turn and
// the quarter turn; each -1, 0 or +1.

#include <array>
#include <cstdint>
#include <string>

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

// What the pictures show, in words, for screen readers and tips: a column's
// symmetry ("Half turn"), one value ("symmetric", "antisymmetric", "none"),
// and a whole row ("Vertical-axis mirror symmetric, half turn antisymmetric";
// "No symmetry" when every value is 0).
std::string SymmetryColumnName(int column);
std::string SymmetryValueName(int value);
std::string SymmetryRowDescription(const SymmetryRow& row);

} // namespace quorrel::editors
