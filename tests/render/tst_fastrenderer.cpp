// The fast renderer against the scalar one: identical pixels for random
// valid parameter sets on every thread count, and with every kernel variant
// of every instruction set the kernel was built for, plus its progress
// reports and explicit sizes.

#include "model/TileParams.h"
#include "render/FastKernel.h"
#include "render/Ppm.h"
#include "render/ReferenceRenderer.h"
#include "render/TileRenderer.h"
#include "support/EveryKernel.h"
#include "support/Golden.h"
#include "support/RandomSets.h"

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace quorrel::model;
using namespace quorrel::render;
using quorrel::test::GoldenFiles;
using quorrel::test::LoadGoldenParams;
using quorrel::test::ForEachKernel;
using quorrel::test::RandStateGuard;
using namespace quorrel::test::random_sets;

namespace {

CRgbImage Reference(const CTileParams& p)
{
    CRgbImage image(p.m_nWidth, p.m_nHeight);
    RenderTileReference(p, image);
    return image;
}

CRgbImage Fast(const CTileParams& p, unsigned threads, std::optional<KernelVariant> kernel = std::nullopt)
{
    CRgbImage image(p.m_nWidth, p.m_nHeight);
    RenderSettings settings;
    settings.threads = threads;
    settings.kernel = kernel;
    RenderTile(p, image, settings);
    return image;
}

struct RandomCase {
    std::unique_ptr<CTileParams> params;
    CRgbImage expected;
};

// 120 random sets with the scalar renderer's images, made once.
const std::vector<RandomCase>& RandomCases()
{
    static const std::vector<RandomCase> cases = [] {
        RandStateGuard guard;
        std::mt19937 rng(20261207);
        std::vector<RandomCase> made;
        for (int i = 0; i < 120; ++i) {
            auto p = RandomParams(rng, i % 10 == 0 ? 12'000'000 : 1'500'000);
            CRgbImage expected = Reference(*p);
            made.push_back({std::move(p), std::move(expected)});
        }
        return made;
    }();
    return cases;
}

} // namespace

TEST(FastRenderer, RandomSetsMatchTheReferenceOnOneTwoAndSevenThreads)
{
    for (std::size_t i = 0; i < RandomCases().size(); ++i) {
        const RandomCase& c = RandomCases()[i];
        SCOPED_TRACE("set " + std::to_string(i) + ": " + Describe(*c.params));
        for (unsigned threads : {1u, 2u, 7u, 0u})
            ASSERT_EQ(FirstDifference(c.expected, Fast(*c.params, threads)), "") << threads << " threads";
    }
}

// The same sets with each variant forced on each instruction set, on one,
// two or three threads in turn.
TEST(FastRenderer, RandomSetsMatchTheReferenceWithEveryKernelOnEveryTarget)
{
    const std::string checked = ForEachKernel([](KernelVariant variant) {
        for (std::size_t i = 0; i < RandomCases().size(); ++i) {
            const RandomCase& c = RandomCases()[i];
            const unsigned threads = 1 + i % 3;
            ASSERT_EQ(FirstDifference(c.expected, Fast(*c.params, threads, variant)), "")
                << "set " << i << " on " << threads << " threads: " << Describe(*c.params);
        }
    });
    std::cout << "kernels checked: " << checked << std::endl;
}

TEST(FastRenderer, ExtremeCoefficientsWrapLikeTheReference)
{
    for (int32_t value : kExtremes) {
        for (int32_t style : {0, 1}) {
            const auto p = ExtremeParams(value, style);
            SCOPED_TRACE(std::to_string(value) + " style " + std::to_string(style));
            const CRgbImage expected = Reference(*p);
            EXPECT_EQ(FirstDifference(expected, Fast(*p, 1)), "");
            EXPECT_EQ(FirstDifference(expected, Fast(*p, 2)), "");
        }
    }
}

