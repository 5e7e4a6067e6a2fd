#include "SymmetryItems.h"

#include <algorithm>
#include <cctype>

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

std::string SymmetryColumnName(int column)
{
    static const char* const names[] = {"Horizontal-axis mirror", "Vertical-axis mirror", "Anti-diagonal reflection",
                                        "Diagonal reflection",    "Half turn",            "Quarter turn"};
    return column >= 0 && column < 6 ? names[column] : "";
}

std::string SymmetryValueName(int value)
{
    return value > 0 ? "symmetric" : value < 0 ? "antisymmetric" : "none";
}

std::string SymmetryRowDescription(const SymmetryRow& row)
{
    std::string text;
    for (int s = 0; s < 6; ++s) {
        if (row[size_t(s)] == 0)
            continue;
        std::string part = SymmetryColumnName(s) + " " + SymmetryValueName(row[size_t(s)]);
        if (!text.empty()) {
            text += ", ";
            part[0] = char(std::tolower(static_cast<unsigned char>(part[0])));
        }
        text += part;
    }
    return text.empty() ? "No symmetry" : text;
}

} // namespace quorrel::editors
