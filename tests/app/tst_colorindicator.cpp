// The colour indicator's text and contrast colour, and the printed size of
// the image.

#include "app/ColorIndicator.h"
#include "app/PrintLayout.h"

#include <gtest/gtest.h>

using namespace quorrel::app;

namespace {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | g << 8 | b << 16; }

TEST(ColorIndicator, TextIsHashAndSixUpperCaseDigitsInRedGreenBlueOrder)
{
    EXPECT_EQ(PixelColorText(Rgb(0, 0, 0)), "#000000");
    EXPECT_EQ(PixelColorText(Rgb(10, 11, 12)), "#0A0B0C");
    EXPECT_EQ(PixelColorText(Rgb(255, 255, 255)), "#FFFFFF");
    EXPECT_EQ(PixelColorText(Rgb(255, 0, 16)), "#FF0010");
    EXPECT_EQ(PixelColorText(Rgb(0, 0xAB, 1)), "#00AB01");
    // Only the low three bytes count.
    EXPECT_EQ(PixelColorText(0xFF000000u | Rgb(1, 2, 3)), "#010203");
}

TEST(ColorIndicator, TextColourAdds128Modulo255PerChannel)
{
    EXPECT_EQ(PixelColorTextColor(Rgb(0, 0, 0)), Rgb(128, 128, 128));
    EXPECT_EQ(PixelColorTextColor(Rgb(10, 11, 12)), Rgb(138, 139, 140));
    EXPECT_EQ(PixelColorTextColor(Rgb(255, 255, 255)), Rgb(128, 128, 128));
    EXPECT_EQ(PixelColorTextColor(Rgb(127, 200, 254)), Rgb(0, 73, 127));
}

TEST(PrintLayout, TheTileIsScaledByPrinterOverScreenResolutionAndTruncated)
{
    // A 125 x 125 image at zoom 2 on a 600 dpi printer with a 96 dpi screen.
    EXPECT_EQ(PrintedTileSize(QSize(250, 250), 600, 600, 96, 96), QSize(1562, 1562));
    EXPECT_EQ(PrintedTileSize(QSize(125, 80), 300, 600, 96, 96), QSize(390, 500));
    EXPECT_EQ(PrintedTileSize(QSize(125, 125), 96, 96, 96, 96), QSize(125, 125));
    EXPECT_EQ(PrintedTileSize(QSize(100, 100), 72, 72, 96, 96), QSize(75, 75));
}

} // namespace
