#include "render/ColorConversion.h"
#include "render/FastKernel.h"
#include "render/HslKernel.h"

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <cmath>
#include <random>
#include <utility>
#include <vector>

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

namespace {

// The channel exactly as its defining floating-point steps state it.
int32_t LiteralHueToChannel(uint32_t m1In, uint32_t m2In, uint32_t hueIn)
{
    const uint16_t m1 = static_cast<uint16_t>(m1In);
    const uint16_t m2 = static_cast<uint16_t>(m2In);
    uint16_t hue = static_cast<uint16_t>(hueIn);
    if (hue > 255)
        hue = static_cast<uint16_t>(hue - 255);
    const int32_t diff = static_cast<int32_t>(m2) - static_cast<int32_t>(m1);
    if (hue < 42.5) {
        const double product = static_cast<double>(diff * static_cast<int32_t>(hue));
        return static_cast<int32_t>(std::trunc(m1 + product * 6.0 / 255.0));
    }
    if (hue < 127.5)
        return m2;
    if (hue < 170.0)
        return static_cast<int32_t>(std::trunc(m1 + static_cast<double>(diff) * (170.0 - hue) * 6.0 / 255.0));
    return m1;
}

} // namespace

// The integer form must give the level of the floating-point steps for every
// argument: all hues against the (m1, m2) pairs that in-range colours
// produce and against the extremes, then random 16-bit triples.
TEST(HueToChannel, IntegerFormEqualsTheFloatingPointSteps)
{
    std::vector<std::pair<uint32_t, uint32_t>> pairs;
    for (uint32_t s = 1; s < 256; s += 2) {
        for (uint32_t l = 0; l < 256; ++l) {
            uint32_t m2 = l <= 127 ? ((s + 255u) * l) / 255u : l + s - (l * s) / 255u;
            m2 &= 0xFFFFu;
            pairs.emplace_back((2u * l - m2) & 0xFFFFu, m2);
        }
    }
    for (uint32_t a : {0u, 1u, 254u, 255u, 256u, 32767u, 32768u, 65534u, 65535u})
        for (uint32_t b : {0u, 1u, 254u, 255u, 256u, 32767u, 32768u, 65534u, 65535u})
            pairs.emplace_back(a, b);
    int mismatches = 0;
    for (const auto& [m1, m2] : pairs) {
        for (uint32_t hue = 0; hue < 600; ++hue) {
            if (HueToChannel(m1, m2, hue) != LiteralHueToChannel(m1, m2, hue) && ++mismatches < 5)
                ADD_FAILURE() << m1 << " " << m2 << " " << hue;
        }
    }
    std::mt19937 rng(3);
    for (int i = 0; i < 2'000'000; ++i) {
        const uint32_t m1 = static_cast<uint32_t>(rng()), m2 = static_cast<uint32_t>(rng());
        const uint32_t hue = static_cast<uint32_t>(rng() % 0x20000u);
        if (HueToChannel(m1, m2, hue) != LiteralHueToChannel(m1, m2, hue) && ++mismatches < 5)
            ADD_FAILURE() << m1 << " " << m2 << " " << hue;
    }
    EXPECT_EQ(mismatches, 0);
}

// The vector conversion of runs of pixels against HslToRgb for every
// in-range colour on the best instruction set, and for a third of the
// saturations and luminosities on every other one the processor runs.
TEST(HslToPackedLevels, EqualsHslToRgbOnEveryInstructionSet)
{
    const std::vector<int64_t> targets = quorrel::render::KernelTargets();
    ASSERT_FALSE(targets.empty());
    std::vector<uint32_t> hue(256 + 5), saturation(hue.size()), luminosity(hue.size()), packed(hue.size());
    for (std::size_t t = 0; t < targets.size(); ++t) {
        hwy::SetSupportedTargetsForTest(targets[t]);
        SCOPED_TRACE(hwy::TargetName(targets[t]));
        const uint32_t step = t == 0 ? 1 : 3;
        int mismatches = 0;
        for (uint32_t s = 0; s < 256; s += step) {
            for (uint32_t l = 0; l < 256; l += step) {
                // 261 pixels: whole vectors and a tail; the last five hues
                // repeat the first ones.
                for (std::size_t i = 0; i < hue.size(); ++i) {
                    hue[i] = static_cast<uint32_t>(i % 256);
                    saturation[i] = s;
                    luminosity[i] = l;
                }
                HslToPackedLevels(hue.data(), saturation.data(), luminosity.data(), hue.size(), packed.data());
                for (std::size_t i = 0; i < hue.size(); ++i) {
                    const Rgb32 rgb = HslToRgb(hue[i], s, l);
                    const uint32_t expected = rgb.red | rgb.green << 8 | rgb.blue << 16;
                    if (packed[i] != expected && ++mismatches < 5)
                        ADD_FAILURE() << hue[i] << " " << s << " " << l << ": " << packed[i] << " != " << expected;
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
    }
    hwy::SetSupportedTargetsForTest(0);
}
