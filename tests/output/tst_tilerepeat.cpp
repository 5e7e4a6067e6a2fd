#include "output/TileRepeat.h"

#include <gtest/gtest.h>

using namespace quorrel::output;

namespace {

QImage Tile(int width, int height)
{
    QImage tile(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            tile.setPixel(x, y, qRgb(x * 37 % 256, y * 59 % 256, (x * y) % 256));
    return tile;
}

// Every pixel of `filled` is the tile's pixel at (x mod w, y mod h).
void ExpectRepeated(const QImage& filled, const QImage& tile, QSize size,
                    QImage::Format format = QImage::Format_RGB32)
{
    ASSERT_EQ(filled.size(), size);
    EXPECT_EQ(filled.format(), format);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            ASSERT_EQ(filled.pixel(x, y), tile.pixel(x % tile.width(), y % tile.height())) << x << "," << y;
}

} // namespace

TEST(RepeatTile, FillsFromTheTopLeftCornerWithPartialTilesAtTheEdges)
{
    const QImage tile = Tile(7, 5);
    ExpectRepeated(RepeatTile(tile, 30, 17), tile, {30, 17});   // neither side a multiple
    ExpectRepeated(RepeatTile(tile, 21, 10), tile, {21, 10});   // both exact multiples
    ExpectRepeated(RepeatTile(tile, 3, 2), tile, {3, 2});       // smaller than the tile
    ExpectRepeated(RepeatTile(tile, 1, 40), tile, {1, 40});
    const QImage one = Tile(1, 1);
    ExpectRepeated(RepeatTile(one, 9, 4), one, {9, 4});
}

TEST(RepeatTile, OtherFormatsComeOutAsRgb32)
{
    QImage tile = Tile(4, 3).convertToFormat(QImage::Format_RGB888);
    ExpectRepeated(RepeatTile(tile, 10, 7), tile.convertToFormat(QImage::Format_RGB32), {10, 7});
}

TEST(RepeatTile, RefusesEmptyTilesAndSizesOutOfRange)
{
    const QImage tile = Tile(3, 3);
    EXPECT_TRUE(RepeatTile(QImage(), 10, 10).isNull());
    EXPECT_TRUE(RepeatTile(tile, 0, 10).isNull());
    EXPECT_TRUE(RepeatTile(tile, 10, -1).isNull());
    EXPECT_TRUE(RepeatTile(tile, kMaxRepeatSide + 1, 1).isNull());
    EXPECT_TRUE(RepeatTile(tile, 1, kMaxRepeatSide + 1).isNull());
    EXPECT_EQ(RepeatTile(tile, kMaxRepeatSide, 1).size(), QSize(kMaxRepeatSide, 1));
}

// Three bytes a pixel for the encoders, whatever the tile's own format; the
// rows below the first band are copies of the band's rows.
TEST(RepeatTile, Rgb888ForWritingLargeImages)
{
    const QImage tile = Tile(7, 5);
    ExpectRepeated(RepeatTile(tile, 30, 17, QImage::Format_RGB888), tile, {30, 17}, QImage::Format_RGB888);
    ExpectRepeated(RepeatTile(tile, 14, 15, QImage::Format_RGB888), tile, {14, 15}, QImage::Format_RGB888);
    ExpectRepeated(RepeatTile(tile, 2, 3, QImage::Format_RGB888), tile, {2, 3}, QImage::Format_RGB888);
    const QImage odd = Tile(3, 2).convertToFormat(QImage::Format_RGB888);
    ExpectRepeated(RepeatTile(odd, 1001, 5, QImage::Format_RGB888), odd, {1001, 5}, QImage::Format_RGB888);
    EXPECT_TRUE(RepeatTile(tile, 10, 10, QImage::Format_ARGB32).isNull());
}
