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

namespace {

constexpr int32_t kExtremes[] = {std::numeric_limits<int32_t>::min(), -std::numeric_limits<int32_t>::max(),
                                 std::numeric_limits<int32_t>::max()};

CoeffTable* Tables(CTileParams& p, int t)
{
    CoeffTable* tables[] = {&p.m_nCosCos, &p.m_nCosSin, &p.m_nSinCos, &p.m_nSinSin};
    return tables[t];
}

uint64_t TermsPerPixel(const CTileParams& p)
{
    uint64_t terms = 0;
    for (int c = 0; c < kComponents; ++c)
        terms += 4ull * (p.m_nTileStyle[c] == 1 ? p.m_nHorzHarm[c] : p.m_nHorzHarm[c] * p.m_nVertHarm[c]);
    return terms;
}

// A random valid set: settings drawn at random (symmetries, correlations,
// amplitudes, ranges in both orders, wrap modes, tile styles), coefficients
// from the generator, then some cells or whole tables pushed to the 32-bit
// extremes. The size is kept small enough for the scalar renderer.
std::unique_ptr<CTileParams> RandomParams(std::mt19937& rng, uint64_t budget)
{
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto chance = [&](double p) { return std::bernoulli_distribution(p)(rng); };
    auto p = std::make_unique<CTileParams>();
    for (int c = 0; c < kComponents; ++c) {
        p->m_bEnabled[c] = chance(0.6);
        p->m_nHorzHarm[c] = chance(0.2) ? pick(0, 30) : pick(0, 6);
        p->m_nVertHarm[c] = chance(0.2) ? pick(0, 30) : pick(0, 6);
        p->m_nTileStyle[c] = chance(0.3);
        p->m_nWrapMode[c] = pick(0, 2);
        p->m_nColorLow[c] = pick(0, 255);
        p->m_nColorHigh[c] = chance(0.1) ? p->m_nColorLow[c] : pick(0, 255);
        if (chance(0.05)) {
            p->m_nColorLow[c] = 255;
            p->m_nColorHigh[c] = 0;
        }
        for (int s = 0; s < kSymmetries; ++s)
            p->m_nSymmetry[c][s] = pick(-1, 1);
        for (int e = 0; e < kCorrelEntries; ++e)
            p->m_dCorrel[c][e] = chance(0.15) ? std::uniform_real_distribution<double>(-2.0, 2.0)(rng) : 0.0;
        const uint32_t scale = chance(0.2) ? 2'000'000'000u : (chance(0.5) ? 60'000u : 100u);
        p->m_nAmplMin[c] = std::uniform_int_distribution<uint32_t>(0, scale / 2)(rng);
        p->m_nAmplMax[c] = std::uniform_int_distribution<uint32_t>(p->m_nAmplMin[c], scale)(rng);
    }
    p->SquareHarmonics();
    p->GenerateRandom(std::uniform_int_distribution<uint32_t>()(rng));

    for (int c = 0; c < kComponents; ++c) {
        const uint32_t H = p->m_nHorzHarm[c], V = p->m_nVertHarm[c];
        if (H == 0 || V == 0)
            continue;
        if (chance(0.1)) {   // a whole component at the extremes
            const int32_t value = kExtremes[pick(0, 2)];
            for (int t = 0; t < 4; ++t)
                for (uint32_t h = 0; h < H; ++h)
                    for (uint32_t k = 0; k < V; ++k)
                        (*Tables(*p, t))[c][h][k] = chance(0.8) ? value : kExtremes[pick(0, 2)];
        } else if (chance(0.3)) {
            for (int i = pick(1, 8); i > 0; --i)
                (*Tables(*p, pick(0, 3)))[c][pick(0, H - 1)][pick(0, V - 1)] = kExtremes[pick(0, 2)];
        }
    }

    const uint64_t pixels = std::max<uint64_t>(1, budget / std::max<uint64_t>(1, TermsPerPixel(*p)));
    const uint32_t side = static_cast<uint32_t>(std::clamp<uint64_t>(std::sqrt(double(pixels)), 1, 160));
    p->m_nWidth = std::max<uint32_t>(1, std::min<uint32_t>(pick(1, 2 * side), 1024));
    p->m_nHeight = std::max<uint32_t>(1, std::min<uint64_t>(pixels / p->m_nWidth + pick(0, 3), 1024));
    EXPECT_TRUE(p->IsValid());
    return p;
}

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

std::string FirstDifference(const CRgbImage& expected, const CRgbImage& actual)
{
    if (expected.Width() != actual.Width() || expected.Height() != actual.Height())
        return "size differs";
    for (uint32_t y = 0; y < expected.Height(); ++y) {
        for (uint32_t x = 0; x < expected.Width(); ++x) {
            const uint8_t* e = expected.Pixel(x, y);
            const uint8_t* a = actual.Pixel(x, y);
            if (!std::equal(e, e + 3, a)) {
                std::ostringstream out;
                out << "pixel " << x << "," << y << ": expected " << int(e[0]) << " " << int(e[1]) << " "
                    << int(e[2]) << ", got " << int(a[0]) << " " << int(a[1]) << " " << int(a[2]);
                return out.str();
            }
        }
    }
    return {};
}

std::string Describe(const CTileParams& p)
{
    std::ostringstream out;
    out << p.m_nWidth << "x" << p.m_nHeight;
    for (int c = 0; c < kComponents; ++c)
        out << " [" << p.m_bEnabled[c] << " " << p.m_nHorzHarm[c] << "x" << p.m_nVertHarm[c] << " s"
            << p.m_nTileStyle[c] << " w" << p.m_nWrapMode[c] << " " << p.m_nColorLow[c] << ".." << p.m_nColorHigh[c]
            << (p.IsCorrelated(c) ? " corr" : "") << "]";
    return out.str();
}

// Every term at +-2^31 or 2^31 - 1 in all six 30 x 30 components: sums far
// beyond 32 bits that must wrap exactly, and the +2^31 term of -2^31 * -1.
std::unique_ptr<CTileParams> ExtremeParams(int32_t value, int32_t style)
{
    auto p = std::make_unique<CTileParams>();
    p->m_nWidth = 8;
    p->m_nHeight = 40;   // whole row blocks of every vector width and a tail
    for (int c = 0; c < kComponents; ++c) {
        p->m_bEnabled[c] = c != Blue;
        p->m_nHorzHarm[c] = p->m_nVertHarm[c] = kMaxHarmonics;
        p->m_nTileStyle[c] = style;
        p->m_nWrapMode[c] = c % 3;
        for (int t = 0; t < 4; ++t)
            for (int h = 0; h < kMaxHarmonics; ++h)
                for (int k = 0; k < kMaxHarmonics; ++k)
                    (*Tables(*p, t))[c][h][k] = (h + k) % 3 == 0 ? value : ~value;   // ~v = -v - 1
    }
    return p;
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
