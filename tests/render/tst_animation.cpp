// Living wallpapers: the loop closes exactly (frame F is frame 0), frames at
// keyframe times are the keyframes' own continuous renders, the motion has
// no jump in speed at the keyframes or where the loop closes, every frame
// keeps the relations between cells that make the keyframes symmetric, and
// every frame tiles without a seam.

#include "model/TileParams.h"
#include "render/animation/AnimationLoop.h"
#include "render/animation/Keyframes.h"
#include "render/animation/LoopBlend.h"
#include "render/animation/LoopTiming.h"
#include "render/continuous/ContinuousRenderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <numeric>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

using namespace quorrel::model;
using namespace quorrel::render;
using namespace quorrel::render::animation;

namespace {

// Settings with every colour component drawn and a given tile style.
std::unique_ptr<CTileParams> Settings(uint32_t width, uint32_t height, uint32_t harmonics, int32_t style, bool rgb)
{
    auto params = std::make_unique<CTileParams>();
    params->m_nWidth = width;
    params->m_nHeight = height;
    for (int c = 0; c < kComponents; ++c) {
        params->m_nHorzHarm[c] = harmonics;
        params->m_nVertHarm[c] = harmonics;
        params->m_nTileStyle[c] = style;
        if (c < 3)
            params->m_bEnabled[c] = rgb;
    }
    return params;
}

CRgbImage RenderWith(const CTileParams& params, const RealCoefficients& tables)
{
    CRgbImage image(params.m_nWidth, params.m_nHeight);
    RenderTileContinuous(params, tables, image, RenderSettings{});
    return image;
}

CRgbImage Frame(const CAnimationLoop& loop, uint64_t f)
{
    CRgbImage image(loop.Settings().m_nWidth, loop.Settings().m_nHeight);
    loop.RenderFrame(f, image, RenderSettings{});
    return image;
}

// Calls `cell` with every active cell's value of each of the four tables.
void ForEachActiveCell(const CTileParams& settings, const RealCoefficients& tables,
                       const std::function<void(int table, int c, int h, int k, double value)>& cell)
{
    const RealCoefficients::Table* all[4] = {&tables.cosCos, &tables.cosSin, &tables.sinCos, &tables.sinSin};
    for (int t = 0; t < 4; ++t)
        for (int c = 0; c < kComponents; ++c)
            for (uint32_t h = 0; h < settings.m_nHorzHarm[c]; ++h)
                for (uint32_t k = 0; k < settings.m_nVertHarm[c]; ++k)
                    cell(t, c, int(h), int(k), (*all[t])[c][h][k]);
}

double Cell(const RealCoefficients& tables, int t, int c, int h, int k)
{
    const RealCoefficients::Table* all[4] = {&tables.cosCos, &tables.cosSin, &tables.sinCos, &tables.sinSin};
    return (*all[t])[c][h][k];
}

} // namespace

// ---------------------------------------------------------------- timing

struct TimingCase {
    double seconds;
    uint32_t fps;
    uint32_t frames;          // 0: refused
    uint32_t firstDurationCs; // of frame 0
};

class LoopTimingTest : public ::testing::TestWithParam<TimingCase> {};

TEST_P(LoopTimingTest, FramesAndDurationsAddUpToTheLoop)
{
    const TimingCase& tc = GetParam();
    std::string error;
    const auto timing = CLoopTiming::FromSeconds(tc.seconds, tc.fps, error);
    if (tc.frames == 0) {
        EXPECT_FALSE(timing);
        EXPECT_FALSE(error.empty());
        return;
    }
    ASSERT_TRUE(timing) << error;
    EXPECT_EQ(timing->Frames(), tc.frames);
    EXPECT_EQ(timing->DurationIn(0, 100), tc.firstDurationCs);
    uint64_t ms = 0, cs = 0;
    for (uint32_t f = 0; f < timing->Frames(); ++f) {
        const uint32_t durationMs = timing->DurationIn(f, 1000);
        // Whole units never drift more than one unit from the exact time.
        EXPECT_LE(std::abs(double(durationMs) - 1000.0 / tc.fps), 1.0) << "frame " << f;
        ms += durationMs;
        cs += timing->DurationIn(f, 100);
    }
    EXPECT_EQ(ms, timing->LengthMs());
    EXPECT_EQ(ms, uint64_t(std::llround(1000.0 * tc.frames / tc.fps)));
    EXPECT_EQ(cs, uint64_t(std::llround(100.0 * tc.frames / tc.fps)));
}

