#include "editors/GradientStatic.h"

#include "render/ColorConversion.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace quorrel::editors;

TEST(GradientStatic, BandsCoverTheStripExactly)
{
    // 510 pixels: 255 bands of two, the last one ending at the right edge.
    for (int i = 0; i < kGradientBands; ++i) {
        const auto [x0, x1] = CGradientStatic::BandExtent(i, 510);
        EXPECT_EQ(x0, 2 * i);
        EXPECT_EQ(x1, 2 * i + 2);
    }
    EXPECT_EQ(CGradientStatic::BandExtent(254, 300).second, 300);
}

TEST(GradientStatic, BandColoursRunFromStartToEnd)
{
    CGradientStatic strip;
    strip.SetStartColor(PackColor(0, 255, 10));
    strip.SetEndColor(PackColor(255, 0, 10));
    EXPECT_EQ(strip.BandColor(0), PackColor(0, 255, 10));
    // 255 bands: the last band stops one step short of the end colour.
    EXPECT_EQ(strip.BandColor(254), PackColor(254, 1, 10));
    // Each channel truncated: 255 - 255 * 100 / 255 = 155.
    EXPECT_EQ(strip.BandColor(100), PackColor(100, 155, 10));
    strip.SetEndColor(PackColor(0, 155, 10));
    // A falling channel truncates the real value: 255 - 100/255 = 254.6 -> 254.
    EXPECT_EQ((strip.BandColor(1) >> 8) & 0xFF, 254u);
}

TEST(GradientStatic, HslStripsArePaintedConverted)
{
    CGradientStatic strip;
    strip.resize(255, 6);
    strip.SetHslMode(true);
    strip.SetStartColor(PackColor(0, 255, 127));
    strip.SetEndColor(PackColor(255, 255, 127));
    QImage image = strip.grab().toImage();
    const uint32_t expected = quorrel::render::HslColorToRgb(PackColor(85, 255, 127));
    const QColor pixel = image.pixelColor(85, 3);
    EXPECT_EQ(pixel.red(), int(expected & 0xFF));
    EXPECT_EQ(pixel.green(), int((expected >> 8) & 0xFF));
    EXPECT_EQ(pixel.blue(), int((expected >> 16) & 0xFF));
}
