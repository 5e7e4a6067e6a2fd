// The continuous renderer against its scalar definition: identical bytes
// for random sets (both styles, every wrap mode, correlated and disabled
// components, integer and real coefficients) on every instruction set and
// thread count, and hand-worked sums that show the single truncation.

#include "model/TileParams.h"
#include "render/continuous/ContinuousRenderer.h"
#include "support/EveryKernel.h"
#include "support/Golden.h"
#include "support/RandomSets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <set>
#include <thread>
#include <vector>

using namespace quorrel::model;
using namespace quorrel::render;
using quorrel::test::ForEachTarget;
using quorrel::test::RandStateGuard;
using namespace quorrel::test::random_sets;

namespace {

struct ContinuousCase {
    std::unique_ptr<CTileParams> params;
    RealCoefficients coefficients;
    bool own; // the coefficients are the set's own (the short overload)
    uint32_t width, height;
    CRgbImage expected;
};

// The set's integer coefficients, some of them scaled by a real factor
// (blended sets), some set to 0, and rarely one far outside the 64-bit
// range or NaN (its component's sum truncates to 0).
RealCoefficients BlendedCoefficients(const CTileParams& p, std::mt19937& rng)
{
    RealCoefficients real = RealCoefficients::FromParams(p);
    std::uniform_real_distribution<double> factor(-1.5, 1.5);
    std::bernoulli_distribution chance(0.5), rare(0.002);
    for (RealCoefficients::Table* table : {&real.cosCos, &real.cosSin, &real.sinCos, &real.sinSin}) {
        for (auto& component : *table) {
            for (auto& column : component) {
                for (double& cell : column) {
                    if (chance(rng))
                        cell *= factor(rng);
                    if (rare(rng))
                        cell = chance(rng) ? 1e300 : std::numeric_limits<double>::quiet_NaN();
                }
            }
        }
    }
    return real;
}

CRgbImage Reference(const CTileParams& p, const RealCoefficients& coefficients, uint32_t width, uint32_t height)
{
    CRgbImage image(width ? width : p.m_nWidth, height ? height : p.m_nHeight);
    RenderTileContinuousReference(p, coefficients, image, width, height);
    return image;
}

CRgbImage Continuous(const ContinuousCase& c, unsigned threads)
{
    CRgbImage image(c.width, c.height);
    RenderSettings settings;
    settings.threads = threads;
    settings.width = c.width;
    settings.height = c.height;
    if (c.own)
        RenderTileContinuous(*c.params, image, settings);
    else
        RenderTileContinuous(*c.params, c.coefficients, image, settings);
    return image;
}

// 80 random sets, half of them with blended real coefficients, a quarter at
// a multiple of their own size; the scalar definition's images made once.
const std::vector<ContinuousCase>& RandomCases()
{
    static const std::vector<ContinuousCase> cases = [] {
        RandStateGuard guard;
        std::mt19937 rng(20261208);
        std::vector<ContinuousCase> made;
        for (int i = 0; i < 80; ++i) {
            ContinuousCase c;
            c.params = RandomParams(rng, 400'000);
            c.own = i % 2 == 0;
            c.coefficients = c.own ? RealCoefficients::FromParams(*c.params) : BlendedCoefficients(*c.params, rng);
            const uint32_t scale = i % 4 == 1 ? 1 + i % 3 : 1;
            c.width = std::min<uint32_t>(c.params->m_nWidth * scale, 400);
            c.height = std::min<uint32_t>(c.params->m_nHeight * scale, 400);
            c.expected = Reference(*c.params, c.coefficients, c.width, c.height);
            made.push_back(std::move(c));
        }
        for (int32_t value : kExtremes) {
            for (int32_t style : {0, 1}) {
                ContinuousCase c;
                c.params = ExtremeParams(value, style);
                c.own = true;
                c.coefficients = RealCoefficients::FromParams(*c.params);
                c.width = c.params->m_nWidth;
                c.height = c.params->m_nHeight;
                c.expected = Reference(*c.params, c.coefficients, c.width, c.height);
                made.push_back(std::move(c));
            }
        }
        return made;
    }();
    return cases;
}

} // namespace

TEST(ContinuousRenderer, RandomSetsMatchTheScalarDefinitionOnEveryTargetAndThreadCount)
{
    int styles[2] = {}, wraps[3] = {}, correlated = 0, disabled = 0;
    for (const ContinuousCase& c : RandomCases()) {
        for (int k = 0; k < kComponents; ++k) {
            ++styles[c.params->m_nTileStyle[k] == 1];
            ++wraps[c.params->m_nWrapMode[k]];
            correlated += c.params->IsCorrelated(k);
            disabled += !c.params->m_bEnabled[k];
        }
    }
    // The sets cover what the renderer distinguishes.
    EXPECT_GT(styles[0], 20);
    EXPECT_GT(styles[1], 20);
    for (int count : wraps)
        EXPECT_GT(count, 20);
    EXPECT_GT(correlated, 5);
    EXPECT_GT(disabled, 20);

    const std::string checked = ForEachTarget([] {
        for (std::size_t i = 0; i < RandomCases().size(); ++i) {
            const ContinuousCase& c = RandomCases()[i];
            for (unsigned threads : {1u, 2u + unsigned(i % 2), 0u}) {
                ASSERT_EQ(FirstDifference(c.expected, Continuous(c, threads)), "")
                    << "set " << i << " at " << c.width << "x" << c.height << " on " << threads
                    << " threads: " << Describe(*c.params);
            }
        }
    });
    RecordProperty("targets", checked);
}

namespace {

// A tile whose pixels show one component's continuous sum directly: only
// Red is enabled, range 0..255 (Cycled), Hue and the fixed levels unused.
std::unique_ptr<CTileParams> RedOnly(uint32_t width, uint32_t height, int32_t style)
{
    auto p = std::make_unique<CTileParams>();
    p->m_nWidth = width;
    p->m_nHeight = height;
    for (int c = 0; c < kComponents; ++c) {
        p->m_bEnabled[c] = c == Red;
        p->m_nHorzHarm[c] = p->m_nVertHarm[c] = 4;
        p->m_nTileStyle[c] = style;
        for (int e = 0; e < kCorrelEntries; ++e)
            p->m_dCorrel[c][e] = 0.0;
    }
    p->m_nWrapMode[Red] = 0;
    p->m_nColorLow[Red] = 0;
    p->m_nColorHigh[Red] = 255;
    return p;
}

struct Cell {
    int table; // 0 CosCos, 1 CosSin, 2 SinCos, 3 SinSin
    int h, k;
    double value;
};

struct WorkedCase {
    const char* name;
    uint32_t width, height;
    int32_t style;
    uint32_t horz, vert;
    std::vector<Cell> cells;
    uint32_t x, y;
    int red; // worked out by hand
};

void PrintTo(const WorkedCase& c, std::ostream* out) { *out << c.name; }

class ContinuousWorked : public testing::TestWithParam<WorkedCase> {};

} // namespace

// cos and sin at an eighth of a turn are 0.7071...: two terms of 1 x 0.7071
// truncate to 0 each in the exact renderer, their sum 1.414 to 1 here.
INSTANTIATE_TEST_SUITE_P(
    Sums, ContinuousWorked,
    testing::Values(
        WorkedCase{"TwoFractionsTruncatedOnce", 8, 1, 0, 2, 1, {{0, 1, 0, 1.0}, {2, 1, 0, 1.0}}, 1, 0, 1},
        WorkedCase{"ConstantPlusCosine", 8, 1, 0, 2, 1, {{0, 0, 0, 128.0}, {0, 1, 0, 100.6}}, 1, 0, 199},
        WorkedCase{"RealCoefficientAtZeroPhase", 8, 1, 0, 2, 1, {{0, 0, 0, 12.25}, {0, 1, 0, 100.6}}, 0, 0, 112},
        WorkedCase{"NegativeSumWrapsCycled", 8, 1, 0, 2, 1, {{0, 1, 0, -10.5}}, 0, 0, 246},
        WorkedCase{"VerticalHarmonic", 1, 8, 0, 1, 2, {{1, 0, 1, 50.0}, {0, 0, 0, 20.0}}, 0, 2, 70},
        WorkedCase{"ProductOfBothDirections", 8, 8, 0, 2, 2, {{3, 1, 1, 200.0}}, 2, 2, 200},
        WorkedCase{"DiamondReadsTheDiagonal", 8, 8, 1, 3, 3, {{0, 1, 1, 90.0}, {0, 1, 0, 77.0}}, 0, 0, 90},
        WorkedCase{"DiamondStopsAtTheSmallerCount", 8, 8, 1, 3, 1, {{0, 0, 0, 30.0}, {0, 1, 1, 90.0}}, 0, 0, 30},
        WorkedCase{"NormalWithoutVerticalHarmonicsIsZero", 8, 8, 0, 3, 0, {{0, 0, 0, 30.0}}, 0, 0, 0},
        WorkedCase{"OutOfRangeSumIsZero", 8, 1, 0, 1, 1, {{0, 0, 0, 1e300}}, 0, 0, 0},
        // 2^62 + 3072 is in the 64-bit range: its low 32 bits 3072 cycle
        // to 12; its negative's 2^32 - 3072 to 244. 2^63 is just outside.
        WorkedCase{"TwoToThe62Plus3072KeepsItsLowBits", 8, 1, 0, 1, 1, {{0, 0, 0, 4611686018427390976.0}}, 0, 0, 12},
        WorkedCase{
            "MinusTwoToThe62Minus3072KeepsItsLowBits", 8, 1, 0, 1, 1, {{0, 0, 0, -4611686018427390976.0}}, 0, 0, 244},
        WorkedCase{"TwoToThe63IsOutOfRange", 8, 1, 0, 1, 1, {{0, 0, 0, 9223372036854775808.0}}, 0, 0, 0}),
    [](const testing::TestParamInfo<WorkedCase>& info) { return std::string(info.param.name); });

TEST_P(ContinuousWorked, RedLevelIsTheSumTruncatedOnce)
{
    const WorkedCase& c = GetParam();
    auto p = RedOnly(c.width, c.height, c.style);
    p->m_nHorzHarm[Red] = c.horz;
    p->m_nVertHarm[Red] = c.vert;
    RealCoefficients real;
    RealCoefficients::Table* tables[] = {&real.cosCos, &real.cosSin, &real.sinCos, &real.sinSin};
    for (const Cell& cell : c.cells)
        (*tables[cell.table])[Red][cell.h][cell.k] = cell.value;

    const CRgbImage reference = Reference(*p, real, 0, 0);
    EXPECT_EQ(reference.Pixel(c.x, c.y)[0], c.red);
    ForEachTarget([&] {
        CRgbImage image(c.width, c.height);
        RenderTileContinuous(*p, real, image, RenderSettings{});
        EXPECT_EQ(image.Pixel(c.x, c.y)[0], c.red);
        EXPECT_EQ(FirstDifference(reference, image), "");
    });
}

// The document's integer tables convert exactly, extremes included, and the
// short overload renders them.
TEST(ContinuousRenderer, DocumentCoefficientsConvertExactly)
{
    auto p = RedOnly(16, 16, 0);
    p->m_nCosCos[Red][0][0] = std::numeric_limits<int32_t>::min();
    p->m_nSinSin[Red][3][2] = std::numeric_limits<int32_t>::max();
    p->m_nCosSin[Red][29][29] = -7;
    const RealCoefficients real = RealCoefficients::FromParams(*p);
    EXPECT_EQ(real.cosCos[Red][0][0], -2147483648.0);
    EXPECT_EQ(real.sinSin[Red][3][2], 2147483647.0);
    EXPECT_EQ(real.cosSin[Red][29][29], -7.0);
    EXPECT_EQ(real.sinCos[Red][3][2], 0.0);

    CRgbImage own(16, 16), given(16, 16);
    RenderTileContinuous(*p, own, RenderSettings{});
    RenderTileContinuous(*p, real, given, RenderSettings{});
    EXPECT_EQ(FirstDifference(Reference(*p, real, 0, 0), own), "");
    EXPECT_EQ(FirstDifference(own, given), "");
}

TEST(ContinuousRenderer, ProgressComesFromTheCallingThreadAndEndsAtZero)
{
    auto p = RedOnly(300, 40, 0);
    p->m_nCosCos[Red][1][1] = 500;
    for (unsigned threads : {1u, 2u, 5u}) {
        SCOPED_TRACE(std::to_string(threads) + " threads");
        std::vector<int> reports;
        std::set<std::thread::id> callers;
        CRgbImage image(300, 40);
        RenderSettings settings;
        settings.threads = threads;
        RenderTileContinuous(*p, image, settings, [&](int percent) {
            reports.push_back(percent);
            callers.insert(std::this_thread::get_id());
        });
        ASSERT_EQ(reports.size(), 101u); // 0..99, then 0
        EXPECT_EQ(reports.front(), 0);
        EXPECT_EQ(reports[99], 99);
        EXPECT_EQ(reports.back(), 0);
        EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end() - 1));
        EXPECT_EQ(callers, std::set<std::thread::id>{std::this_thread::get_id()});
    }
}
