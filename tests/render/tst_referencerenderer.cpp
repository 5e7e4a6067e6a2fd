#include "model/TileParams.h"
#include "render/Ppm.h"
#include "render/ReferenceRenderer.h"
#include "render/TileRenderer.h"
#include "support/Golden.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace quorrel::model;
using namespace quorrel::render;
using quorrel::test::GoldenFiles;
using quorrel::test::LoadGoldenParams;
using quorrel::test::ReadBytes;

namespace {

std::unique_ptr<CTileParams> MakeDefaults() { return std::make_unique<CTileParams>(); }

CRgbImage Render(const CTileParams& p)
{
    CRgbImage image(p.m_nWidth, p.m_nHeight);
    RenderTileReference(p, image);
    return image;
}

std::vector<uint8_t> PixelAt(const CRgbImage& image, uint32_t x, uint32_t y)
{
    const uint8_t* p = image.Pixel(x, y);
    return {p[0], p[1], p[2]};
}

} // namespace

TEST(ReferenceRenderer, DefaultsPaintOneColour)
{
    const auto image = Render(*MakeDefaults());
    ASSERT_EQ(image.Width(), 125u);
    for (uint32_t y = 0; y < 125; y += 31)
        for (uint32_t x = 0; x < 125; x += 17)
            EXPECT_EQ(PixelAt(image, x, y), (std::vector<uint8_t>{203, 77, 77}));
}

TEST(ReferenceRenderer, WorkedFourByFourExample)
{
    auto p = MakeDefaults();
    p->m_nWidth = p->m_nHeight = 4;
    p->m_nCosCos[Hue][1][0] = 100;
    const auto image = Render(*p);
    const std::vector<std::vector<uint8_t>> row = {{77, 203, 121}, {203, 77, 77}, {77, 118, 203}, {203, 77, 77}};
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 4; ++x)
            EXPECT_EQ(PixelAt(image, x, y), row[x]) << x << "," << y;
}

TEST(ReferenceRenderer, DisabledHslComponentsAndRgbOverflow)
{
    auto p = MakeDefaults();
    p->m_nWidth = p->m_nHeight = 2;
    // Red enabled, constant 200 inside 0..255; HSL disabled except Hue.
    p->m_bEnabled[Red] = 1;
    p->m_nCosCos[Red][0][0] = 200;
    p->m_bEnabled[Saturation] = 0;
    p->m_bEnabled[Luminosity] = 0;
    p->m_nCosCos[Saturation][0][0] = 5;  // ignored: disabled Saturation is 255
    // Hue 0 with S 255, L 127 gives (254, 0, 0): 200 + 254 = 454 -> 454 mod 255 = 199.
    const auto image = Render(*p);
    EXPECT_EQ(PixelAt(image, 1, 1), (std::vector<uint8_t>{199, 0, 0}));

    // A disabled, uncorrelated Hue is its raw sum, not mapped: 595 puts
    // every channel in HueToChannel's last case (m1 = 0). Mapped into 0..255
    // it would have been 85 and painted green 254.
    p->m_bEnabled[Hue] = 0;
    p->m_bEnabled[Saturation] = 1;
    p->m_nColorLow[Saturation] = p->m_nColorHigh[Saturation] = 255;
    p->m_nCosCos[Hue][0][0] = 595;
    EXPECT_EQ(PixelAt(Render(*p), 0, 0), (std::vector<uint8_t>{200, 0, 0}));
}

TEST(ReferenceRenderer, DiamondIgnoresTheVerticalCountButNotTheCopyRule)
{
    auto a = MakeDefaults();
    a->m_nWidth = 16;
    a->m_nHeight = 12;
    a->m_nTileStyle[Hue] = 1;
    a->m_nHorzHarm[Hue] = 3;
    a->m_nVertHarm[Hue] = 3;
    a->m_nCosCos[Hue][2][2] = 90;
    a->m_nSinSin[Hue][1][1] = -40;
    auto taller = std::make_unique<CTileParams>(*a);
    taller->m_nVertHarm[Hue] = 5;   // terms n = 0, 1, 2 either way
    EXPECT_EQ(Render(*a).Bytes(), Render(*taller).Bytes());

    // With fewer vertical than horizontal harmonics the renderer's copy
    // leaves the diagonal cells beyond the vertical count at 0.
    auto shorter = std::make_unique<CTileParams>(*a);
    shorter->m_nVertHarm[Hue] = 1;
    auto withoutTerms = std::make_unique<CTileParams>(*shorter);
    withoutTerms->m_nCosCos[Hue][2][2] = 0;
    withoutTerms->m_nSinSin[Hue][1][1] = 0;
    EXPECT_EQ(Render(*shorter).Bytes(), Render(*withoutTerms).Bytes());
    EXPECT_NE(Render(*shorter).Bytes(), Render(*a).Bytes());
}

TEST(ReferenceRenderer, ZeroHarmonicsContributeNothing)
{
    auto p = MakeDefaults();
    p->m_nWidth = p->m_nHeight = 8;
    auto flat = std::make_unique<CTileParams>(*p);
    p->m_nCosCos[Hue][0][0] = 50;
    p->m_nVertHarm[Hue] = 0;
    EXPECT_EQ(Render(*p).Bytes(), Render(*flat).Bytes());
}

TEST(ReferenceRenderer, ReportsEveryColumnThenZero)
{
    auto p = MakeDefaults();
    p->m_nWidth = 7;
    p->m_nHeight = 3;
    std::vector<int> reports;
    CRgbImage image(7, 3);
    RenderTileReference(*p, image, [&](int percent) { reports.push_back(percent); });
    EXPECT_EQ(reports, (std::vector<int>{0, 14, 28, 42, 57, 71, 85, 0}));
}

// Reference renders made by an independent model, byte for byte.
TEST(ReferenceRendererGolden, MatchesEveryReferenceImage)
{
    int checked = 0;
    for (const auto& wpp : GoldenFiles("render", ".wpp")) {
        SCOPED_TRACE(wpp.filename().string());
        auto ppmPath = wpp;
        ppmPath.replace_extension(".ppm");
        const auto expected = DecodePpm(ReadBytes(ppmPath));
        ASSERT_TRUE(expected);
        const auto params = LoadGoldenParams(wpp);
        const auto image = Render(*params);
        ASSERT_EQ(image.Width(), expected->Width());
        ASSERT_EQ(image.Height(), expected->Height());
        int mismatches = 0;
        for (uint32_t y = 0; y < image.Height(); ++y) {
            for (uint32_t x = 0; x < image.Width(); ++x) {
                if (PixelAt(image, x, y) != PixelAt(*expected, x, y) && ++mismatches <= 3) {
                    ADD_FAILURE() << "pixel " << x << "," << y;
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
        // The tool's renderer gives the same pixels.
        CRgbImage viaRenderTile(params->m_nWidth, params->m_nHeight);
        RenderTile(*params, viaRenderTile);
        EXPECT_EQ(viaRenderTile.Bytes(), image.Bytes());
        ++checked;
    }
    EXPECT_GE(checked, 30);
}
