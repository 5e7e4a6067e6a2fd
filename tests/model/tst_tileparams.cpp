#include "model/TileParams.h"

#include <gtest/gtest.h>

#include <memory>

using namespace quorrel::model;

namespace {

std::unique_ptr<CTileParams> MakeDefaults() { return std::make_unique<CTileParams>(); }

} // namespace

TEST(TileParamsDefaults, MatchTheBuiltInTable)
{
    const auto p = MakeDefaults();
    EXPECT_EQ(p->m_nWidth, 125u);
    EXPECT_EQ(p->m_nHeight, 125u);
    for (int c = 0; c < kComponents; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(p->m_nHorzHarm[c], 3u);
        EXPECT_EQ(p->m_nVertHarm[c], 3u);
        EXPECT_EQ(p->m_bEnabled[c], c >= Hue ? 1 : 0);
        EXPECT_EQ(p->m_nWrapMode[c], 1);
        EXPECT_EQ(p->m_nTileStyle[c], 0);
        EXPECT_EQ(p->m_nAmplMin[c], 0u);
        EXPECT_EQ(p->m_nAmplMax[c], 60u);
        for (int e = 0; e < kCorrelEntries; ++e)
            EXPECT_EQ(p->m_dCorrel[c][e], 0.0);
        for (int h = 0; h < kMaxHarmonics; ++h)
            for (int k = 0; k < kMaxHarmonics; ++k)
                ASSERT_EQ(p->m_nCosCos[c][h][k] | p->m_nCosSin[c][h][k] | p->m_nSinCos[c][h][k] | p->m_nSinSin[c][h][k], 0);
    }
    EXPECT_EQ(p->m_nColorLow[Saturation], 69u);
    EXPECT_EQ(p->m_nColorHigh[Saturation], 225u);
    EXPECT_EQ(p->m_nColorLow[Luminosity], 70u);
    EXPECT_EQ(p->m_nColorHigh[Luminosity], 182u);
    EXPECT_EQ(p->m_nColorLow[Red], 0u);
    EXPECT_EQ(p->m_nColorHigh[Hue], 255u);
    const int32_t hueRow[] = {0, 0, 0, 0, 1, 1};
    for (int s = 0; s < kSymmetries; ++s) {
        EXPECT_EQ(p->m_nSymmetry[Hue][s], hueRow[s]);
        EXPECT_EQ(p->m_nSymmetry[Red][s], 1);
    }
    EXPECT_TRUE(p->IsValid());
}

TEST(TileParamsCopy, CopiesOnlyTheSourcesActivePart)
{
    auto big = MakeDefaults();
    for (int h = 0; h < 5; ++h)
        for (int k = 0; k < 5; ++k)
            big->m_nCosCos[Red][h][k] = 100 + 10 * h + k;
    big->m_nHorzHarm[Red] = big->m_nVertHarm[Red] = 5;

    auto small = MakeDefaults();  // 3 x 3 harmonics
    for (int h = 0; h < 3; ++h)
        for (int k = 0; k < 3; ++k)
            small->m_nCosCos[Red][h][k] = -1;

    *big = *small;
    EXPECT_EQ(big->m_nHorzHarm[Red], 3u);
    EXPECT_EQ(big->m_nCosCos[Red][2][2], -1);
    EXPECT_EQ(big->m_nCosCos[Red][3][1], 131);   // outside the source's active part: kept
    EXPECT_EQ(big->m_nCosCos[Red][1][4], 114);

    // Raising the counts again brings the old cells back into use.
    big->m_nHorzHarm[Red] = big->m_nVertHarm[Red] = 5;
    EXPECT_EQ(big->m_nCosCos[Red][4][4], 144);

    // A copy-constructed set starts from zero outside the active part.
    small->m_nCosCos[Red][4][4] = 77;
    const auto copy = std::make_unique<CTileParams>(*small);
    EXPECT_EQ(copy->m_nCosCos[Red][4][4], 0);
    EXPECT_EQ(copy->m_nCosCos[Red][0][0], -1);
    EXPECT_TRUE(SameParams(*copy, *small));
}