// Each instruction set the kernel was compiled for and this processor runs
// (scalar emulation, SSSE3, SSE4, AVX2, AVX-512 on x86), forced in turn with
// each of its kernel variants, on sets of extreme coefficients and more
// random sets.
TEST(FastRenderer, EveryKernelTargetMatchesTheReference)
{
    RandStateGuard guard;
    std::mt19937 rng(77);
    std::vector<std::unique_ptr<CTileParams>> sets;
    for (int i = 0; i < 12; ++i)
        sets.push_back(RandomParams(rng, 1'000'000));
    for (int32_t value : kExtremes) {
        sets.push_back(ExtremeParams(value, 0));
        sets.push_back(ExtremeParams(value, 1));
    }
    std::vector<CRgbImage> expected;
    for (const auto& p : sets)
        expected.push_back(Reference(*p));

    for (int64_t target : KernelTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        EXPECT_STREQ(KernelTargetName(), hwy::TargetName(target));
    }
    hwy::SetSupportedTargetsForTest(0);
    const std::string checked = ForEachKernel([&](KernelVariant variant) {
        for (std::size_t i = 0; i < sets.size(); ++i)
            EXPECT_EQ(FirstDifference(expected[i], Fast(*sets[i], i % 2 ? 2 : 1, variant)), "") << Describe(*sets[i]);
    });
    RecordProperty("kernels", checked);
}

TEST(FastRenderer, MatchesEveryGoldenImage)
{
    int checked = 0;
    for (const auto& wpp : GoldenFiles("render", ".wpp")) {
        SCOPED_TRACE(wpp.filename().string());
        auto ppmPath = wpp;
        ppmPath.replace_extension(".ppm");
        const auto expected = DecodePpm(quorrel::test::ReadBytes(ppmPath));
        ASSERT_TRUE(expected);
        const auto params = LoadGoldenParams(wpp);
        EXPECT_EQ(FirstDifference(*expected, Fast(*params, 0)), "");
        EXPECT_EQ(FirstDifference(*expected, Fast(*params, 3)), "");
        ForEachKernel([&](KernelVariant variant) {
            EXPECT_EQ(FirstDifference(*expected, Fast(*params, 1, variant)), "");
        });
        ++checked;
    }
    EXPECT_GE(checked, 30);
}

TEST(FastRenderer, ProgressIsMonotonicFromTheCallingThreadAndEndsAtZero)
{
    auto p = std::make_unique<CTileParams>();
    p->m_nCosCos[Hue][1][1] = 500;
    for (uint32_t width : {1u, 3u, 7u, 100u, 250u}) {
        p->m_nWidth = width;
        p->m_nHeight = 20;
        for (unsigned threads : {1u, 2u, 7u}) {
            SCOPED_TRACE(std::to_string(width) + " columns, " + std::to_string(threads) + " threads");
            std::vector<int> reports;
            std::set<std::thread::id> callers;
            CRgbImage image(width, 20);
            RenderSettings settings;
            settings.threads = threads;
            RenderTile(*p, image, settings, [&](int percent) {
                reports.push_back(percent);
                callers.insert(std::this_thread::get_id());
            });
            ASSERT_GE(reports.size(), 2u);
            EXPECT_EQ(reports.front(), 0);
            EXPECT_EQ(reports.back(), 0);
            EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end() - 1));
            EXPECT_GE(*std::min_element(reports.begin(), reports.end()), 0);
            EXPECT_LE(*std::max_element(reports.begin(), reports.end()), 99);
            // The last column reports what the scalar renderer reports for it.
            const int last = static_cast<int>(double(width - 1) / double(width) * 100.0);
            EXPECT_EQ(reports[reports.size() - 2], last);
            EXPECT_EQ(callers, std::set<std::thread::id>{std::this_thread::get_id()});
        }
    }
}

namespace {

// Counts the writes of every pixel and the threads they come from.
class CRecordingSurface final : public IPixelSurface {
public:
    CRecordingSurface(uint32_t width, uint32_t height) : image(width, height), writes(std::size_t(width) * height) {}
    void SetPixel(uint32_t x, uint32_t y, uint8_t red, uint8_t green, uint8_t blue) override
    {
        ASSERT_LT(x, image.Width());
        ASSERT_LT(y, image.Height());
        ++writes[std::size_t(y) * image.Width() + x];
        threads.insert(std::this_thread::get_id());
        image.SetPixel(x, y, red, green, blue);
    }
    CRgbImage image;
    std::vector<int> writes;
    std::set<std::thread::id> threads;
};

} // namespace

