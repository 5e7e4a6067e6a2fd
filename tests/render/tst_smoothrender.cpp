// Smooth rendering: factor 1 is the exact rendering byte for byte, and a
// factor N pixel is the rounded mean of the N x N block of the rendering at
// N times the size, from either renderer, whatever the thread count.

#include "model/TileParams.h"
#include "render/ReferenceRenderer.h"
#include "render/SmoothRender.h"
#include "render/TileRenderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <vector>

using namespace quorrel::model;
using namespace quorrel::render;

namespace {

// A generated set with many harmonics: fine detail that smoothing changes.
std::unique_ptr<CTileParams> Busy(uint32_t seed, uint32_t width, uint32_t height)
{
    auto params = std::make_unique<CTileParams>();
    params->m_nWidth = width;
    params->m_nHeight = height;
    for (int c = 0; c < kComponents; ++c) {
        params->m_nHorzHarm[c] = 12;
        params->m_nVertHarm[c] = 9;
    }
    params->GenerateRandom(seed);
    return params;
}

CRgbImage Exact(const CTileParams& params, uint32_t width, uint32_t height, unsigned threads = 0)
{
    CRgbImage image(width, height);
    RenderSettings settings;
    settings.width = width;
    settings.height = height;
    settings.threads = threads;
    RenderTile(params, image, settings);
    return image;
}

CRgbImage Smooth(const CTileParams& params, uint32_t width, uint32_t height, uint32_t factor, unsigned threads = 0)
{
    CRgbImage image(width, height);
    RenderSettings settings;
    settings.width = width;
    settings.height = height;
    settings.threads = threads;
    RenderTileSmooth(params, image, settings, factor);
    return image;
}

// Each pixel the mean of its factor x factor block of `large`, rounded to
// the nearest level (halves up).
CRgbImage BlockMeans(const CRgbImage& large, uint32_t factor)
{
    CRgbImage means(large.Width() / factor, large.Height() / factor);
    for (uint32_t y = 0; y < means.Height(); ++y) {
        for (uint32_t x = 0; x < means.Width(); ++x) {
            double sum[3] = {};
            for (uint32_t j = 0; j < factor; ++j)
                for (uint32_t i = 0; i < factor; ++i)
                    for (int c = 0; c < 3; ++c)
                        sum[c] += large.Pixel(x * factor + i, y * factor + j)[c];
            const double n = double(factor) * factor;
            means.SetPixel(x, y, uint8_t(std::lround(sum[0] / n)), uint8_t(std::lround(sum[1] / n)),
                           uint8_t(std::lround(sum[2] / n)));
        }
    }
    return means;
}

} // namespace

TEST(SmoothRender, FactorOneIsTheExactRendering)
{
    const auto params = Busy(3, 61, 40);
    EXPECT_EQ(Smooth(*params, 61, 40, 1).Bytes(), Exact(*params, 61, 40).Bytes());
    EXPECT_EQ(Smooth(*params, 200, 9, 1, 3).Bytes(), Exact(*params, 200, 9).Bytes());
}

TEST(SmoothRender, EachPixelIsTheRoundedMeanOfItsBlockAtTheLargerSize)
{
    const auto params = Busy(11, 45, 31);   // odd sides
    for (const uint32_t factor : {2u, 3u, 4u}) {
        for (const unsigned threads : {1u, 3u}) {
            SCOPED_TRACE("factor " + std::to_string(factor) + ", threads " + std::to_string(threads));
            const CRgbImage smooth = Smooth(*params, 45, 31, factor, threads);
            const CRgbImage expected = BlockMeans(Exact(*params, 45 * factor, 31 * factor), factor);
            EXPECT_EQ(smooth.Bytes(), expected.Bytes());
            // Something was smoothed: the fine detail differs from the exact pixels.
            EXPECT_NE(smooth.Bytes(), Exact(*params, 45, 31).Bytes());
        }
    }
    // At a size other than the set's own, and with all eight samples a side.
    const CRgbImage wide = Smooth(*params, 70, 12, 8);
    EXPECT_EQ(wide.Bytes(), BlockMeans(Exact(*params, 560, 96), 8).Bytes());
}

// The scalar renderer hands over pixel by pixel; the averaging is the same.
TEST(SmoothRender, TheReferenceRendererThroughTheSameSurfaceGivesTheSamePixels)
{
    const auto params = Busy(5, 23, 17);
    auto enlarged = std::make_unique<CTileParams>(*params);
    enlarged->m_nWidth = 23 * 3;
    enlarged->m_nHeight = 17 * 3;
    CRgbImage reference(23, 17);
    CSupersampleSurface samples(reference, 3, 17);
    RenderTileReference(*enlarged, samples);
    EXPECT_EQ(reference.Bytes(), Smooth(*params, 23, 17, 3).Bytes());
}

TEST(SmoothRender, ProgressAsTheExactRenderingAndFactorsOutsideOneToEightRefused)
{
    const auto params = Busy(2, 40, 20);
    std::vector<int> seen;
    CRgbImage image(40, 20);
    RenderTileSmooth(*params, image, RenderSettings{}, 4, [&](int percent) { seen.push_back(percent); });
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen.back(), 0);
    EXPECT_EQ(seen[seen.size() - 2], 99);
    for (std::size_t i = 1; i + 1 < seen.size(); ++i)
        EXPECT_LT(seen[i - 1], seen[i]);
    EXPECT_THROW(RenderTileSmooth(*params, image, RenderSettings{}, 0), std::invalid_argument);
    EXPECT_THROW(RenderTileSmooth(*params, image, RenderSettings{}, 9), std::invalid_argument);
}
