#include "render/ColorConversion.h"

#include <gtest/gtest.h>

using namespace quorrel::render;

TEST(HslToRgb, WorkedExamples)
{
    EXPECT_EQ(HslToRgb(0, 255, 127), (Rgb32{254, 0, 0}));
    EXPECT_EQ(HslToRgb(21, 255, 127), (Rgb32{254, 125, 0}));
    EXPECT_EQ(HslToRgb(0, 138, 140), (Rgb32{203, 77, 77}));
    EXPECT_EQ(HslToRgb(170, 255, 127), (Rgb32{0, 0, 254}));
}

TEST(HslToRgb, ZeroSaturationIsGreyWhateverTheHue)
{
    for (uint32_t hue : {0u, 17u, 200u, 255u, 4000000000u}) {
        EXPECT_EQ(HslToRgb(hue, 0, 0), (Rgb32{0, 0, 0}));
        EXPECT_EQ(HslToRgb(hue, 0, 99), (Rgb32{99, 99, 99}));
        EXPECT_EQ(HslToRgb(hue, 0, 255), (Rgb32{255, 255, 255}));
    }
    // L * 255 wraps in 32 bits before the division.
    const uint32_t big = 0x01020304u;
    const uint32_t grey = (big * 255u) / 255u;
    EXPECT_EQ(HslToRgb(1, 0, big), (Rgb32{grey, grey, grey}));
}

TEST(HslToRgb, ChannelsStayWithinLevelsForInRangeInput)
{
    for (uint32_t h = 0; h < 256; h += 5)
        for (uint32_t s = 0; s < 256; s += 15)
            for (uint32_t l = 0; l < 256; l += 15) {
                const Rgb32 c = HslToRgb(h, s, l);
                ASSERT_LE(c.red, 255u);
                ASSERT_LE(c.green, 255u);
                ASSERT_LE(c.blue, 255u);
            }
}

TEST(HueToChannel, CasesAndSixteenBitArguments)
{
    EXPECT_EQ(HueToChannel(0, 254, 21), 125);
    EXPECT_EQ(HueToChannel(0, 254, 85), 254);          // case 3
    EXPECT_EQ(HueToChannel(10, 254, 300), 254);        // 300 - 255 = 45: the flat top
    EXPECT_EQ(HueToChannel(0, 254, 0x10000 + 21), 125); // only the low 16 bits count
    EXPECT_EQ(HueToChannel(77, 203, 0xFFFFFFAB), 77);  // far out of range: last case
    // Case 4: 170 - hue scaled, m2 < m1 gives a negative difference.
    EXPECT_EQ(HueToChannel(200, 100, 150), static_cast<int32_t>(200 + -100.0 * 20.0 * 6.0 / 255.0));
}

TEST(HslColorToRgb, PackedLayout)
{
    EXPECT_EQ(HslColorToRgb(0 | (255 << 8) | (127 << 16)), 254u);
    EXPECT_EQ(HslColorToRgb(170 | (255 << 8) | (127 << 16)), 254u << 16);
    EXPECT_EQ(HslColorToRgb(0 | (138 << 8) | (140 << 16)), 203u | (77u << 8) | (77u << 16));
    EXPECT_EQ(HslColorToRgb(0xFF000000u | (138 << 8) | (140 << 16)), 203u | (77u << 8) | (77u << 16));
}