TEST(TileParamsSquareHarmonics, OnlyEnabledComponentsWithDiagonalOrTurnSymmetry)
{
    auto p = MakeDefaults();
    for (int c = 0; c < kComponents; ++c) {
        p->m_nHorzHarm[c] = 7;
        p->m_nVertHarm[c] = 2;
        p->m_bEnabled[c] = 1;
    }
    const int32_t mirrorsOnly[] = {1, 1, 0, 0, 0, 0};
    const int32_t turns[] = {0, 0, 0, 0, 1, 1};
    const int32_t halfTurnOnly[] = {0, 0, 0, 0, -1, 0};
    std::copy(std::begin(mirrorsOnly), std::end(mirrorsOnly), p->m_nSymmetry[Red]);
    std::copy(std::begin(turns), std::end(turns), p->m_nSymmetry[Green]);
    std::copy(std::begin(halfTurnOnly), std::end(halfTurnOnly), p->m_nSymmetry[Blue]);
    p->m_bEnabled[Hue] = 0;  // default row has the quarter turn, but disabled
    p->SquareHarmonics();
    EXPECT_EQ(p->m_nVertHarm[Red], 2u);
    EXPECT_EQ(p->m_nVertHarm[Green], 7u);
    EXPECT_EQ(p->m_nVertHarm[Blue], 2u);
    EXPECT_EQ(p->m_nVertHarm[Hue], 2u);
    EXPECT_EQ(p->m_nVertHarm[Saturation], 7u);  // all +1
}

TEST(TileParamsValidity, EachBrokenInvariantIsCaught)
{
    struct Case {
        const char* what;
        void (*breakIt)(CTileParams&);
    };
    const Case cases[] = {
        {"31 horizontal harmonics", [](CTileParams& p) { p.m_nHorzHarm[2] = 31; }},
        {"31 vertical harmonics", [](CTileParams& p) { p.m_nVertHarm[5] = 31; }},
        {"width 0", [](CTileParams& p) { p.m_nWidth = 0; }},
        {"height 1025", [](CTileParams& p) { p.m_nHeight = 1025; }},
        {"wrap mode 3", [](CTileParams& p) { p.m_nWrapMode[1] = 3; }},
        {"wrap mode -1", [](CTileParams& p) { p.m_nWrapMode[1] = -1; }},
        {"tile style 2", [](CTileParams& p) { p.m_nTileStyle[0] = 2; }},
        {"symmetry 2", [](CTileParams& p) { p.m_nSymmetry[3][4] = 2; }},
        {"symmetry -2", [](CTileParams& p) { p.m_nSymmetry[0][0] = -2; }},
        {"colour high 256", [](CTileParams& p) { p.m_nColorHigh[4] = 256; }},
        {"colour low 300", [](CTileParams& p) { p.m_nColorLow[4] = 300; }},
        {"amplitude max below min", [](CTileParams& p) { p.m_nAmplMin[0] = 10; p.m_nAmplMax[0] = 9; }},
        {"amplitude span of 2^32", [](CTileParams& p) { p.m_nAmplMin[0] = 0; p.m_nAmplMax[0] = UINT32_MAX; }},
    };
    for (const auto& tc : cases) {
        auto p = MakeDefaults();
        tc.breakIt(*p);
        EXPECT_FALSE(p->IsValid()) << tc.what;
    }
    auto edge = MakeDefaults();
    edge->m_nWidth = 1024;
    edge->m_nHeight = 1;
    edge->m_nHorzHarm[0] = 30;
    edge->m_nVertHarm[0] = 0;
    edge->m_nWrapMode[0] = 2;
    edge->m_nTileStyle[0] = 1;
    edge->m_nSymmetry[0][0] = -1;
    edge->m_nAmplMin[0] = edge->m_nAmplMax[0] = 100;
    edge->m_nColorLow[0] = 255;
    edge->m_nColorHigh[0] = 0;
    EXPECT_TRUE(edge->IsValid());
}