TEST(FastRenderer, ExplicitSizeRendersTheSeriesAtThatSize)
{
    RandStateGuard guard;
    std::mt19937 rng(5);
    const std::pair<uint32_t, uint32_t> sizes[] = {{1, 1}, {1500, 3}, {2, 1100}, {8192, 1}, {37, 61}};
    for (const auto& [width, height] : sizes) {
        auto p = RandomParams(rng, 200'000);
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + " from " + Describe(*p));
        // The scalar renderer at that size: same set, size changed.
        auto resized = std::make_unique<CTileParams>(*p);
        resized->m_nWidth = width;
        resized->m_nHeight = height;
        const CRgbImage expected = Reference(*resized);
        for (unsigned threads : {1u, 2u}) {
            CRecordingSurface surface(width, height);
            RenderSettings settings;
            settings.threads = threads;
            settings.width = width;
            settings.height = height;
            RenderTile(*p, surface, settings);
            EXPECT_EQ(FirstDifference(expected, surface.image), "");
            EXPECT_TRUE(std::all_of(surface.writes.begin(), surface.writes.end(), [](int n) { return n == 1; }));
            EXPECT_EQ(surface.threads, std::set<std::thread::id>{std::this_thread::get_id()});
        }
        // The parameter set itself is untouched.
        EXPECT_TRUE(SameParams(*p, *std::make_unique<CTileParams>(*p)));
    }
}

TEST(FastRenderer, LargeSizeUsesTablesForThatSize)
{
    // 4096 columns: column 1024 sits at a quarter turn, which a table sized
    // for 1024 positions could not give.
    auto p = std::make_unique<CTileParams>();
    p->m_bEnabled[Red] = 1;
    p->m_nWrapMode[Red] = 0;
    p->m_nCosCos[Red][1][0] = 200;
    p->m_nSinCos[Red][1][0] = 100;
    RenderSettings settings;
    settings.width = 4096;
    settings.height = 2;
    CRgbImage image(4096, 2);
    RenderTile(*p, image, settings);
    auto resized = std::make_unique<CTileParams>(*p);
    resized->m_nWidth = 4096;
    resized->m_nHeight = 2;
    EXPECT_EQ(FirstDifference(Reference(*resized), image), "");
}

namespace {

class CThrowingSurface final : public IPixelSurface {
public:
    void SetPixel(uint32_t x, uint32_t, uint8_t, uint8_t, uint8_t) override
    {
        if (x == 40)
            throw std::runtime_error("surface full");
    }
};

std::unique_ptr<CTileParams> BusyParams()
{
    auto p = std::make_unique<CTileParams>();
    p->m_nWidth = 120;
    p->m_nHeight = 50;
    p->m_nHorzHarm[Hue] = p->m_nVertHarm[Hue] = 12;
    for (int h = 0; h < 12; ++h)
        for (int k = 0; k < 12; ++k)
            p->m_nCosSin[Hue][h][k] = (h * 31 + k * 17) % 201 - 100;
    return p;
}

} // namespace

// A rendering started from inside a progress report (a view repainting
// while the status bar updates) or from another thread finds the pool busy
// and runs on its own thread instead of waiting for it.
TEST(FastRenderer, NestedAndConcurrentRenderingsNeitherWaitNorDiffer)
{
    const auto p = BusyParams();
    const CRgbImage expected = Reference(*p);
    RenderSettings three;
    three.threads = 3;
    int nested = 0;
    CRgbImage outer(p->m_nWidth, p->m_nHeight);
    RenderTile(*p, outer, three, [&](int percent) {
        if (percent == 50 && nested++ == 0) {
            EXPECT_EQ(FirstDifference(expected, Fast(*p, 2)), "");
        }
    });
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(FirstDifference(expected, outer), "");

    std::vector<CRgbImage> images(4, CRgbImage(p->m_nWidth, p->m_nHeight));
    std::vector<std::thread> threads;
    for (auto& image : images)
        threads.emplace_back([&] {
            for (int i = 0; i < 5; ++i)
                RenderTile(*p, image, three);
        });
    for (auto& thread : threads)
        thread.join();
    for (const auto& image : images)
        EXPECT_EQ(FirstDifference(expected, image), "");
}

// A surface that fails part way: the error reaches the caller, the pool's
// threads are released, and the next rendering works.
TEST(FastRenderer, SurfaceErrorReachesTheCallerAndReleasesThePool)
{
    const auto p = BusyParams();
    for (unsigned threads : {1u, 2u, 7u}) {
        CThrowingSurface surface;
        RenderSettings settings;
        settings.threads = threads;
        EXPECT_THROW(RenderTile(*p, surface, settings), std::runtime_error) << threads;
        EXPECT_EQ(FirstDifference(Reference(*p), Fast(*p, threads)), "") << threads;
    }
}