INSTANTIATE_TEST_SUITE_P(Loops, LoopTimingTest,
                         ::testing::Values(TimingCase{8.0, 30, 240, 3}, TimingCase{2.0, 10, 20, 10},
                                           TimingCase{1.0, 24, 24, 4}, TimingCase{0.5, 60, 30, 2},
                                           TimingCase{3.3, 7, 23, 14}, TimingCase{0.1, 20, 2, 5},
                                           TimingCase{0.05, 30, 0, 0}, TimingCase{10.0, 0, 0, 0},
                                           TimingCase{10.0, 121, 0, 0}, TimingCase{0.1, 1, 0, 0},
                                           TimingCase{4000.0, 30, 0, 0}, TimingCase{std::nan(""), 30, 0, 0}));

TEST(LoopTiming, RefusalsNameTheRanges)
{
    std::string error;
    EXPECT_FALSE(CLoopTiming::FromSeconds(4000.0, 30, error));
    EXPECT_EQ(error, "the loop lasts from 0.1 to 3600 seconds");
    EXPECT_FALSE(CLoopTiming::FromSeconds(10.0, 121, error));
    EXPECT_EQ(error, "the frame rate is from 1 to 120 frames a second");
    EXPECT_FALSE(CLoopTiming::FromSeconds(0.1, 1, error));
    EXPECT_EQ(error, "a loop has from 2 to 100000 frames, not 0");
}

// ---------------------------------------------------------------- weights

TEST(CatmullRomWeights, PassThroughTheKeyframeAndAddUpToOne)
{
    const std::array<double, 4> at0 = CatmullRomWeights(0.0);
    EXPECT_EQ(at0, (std::array<double, 4>{0.0, 1.0, 0.0, 0.0}));
    const std::array<double, 4> at1 = CatmullRomWeights(1.0);
    EXPECT_EQ(at1, (std::array<double, 4>{0.0, 0.0, 1.0, 0.0}));
    for (double u = 0.0; u <= 1.0; u += 1.0 / 64) {
        const std::array<double, 4> w = CatmullRomWeights(u);
        EXPECT_NEAR(w[0] + w[1] + w[2] + w[3], 1.0, 1e-12) << u;
        // Symmetric in time: the curve from j to j+1 run backwards.
        const std::array<double, 4> back = CatmullRomWeights(1.0 - u);
        EXPECT_NEAR(w[0], back[3], 1e-12) << u;
        EXPECT_NEAR(w[1], back[2], 1e-12) << u;
    }
}

// ---------------------------------------------------------------- keyframes

struct MismatchCase {
    const char* name;
    std::function<void(CTileParams&)> change;
    const char* expected; // in the message; nullptr: no mismatch
};

class KeyframeMismatchTest : public ::testing::TestWithParam<MismatchCase> {};

TEST_P(KeyframeMismatchTest, NamesWhatDiffers)
{
    const MismatchCase& tc = GetParam();
    auto first = Settings(40, 30, 5, 0, true);
    first->GenerateRandom(1);
    auto other = std::make_unique<CTileParams>(*first);
    other->GenerateRandom(2); // other coefficients never matter
    tc.change(*other);
    const std::string message = KeyframeMismatch(*first, "a.wpp", *other, "b.wpp");
    if (!tc.expected) {
        EXPECT_EQ(message, "");
        return;
    }
    EXPECT_EQ(message.rfind("b.wpp differs from a.wpp: ", 0), 0u) << message;
    EXPECT_NE(message.find(tc.expected), std::string::npos) << message;
}

