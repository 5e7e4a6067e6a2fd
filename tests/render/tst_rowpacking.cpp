// Columns of colour values to rows of three bytes a pixel, on every
// instruction set: every number of columns from 1 to 33 and rows from 1 to
// 40 (below, at and above the vector length and the groups of four
// columns, to reach every tail), at an odd stride; nothing outside the rows
// is written.

#include "render/continuous/RowPacking.h"
#include "support/EveryKernel.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace quorrel::render;

TEST(RowPacking, ColumnsBecomeRowsForEveryShapeOnEveryTarget)
{
    constexpr uint32_t kMaxColumns = 33, kMaxRows = 40;
    constexpr std::size_t kStride = 43, kGuard = 64;
    constexpr uint8_t kUntouched = 0xA5;
    std::mt19937 rng(51);
    std::vector<uint32_t> colours(kStride * kMaxColumns);
    for (uint32_t& colour : colours)
        colour = static_cast<uint32_t>(rng());   // the top byte too: it must not show
    const std::string checked = quorrel::test::ForEachTarget([&] {
        int mismatches = 0;
        for (uint32_t count = 1; count <= kMaxColumns; ++count) {
            for (uint32_t rows = 1; rows <= kMaxRows; ++rows) {
                const std::size_t bytes = std::size_t(count) * rows * 3;
                std::vector<uint8_t> rgb(kGuard + bytes + kGuard, kUntouched);
                PackRows(colours.data(), kStride, count, rows, rgb.data() + kGuard);
                for (uint32_t y = 0; y < rows; ++y) {
                    for (uint32_t i = 0; i < count; ++i) {
                        const uint32_t colour = colours[i * kStride + y];
                        const uint8_t* pixel = rgb.data() + kGuard + (std::size_t(y) * count + i) * 3;
                        if ((pixel[0] != (colour & 0xFF) || pixel[1] != (colour >> 8 & 0xFF) ||
                             pixel[2] != (colour >> 16 & 0xFF)) &&
                            ++mismatches < 5)
                            ADD_FAILURE() << count << " x " << rows << ": pixel " << i << ", " << y;
                    }
                }
                for (std::size_t b = 0; b < kGuard; ++b) {
                    if ((rgb[b] != kUntouched || rgb[kGuard + bytes + b] != kUntouched) && ++mismatches < 5)
                        ADD_FAILURE() << count << " x " << rows << ": a byte outside the rows was written";
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
    });
    RecordProperty("targets", checked);
}
