#include "SymmetryItems.h"

#include <algorithm>

namespace quorrel::editors {

namespace {

constexpr std::array<SymmetryRow, kSymmetryItems> kItems = {{
    {0, 0, 0, 0, 0, 0},
    {+1, 0, 0, 0, 0, 0},
    {-1, 0, 0, 0, 0, 0},
    {0, +1, 0, 0, 0, 0},
    {0, -1, 0, 0, 0, 0},
    {+1, +1, 0, 0, +1, 0},
    {-1, +1, 0, 0, -1, 0},
    {+1, -1, 0, 0, -1, 0},
    {-1, -1, 0, 0, +1, 0},
    {0, 0, +1, 0, 0, 0},
    {0, 0, -1, 0, 0, 0},
    {0, 0, 0, +1, 0, 0},
    {0, 0, 0, -1, 0, 0},
    {0, 0, +1, +1, +1, 0},
    {0, 0, +1, -1, -1, 0},
    {0, 0, -1, +1, -1, 0},
    {0, 0, -1, -1, +1, 0},
    {0, 0, 0, 0, +1, 0},
    {0, 0, 0, 0, -1, 0},
    {0, 0, 0, 0, +1, +1},
    {0, 0, 0, 0, +1, -1},
    {+1, +1, +1, +1, +1, +1},
    {+1, +1, -1, -1, +1, -1},
    {-1, -1, +1, +1, +1, -1},
    {-1, -1, -1, -1, +1, +1},
}};

} // namespace

const SymmetryRow& SymmetryItemValues(int item)
{
    return kItems[static_cast<size_t>(std::clamp(item, 0, kSymmetryItems - 1))];
}

int SymmetryItemFromValues(const SymmetryRow& row)
{
    for (int i = 0; i < kSymmetryItems; ++i) {
        if (kItems[static_cast<size_t>(i)] == row)
            return i;
    }
    return 0;
}

int SymmetryItemFromValues(const int32_t (&row)[6])
{
    SymmetryRow values;
    std::copy(std::begin(row), std::end(row), values.begin());
    return SymmetryItemFromValues(values);
}

void SymmetryValuesFromItem(int item, int32_t (&row)[6])
{
    if (item < 0 || item >= kSymmetryItems)
        return;
    const SymmetryRow& values = kItems[static_cast<size_t>(item)];
    std::copy(values.begin(), values.end(), std::begin(row));
}

} // namespace quorrel::editors