INSTANTIATE_TEST_SUITE_P(
    Settings, KeyframeMismatchTest,
    ::testing::Values(
        MismatchCase{"Same", [](CTileParams&) {}, nullptr},
        MismatchCase{"Symmetries", [](CTileParams& p) { p.m_nSymmetry[Hue][0] = -1; }, nullptr},
        MismatchCase{"Amplitudes", [](CTileParams& p) { p.m_nAmplMax[Red] = 7; }, nullptr},
        MismatchCase{"Size", [](CTileParams& p) { p.m_nWidth = 41; }, "size 41 x 30, not 40 x 30"},
        MismatchCase{"Harmonics", [](CTileParams& p) { p.m_nVertHarm[Hue] = 6; }, "Hue vertical harmonics 6, not 5"},
        MismatchCase{"Style", [](CTileParams& p) { p.m_nTileStyle[Blue] = 1; }, "Blue tile style Diamond, not Normal"},
        MismatchCase{"Wrap", [](CTileParams& p) { p.m_nWrapMode[Green] = 2; }, "Green wrap mode Scaled, not Reflected"},
        MismatchCase{"ColourRange", [](CTileParams& p) { p.m_nColorHigh[Saturation] = 200; },
                     "Saturation colour range 69 to 200, not 69 to 225"},
        MismatchCase{"Enabled", [](CTileParams& p) { p.m_bEnabled[Luminosity] = 0; },
                     "Luminosity disabled, not enabled"},
        MismatchCase{"Several",
                     [](CTileParams& p) {
                         p.m_nHeight = 31;
                         p.m_nHorzHarm[Red] = 2;
                     },
                     "size 40 x 31, not 40 x 30; Red horizontal harmonics 2, not 5"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GenerateKeyframes, EachIsTheGenerationOfItsSeedAndTheFirstMayBeTheDocument)
{
    auto document = Settings(32, 32, 6, 0, false);
    document->GenerateRandom(99);
    for (const bool keepFirst : {false, true}) {
        const std::vector<CTileParams> keyframes = GenerateKeyframes(*document, 4, 0xFFFFFFFEu, keepFirst);
        ASSERT_EQ(keyframes.size(), 4u);
        for (uint32_t k = 0; k < 4; ++k) {
            auto expected = std::make_unique<CTileParams>(*document);
            if (!(keepFirst && k == 0))
                expected->GenerateRandom(0xFFFFFFFEu + k); // wraps past the last seed
            EXPECT_TRUE(SameParams(keyframes[k], *expected)) << "keyframe " << k << " keepFirst " << keepFirst;
            EXPECT_EQ(KeyframeMismatch(keyframes[0], "0", keyframes[k], "k"), "");
        }
        EXPECT_FALSE(SameParams(keyframes[1], keyframes[2]));
    }
}

TEST(AnimationLoop, RefusesKeyframesThatDoNotFitTogetherNamingTheDifference)
{
    auto a = Settings(32, 32, 4, 0, false);
    auto b = std::make_unique<CTileParams>(*a);
    b->m_nHorzHarm[Hue] = 3;
    try {
        CAnimationLoop loop({*a, *a, *b}, CLoopTiming(10, 10));
        FAIL() << "accepted";
    } catch (const std::invalid_argument& e) {
        EXPECT_EQ(std::string(e.what()), "keyframe 3 differs from keyframe 1: Hue horizontal harmonics 3, not 4");
    }
    EXPECT_THROW(CAnimationLoop({*a}, CLoopTiming(10, 10)), std::invalid_argument);
}

// ---------------------------------------------------------------- the loop

struct LoopCase {
    const char* name;
    uint32_t width, height, harmonics;
    int32_t style;
    bool rgb;
    uint32_t keyframes;
    uint32_t frames; // a multiple of keyframes, so each keyframe has a frame
};

void PrintTo(const LoopCase& c, std::ostream* out)
{
    *out << c.name << " (" << c.width << "x" << c.height << ", " << c.keyframes << " keyframes, " << c.frames
         << " frames)";
}

class AnimationLoopTest : public ::testing::TestWithParam<LoopCase> {
protected:
    void SetUp() override
    {
        const LoopCase& tc = GetParam();
        m_settings = Settings(tc.width, tc.height, tc.harmonics, tc.style, tc.rgb);
        m_keyframes = GenerateKeyframes(*m_settings, tc.keyframes, 500, false);
        m_loop = std::make_unique<CAnimationLoop>(m_keyframes, CLoopTiming(tc.frames, 30));
    }

    std::unique_ptr<CTileParams> m_settings;
    std::vector<CTileParams> m_keyframes;
    std::unique_ptr<CAnimationLoop> m_loop;
};

TEST_P(AnimationLoopTest, TheFrameAfterTheLastIsTheFirstByteForByte)
{
    const uint32_t frames = GetParam().frames;
    const CRgbImage first = Frame(*m_loop, 0);
    const CRgbImage after = Frame(*m_loop, frames);
    EXPECT_EQ(after.Bytes(), first.Bytes());
    EXPECT_EQ(Frame(*m_loop, 2 * frames + 1).Bytes(), Frame(*m_loop, 1).Bytes());
    // ... and the last frame is not a copy of the first: the loop moves on.
    EXPECT_NE(Frame(*m_loop, frames - 1).Bytes(), first.Bytes());
}

TEST_P(AnimationLoopTest, KeyframeFramesAreTheContinuousRendersOfTheKeyframes)
{
    const LoopCase& tc = GetParam();
    const uint32_t step = tc.frames / tc.keyframes;
    for (uint32_t j = 0; j < tc.keyframes; ++j) {
        auto own = std::make_unique<RealCoefficients>(RealCoefficients::FromParams(m_keyframes[j]));
        CRgbImage expected(tc.width, tc.height);
        RenderTileContinuous(m_keyframes[j], expected, RenderSettings{});
        EXPECT_EQ(Frame(*m_loop, j * step).Bytes(), expected.Bytes()) << "keyframe " << j;
        EXPECT_EQ(RenderWith(m_keyframes[j], *own).Bytes(), expected.Bytes());
        // Between two keyframes the frame is neither of them.
        EXPECT_NE(Frame(*m_loop, j * step + step / 2).Bytes(), expected.Bytes()) << "after keyframe " << j;
    }
}

TEST_P(AnimationLoopTest, SpeedHasNoJumpAtKeyframesOrWhereTheLoopCloses)
{
    const uint32_t frames = GetParam().frames * 8; // fine steps: speed changes little a frame
    const CAnimationLoop fine(m_keyframes, CLoopTiming(frames, 30));
    std::vector<std::unique_ptr<RealCoefficients>> at;
    for (uint32_t f = 0; f <= frames + 1; ++f) {
        at.push_back(std::make_unique<RealCoefficients>());
        fine.Coefficients(f, *at.back());
    }
    // For each cell: the largest step a frame, and the largest change of
    // the step from one frame to the next, over the whole loop.
    double worstRatio = 0;
    ForEachActiveCell(*m_settings, *at[0], [&](int t, int c, int h, int k, double) {
        double largestStep = 0, largestChange = 0;
        for (uint32_t f = 0; f < frames; ++f) {
            const double before = Cell(*at[f + 1], t, c, h, k) - Cell(*at[f], t, c, h, k);
            const double after = Cell(*at[f + 2], t, c, h, k) - Cell(*at[f + 1], t, c, h, k);
            largestStep = std::max(largestStep, std::abs(before));
            largestChange = std::max(largestChange, std::abs(after - before));
        }
        if (largestStep > 0)
            worstRatio = std::max(worstRatio, largestChange / largestStep);
    });
    // A smooth curve changes its speed by a small part a frame (about 6 / frames
    // a keyframe); a cross-fade in straight lines would turn at once (ratio 1 to 2).
    const double framesPerKeyframe = double(frames) / GetParam().keyframes;
    EXPECT_LT(worstRatio, 12.0 / framesPerKeyframe);
    EXPECT_GT(worstRatio, 0.0);
}

TEST_P(AnimationLoopTest, EveryFrameKeepsTheRelationsBetweenCellsThatHoldInAllKeyframes)
{
    const LoopCase& tc = GetParam();
    std::vector<RealCoefficients> tables;
    for (const CTileParams& keyframe : m_keyframes)
        tables.push_back(RealCoefficients::FromParams(keyframe));
    // Relations of a cell to its mirror cell (h, k) -> (k, h) of the same or
    // the crossed table (cos/sin <-> sin/cos), and to 0.
    struct Relation {
        int t, c, h, k, t2;
        double sign; // 0: the cell is 0
    };
    const int crossed[4] = {0, 2, 1, 3};
    std::vector<Relation> relations;
    ForEachActiveCell(*m_settings, tables[0], [&](int t, int c, int h, int k, double) {
        auto all = [&](const std::function<bool(const RealCoefficients&)>& holds) {
            for (const RealCoefficients& keyframe : tables)
                if (!holds(keyframe))
                    return false;
            return true;
        };
        if (all([&](const RealCoefficients& r) { return Cell(r, t, c, h, k) == 0; }))
            relations.push_back({t, c, h, k, t, 0});
        if (uint32_t(k) >= m_settings->m_nHorzHarm[c] || uint32_t(h) >= m_settings->m_nVertHarm[c])
            return;
        for (const int t2 : {t, crossed[t]})
            for (const double sign : {1.0, -1.0})
                if (!(t2 == t && h == k && sign > 0) &&
                    all([&](const RealCoefficients& r) { return Cell(r, t, c, h, k) == sign * Cell(r, t2, c, k, h); }))
                    relations.push_back({t, c, h, k, t2, sign});
    });
    // Default symmetries: Red, Green, Blue, Saturation, Luminosity mirror
    // their cos/cos table and zero the rest; Hue's sin/sin table is
    // antisymmetric. There must be plenty to check.
    EXPECT_GT(relations.size(), std::size_t(tc.harmonics * tc.harmonics * 4));
    auto frame = std::make_unique<RealCoefficients>();
    for (uint32_t f = 1; f < tc.frames; f += 3) {
        m_loop->Coefficients(f, *frame);
        for (const Relation& r : relations) {
            const double value = Cell(*frame, r.t, r.c, r.h, r.k);
            const double expected = r.sign == 0 ? 0.0 : r.sign * Cell(*frame, r.t2, r.c, r.k, r.h);
            ASSERT_EQ(value, expected) << "frame " << f << " table " << r.t << " component " << r.c << " cell " << r.h
                                       << "," << r.k;
        }
    }
}

TEST_P(AnimationLoopTest, EveryFrameTilesWithoutASeam)
{
    const LoopCase& tc = GetParam();
    // The step across the tile's border (last column to first, last row to
    // first) is no larger than the steps inside the tile.
    auto difference = [](const CRgbImage& image, uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1) {
        const uint8_t* a = image.Pixel(x0, y0);
        const uint8_t* b = image.Pixel(x1, y1);
        return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
    };
    for (uint32_t f = 0; f < tc.frames; f += std::max(1u, tc.frames / 7)) {
        const CRgbImage image = Frame(*m_loop, f);
        std::vector<double> columns(tc.width, 0.0), rows(tc.height, 0.0); // step into column x / row y
        for (uint32_t y = 0; y < tc.height; ++y)
            for (uint32_t x = 0; x < tc.width; ++x) {
                columns[x] += difference(image, (x + tc.width - 1) % tc.width, y, x, y);
                rows[y] += difference(image, x, (y + tc.height - 1) % tc.height, x, y);
            }
        // The border step is one of the tile's steps, no larger than the
        // largest inside it: a seam would stand out above all of them.
        auto judge = [&](const std::vector<double>& steps, const char* what) {
            const double largest = *std::max_element(steps.begin() + 1, steps.end());
            EXPECT_LE(steps[0], largest) << what << " frame " << f;
        };
        judge(columns, "columns");
        judge(rows, "rows");
    }
}

INSTANTIATE_TEST_SUITE_P(Loops, AnimationLoopTest,
                         ::testing::Values(LoopCase{"Morph", 48, 40, 6, 0, false, 2, 20},
                                           LoopCase{"ThreeKeys", 40, 40, 8, 0, true, 3, 30},
                                           LoopCase{"DiamondFive", 36, 44, 5, 1, true, 5, 25},
                                           LoopCase{"ManyHarmonics", 64, 64, 30, 0, true, 4, 16}),
                         [](const auto& info) { return std::string(info.param.name); });
