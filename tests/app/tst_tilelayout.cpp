// The view's arithmetic: tiles covering the client area, scroll sizes at a
// zoom, and the image pixel under the pointer.

#include "app/TileLayout.h"

#include <gtest/gtest.h>

using namespace quorrel::app;

TEST(TileLayout, A125TileFillsA1000By700ClientWith9ColumnsOf6Rows)
{
    const auto rects = ScreenTileRects(QSize(1000, 700), QSize(125, 125));
    ASSERT_EQ(rects.size(), 54u);
    EXPECT_EQ(rects.front(), QRect(0, 0, 125, 125));
    EXPECT_EQ(rects[1], QRect(0, 125, 125, 125));   // columns outer, rows inner
    EXPECT_EQ(rects.back(), QRect(8 * 125, 5 * 125, 125, 125));
    const auto scroll = ComputeScrollSizes(125, 125, 1);
    EXPECT_EQ(scroll.total, QSize(125, 125));   // below the client: no scroll bars
}

TEST(TileLayout, AtZoom10OneTileIsLargerThanTheWindow)
{
    const auto scroll = ComputeScrollSizes(125, 125, 10);
    EXPECT_EQ(scroll.total, QSize(1250, 1250));
    EXPECT_EQ(scroll.page, QSize(125, 125));
    EXPECT_EQ(scroll.line, QSize(12, 12));
    EXPECT_EQ(ScreenTileRects(QSize(1000, 700), scroll.total).size(), 1u);
}

TEST(TileLayout, ThePlaceholderRepeatsAndPartialTilesAreIncluded)
{
    const auto rects = ScreenTileRects(QSize(700, 250), QSize(343, 125));
    // 700 / 343 = 2 -> 3 columns; 250 / 125 = 2 -> 3 rows (the last one starts at the edge).
    EXPECT_EQ(rects.size(), 9u);
    EXPECT_TRUE(ScreenTileRects(QSize(100, 100), QSize(0, 10)).empty());
}

TEST(TileLayout, PointerMapsIntoTheTileUnderIt)
{
    EXPECT_EQ(PointerToImage(QPoint(130, 5), QPoint(0, 0), 1, 125, 125), QPoint(5, 5));
    EXPECT_EQ(PointerToImage(QPoint(130, 5), QPoint(0, 0), 2, 125, 125), QPoint(65, 2));
    EXPECT_EQ(PointerToImage(QPoint(10, 10), QPoint(240, 500), 2, 125, 125), QPoint(0, 5));
}
