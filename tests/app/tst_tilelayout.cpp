// The view's arithmetic: tiles covering the client area, scroll sizes at a
// zoom, and the image pixel under the pointer.

#include "app/TileLayout.h"

#include <QRegion>

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

TEST(TileLayout, VisiblePartsFollowTheClientAreaNotTheZoom)
{
    // A 1024 tile at zoom 16 in a 1280 x 1024 client: one piece of 80 x 64
    // source pixels.
    auto parts = VisibleTileParts(QSize(1280, 1024), QPoint(0, 0), QSize(1024, 1024), 16);
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(parts[0].source, QRect(0, 0, 80, 64));
    EXPECT_EQ(parts[0].target, QRect(0, 0, 1280, 1024));

    // At zoom 1 the next column starts at 1024 and shows 256 columns of the tile.
    parts = VisibleTileParts(QSize(1280, 1024), QPoint(0, 0), QSize(1024, 1024), 1);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].source, QRect(0, 0, 1024, 1024));
    EXPECT_EQ(parts[1].source, QRect(0, 0, 256, 1024));
    EXPECT_EQ(parts[1].target, QRect(1024, 0, 256, 1024));

    // Scrolled into the middle of a block: the piece starts at the block,
    // one pixel left of the client edge, and ends past the right edge.
    parts = VisibleTileParts(QSize(10, 4), QPoint(5, 8), QSize(100, 100), 4);
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(parts[0].source, QRect(1, 2, 3, 1));
    EXPECT_EQ(parts[0].target, QRect(-1, 0, 12, 4));
}

TEST(TileLayout, VisiblePartsCoverTheClientAreaAcrossTileEdgesAndScrolling)
{
    // 125 tiles at zoom 1 in 1000 x 700: 8 columns and 6 rows, the last ones cut.
    auto parts = VisibleTileParts(QSize(1000, 700), QPoint(0, 0), QSize(125, 125), 1);
    EXPECT_EQ(parts.size(), 8u * 6u);
    EXPECT_EQ(parts.back().source, QRect(0, 0, 125, 700 - 5 * 125));
    // Scrolled by 100: the first column shows the tile's last 25 pixels, and
    // the area stays covered to its right edge.
    parts = VisibleTileParts(QSize(343, 125), QPoint(100, 0), QSize(343, 125), 1);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].source, QRect(100, 0, 243, 125));
    EXPECT_EQ(parts[0].target, QRect(0, 0, 243, 125));
    EXPECT_EQ(parts[1].target, QRect(243, 0, 100, 125));
    EXPECT_TRUE(VisibleTileParts(QSize(0, 10), QPoint(0, 0), QSize(5, 5), 1).empty());
    EXPECT_TRUE(VisibleTileParts(QSize(10, 10), QPoint(0, 0), QSize(5, 5), 0).empty());
}

// On a dense screen the tiles are laid in device pixels: the scroll range in
// logical pixels is the zoomed image over the ratio, and the pointer's
// logical point falls on the device pixel under it.
struct DenseScreen {
    const char* name;
    qreal ratio;
    int zoom;
    QSize total;        // logical scroll range of a 125 x 125 image
    QPointF pointer;    // a logical point, scrolled to `scroll`
    QPoint scroll;
    QPoint image;       // the image pixel under it
};

class TileLayoutOnADenseScreen : public ::testing::TestWithParam<DenseScreen> {};

TEST_P(TileLayoutOnADenseScreen, CountsDevicePixels)
{
    const DenseScreen& c = GetParam();
    EXPECT_EQ(ComputeScrollSizes(125, 125, c.zoom, c.ratio).total, c.total) << c.name;
    EXPECT_EQ(PointerToImage(c.pointer, c.scroll, c.zoom, 125, 125, c.ratio), c.image) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Ratios, TileLayoutOnADenseScreen,
    ::testing::Values(
        // At 1 nothing changes: (130, 5) over a 125 tile is (5, 5), at zoom 2 (65, 2).
        DenseScreen{"1x zoom 1", 1.0, 1, {125, 125}, {130, 5}, {0, 0}, {5, 5}},
        DenseScreen{"1x zoom 2", 1.0, 2, {250, 250}, {130, 5}, {0, 0}, {65, 2}},
        // At 2 a logical pixel is two image pixels at zoom 1.
        DenseScreen{"2x zoom 1", 2.0, 1, {63, 63}, {30, 5}, {0, 0}, {60, 10}},
        DenseScreen{"2x zoom 1 between pixels", 2.0, 1, {63, 63}, {30.5, 5.5}, {0, 0}, {61, 11}},
        DenseScreen{"2x zoom 2", 2.0, 2, {125, 125}, {140, 5}, {0, 0}, {15, 5}},
        DenseScreen{"2x zoom 3 scrolled", 2.0, 3, {188, 188}, {10, 10}, {40, 20}, {33, 20}},
        // A fractional ratio.
        DenseScreen{"1.5x zoom 1", 1.5, 1, {84, 84}, {100, 10}, {0, 0}, {25, 15}}),
    [](const ::testing::TestParamInfo<DenseScreen>& info) { return std::to_string(info.index); });

TEST(TileLayout, OnADenseScreenTheVisiblePartsCoverTheDevicePixelsOfTheClient)
{
    // A 300 x 200 logical client at 2x is 600 x 400 device pixels; scrolled
    // by (10, 5) logical it starts at device (20, 10).
    const QSize client = ToDeviceSize(QSize(300, 200), 2.0);
    const QPoint scroll = ToDevicePoint(QPoint(10, 5), 2.0);
    EXPECT_EQ(client, QSize(600, 400));
    EXPECT_EQ(scroll, QPoint(20, 10));
    EXPECT_EQ(ToDeviceSize(QSize(301, 201), 1.5), QSize(452, 302));
    QRegion covered;
    for (const TilePart& part : VisibleTileParts(client, scroll, QSize(125, 125), 1)) {
        EXPECT_EQ(part.source.size(), part.target.size());
        covered += part.target;
    }
    EXPECT_EQ(covered.intersected(QRect(QPoint(0, 0), client)), QRegion(QRect(QPoint(0, 0), client)));
}
