#include "model/RandomSource.h"
#include "model/TileParams.h"
#include "model/WppFile.h"
#include "support/Golden.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <regex>

using namespace quorrel::model;
using quorrel::test::GoldenDir;
using quorrel::test::GoldenFiles;
using quorrel::test::LoadGoldenParams;
using quorrel::test::RandStateGuard;
using quorrel::test::ReadBytes;

namespace {

std::unique_ptr<CTileParams> MakeDefaults() { return std::make_unique<CTileParams>(); }

void SetRow(CTileParams& p, int c, std::initializer_list<int32_t> row)
{
    std::copy(row.begin(), row.end(), p.m_nSymmetry[c]);
}

} // namespace

TEST(RandomSource, ReproducesTheLinearCongruentialSequence)
{
    RandStateGuard guard;
    Srand(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (int v : expected)
        EXPECT_EQ(Rand(), v);
    Srand(0xFFFFFFFFu);
    const int draw = Rand();
    EXPECT_GE(draw, 0);
    EXPECT_LE(draw, kRandMax);
}

TEST(FillRandom, SignDrawThenMagnitudeDrawPerFlaggedTable)
{
    RandStateGuard guard;
    auto p = MakeDefaults();
    Srand(1);
    Rand();
    Rand();
    const uint32_t afterTwoDraws = RandState();
    Srand(1);
    p->FillRandom(Red, TableMask{true, false, false, false}, 0, 1, 0, 1);
    EXPECT_EQ(p->m_nCosCos[Red][0][0], 45);   // 41 odd: +, 18467 mod 61 = 45
    EXPECT_EQ(p->m_nCosSin[Red][0][0], 0);
    EXPECT_EQ(RandState(), afterTwoDraws);
}

TEST(FillRandom, ZeroAmplitudeStillDrawsTwicePerCell)
{
    RandStateGuard guard;
    auto p = MakeDefaults();
    p->m_nAmplMin[Green] = p->m_nAmplMax[Green] = 0;
    p->m_nCosSin[Green][1][1] = 9;
    Srand(5);
    p->FillRandom(Green, TableMask{true, true, false, false}, 0, 3, 0, 3);
    for (int h = 0; h < 3; ++h)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(p->m_nCosCos[Green][h][k] | p->m_nCosSin[Green][h][k], 0);
    Srand(5);
    for (int i = 0; i < 9 * 2 * 2; ++i)
        Rand();
    const uint32_t expectedState = RandState();
    Srand(5);
    p->FillRandom(Green, TableMask{true, true, false, false}, 0, 3, 0, 3);
    EXPECT_EQ(RandState(), expectedState);
}

TEST(SymmetryTables, MirrorsPickSinesAndCosines)
{
    auto p = MakeDefaults();
    struct Case {
        int s1, s0;
        TableMask mask;
    };
    const Case cases[] = {
        {-1, -1, {false, false, false, true}}, {-1, 0, {false, false, true, true}},
        {-1, 1, {false, false, true, false}},  {0, -1, {false, true, false, true}},
        {0, 1, {true, false, true, false}},    {1, -1, {false, true, false, false}},
        {1, 0, {true, true, false, false}},    {1, 1, {true, false, false, false}},
    };
    for (const auto& tc : cases) {
        SetRow(*p, Red, {tc.s0, tc.s1, 1, -1, 1, 1});
        EXPECT_EQ(p->GetSymmetryTables(Red), tc.mask) << tc.s1 << "," << tc.s0;
    }
    SetRow(*p, Red, {0, 0, -1, 1, 0, 0});
    EXPECT_EQ(p->GetSymmetryTables(Red), (TableMask{false, true, true, false}));
    SetRow(*p, Red, {0, 0, -1, -1, 0, 0});
    EXPECT_EQ(p->GetSymmetryTables(Red), (TableMask{true, false, false, true}));
    SetRow(*p, Red, {0, 0, 1, 0, 0, -1});
    EXPECT_EQ(p->GetSymmetryTables(Red), (TableMask{true, false, false, true}));
    SetRow(*p, Red, {0, 0, 0, 0, -1, 0});
    EXPECT_EQ(p->GetSymmetryTables(Red), (TableMask{true, true, true, true}));
}

TEST(GenerateRandom, DefaultRowsGiveSymmetricTables)
{
    RandStateGuard guard;
    auto p = MakeDefaults();
    for (int c : {Saturation, Luminosity, Hue})
        p->m_nHorzHarm[c] = p->m_nVertHarm[c] = 6;
    p->GenerateRandom(1234);
    // All +1: only CosCos, symmetric.
    bool anyNonZero = false;
    for (int h = 0; h < 6; ++h) {
        for (int k = 0; k < 6; ++k) {
            EXPECT_EQ(p->m_nCosCos[Saturation][h][k], p->m_nCosCos[Saturation][k][h]);
            EXPECT_EQ(p->m_nCosSin[Saturation][h][k] | p->m_nSinCos[Saturation][h][k] | p->m_nSinSin[Saturation][h][k], 0);
            anyNonZero |= p->m_nCosCos[Saturation][h][k] != 0;
            EXPECT_LE(std::abs(p->m_nCosCos[Saturation][h][k]), 60);
            // Hue 0,0,0,0,+1,+1: CosCos symmetric, SinSin antisymmetric.
            EXPECT_EQ(p->m_nCosCos[Hue][h][k], p->m_nCosCos[Hue][k][h]);
            EXPECT_EQ(p->m_nSinSin[Hue][h][k], -p->m_nSinSin[Hue][k][h]);
            EXPECT_EQ(p->m_nCosSin[Hue][h][k] | p->m_nSinCos[Hue][h][k], 0);
        }
        EXPECT_EQ(p->m_nSinSin[Hue][h][h], 0);
    }
    EXPECT_TRUE(anyNonZero);
}

TEST(GenerateRandom, HalfTurnAntisymmetryClearsCosCosAndSinSin)
{
    RandStateGuard guard;
    auto p = MakeDefaults();
    SetRow(*p, Luminosity, {0, 0, 0, 0, -1, 0});
    p->m_nAmplMin[Luminosity] = 1;  // no zero draws, so every filled cell shows
    p->GenerateRandom(77);
    for (int h = 0; h < 3; ++h) {
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(p->m_nCosCos[Luminosity][h][k], 0);
            EXPECT_EQ(p->m_nSinSin[Luminosity][h][k], 0);
            EXPECT_NE(p->m_nCosSin[Luminosity][h][k], 0);
            EXPECT_NE(p->m_nSinCos[Luminosity][h][k], 0);
        }
    }
}

TEST(GenerateRandom, SameSeedSameCoefficients)
{
    RandStateGuard guard;
    auto a = MakeDefaults();
    auto b = MakeDefaults();
    a->GenerateRandom(99);
    b->GenerateRandom(99);
    EXPECT_TRUE(SameParams(*a, *b));
    b->GenerateRandom(100);
    EXPECT_FALSE(SameParams(*a, *b));
}

TEST(ApplyCorrelation, ZeroRowGivesZeroCoefficientsOverTheLargestRectangle)
{
    auto p = MakeDefaults();
    p->m_nHorzHarm[Hue] = 7;
    p->m_nVertHarm[Luminosity] = 9;
    p->m_nHorzHarm[Red] = 2;
    p->m_nCosCos[Red][0][0] = 55;
    p->ApplyCorrelation(Red);
    EXPECT_EQ(p->m_nHorzHarm[Red], 7u);
    EXPECT_EQ(p->m_nVertHarm[Red], 9u);
    for (int h = 0; h < 7; ++h)
        for (int k = 0; k < 9; ++k)
            EXPECT_EQ(p->m_nCosCos[Red][h][k] | p->m_nSinSin[Red][h][k], 0);
}

TEST(ApplyCorrelation, UnitWeightCopiesTheSourceModulo256)
{
    RandStateGuard guard;
    auto p = MakeDefaults();
    p->m_bEnabled[Red] = 1;
    p->m_bEnabled[Green] = 0;
    p->m_nHorzHarm[Red] = p->m_nVertHarm[Red] = 2;
    p->m_nHorzHarm[Hue] = 4;
    p->m_nCosCos[Red][0][0] = 300;
    p->m_nCosCos[Red][1][0] = -300;
    p->m_nSinSin[Red][1][1] = -256;
    p->m_nCosCos[Red][3][0] = 12;   // outside Red's counts: not a source
    p->m_nCosCos[Green][0][1] = 5;  // Green's own old cell, weight 0
    p->m_dCorrel[Green][Red] = 1.0;
    Srand(3);
    const uint32_t before = RandState();
    p->ApplyCorrelation(Green);
    EXPECT_EQ(RandState(), before);  // no "Free" width: nothing drawn
    EXPECT_EQ(p->m_nHorzHarm[Green], 4u);
    EXPECT_EQ(p->m_nCosCos[Green][0][0], 44);
    EXPECT_EQ(p->m_nCosCos[Green][1][0], -44);
    EXPECT_EQ(p->m_nSinSin[Green][1][1], 0);
    EXPECT_EQ(p->m_nCosCos[Green][3][0], 0);
    EXPECT_EQ(p->m_nCosCos[Green][0][1], 0);
}

TEST(CorrelatedCoeff, ConstantAndFreeVariation)
{
    RandStateGuard guard;
    auto p = MakeDefaults();
    p->m_dCorrel[Red][6] = 20.7;
    EXPECT_EQ(p->CorrelatedCoeff(p->m_nCosCos, Red, 0, 0), 20);
    p->m_dCorrel[Red][6] = -20.7;
    EXPECT_EQ(p->CorrelatedCoeff(p->m_nCosCos, Red, 0, 0), -20);

    // Free = 10: adds (rand mod 10) - 5 before truncation, one draw per call.
    p->m_dCorrel[Red][6] = 100.0;
    p->m_dCorrel[Red][7] = 10.9;
    Srand(1);
    EXPECT_EQ(p->CorrelatedCoeff(p->m_nCosCos, Red, 0, 0), 100 + (41 % 10) - 5);
    EXPECT_EQ(p->CorrelatedCoeff(p->m_nCosCos, Red, 0, 0), 100 + (18467 % 10) - 5);

    // The source's own old cell counts with its weight.
    p->m_dCorrel[Red][7] = 0.0;
    p->m_dCorrel[Red][6] = 0.0;
    p->m_dCorrel[Red][Red] = 0.5;
    p->m_nCosSin[Red][1][2] = -7;
    EXPECT_EQ(p->CorrelatedCoeff(p->m_nCosSin, Red, 1, 2), -3);

    // Values beyond any integer range are defined too (low bits 0).
    p->m_dCorrel[Red][6] = 1e300;
    EXPECT_EQ(p->CorrelatedCoeff(p->m_nCosCos, Red, 0, 0), 0);
    p->m_dCorrel[Red][6] = std::nan("");
    EXPECT_EQ(p->CorrelatedCoeff(p->m_nCosCos, Red, 0, 0), 0);
}

TEST(ExtendRandom, KeepsOldCellsAndFillsTheNewOnes)
{
    RandStateGuard guard;
    auto previous = MakeDefaults();
    SetRow(*previous, Hue, {0, 0, 0, 0, 0, 0});   // all four tables, no symmetry
    previous->m_nAmplMin[Hue] = 1;
    previous->GenerateRandom(11);
    auto current = std::make_unique<CTileParams>(*previous);
    current->m_nHorzHarm[Hue] = 5;
    current->ExtendRandom(*previous, 12);
    for (int h = 0; h < 5; ++h) {
        for (int k = 0; k < 3; ++k) {
            if (h < 3)
                EXPECT_EQ(current->m_nCosCos[Hue][h][k], previous->m_nCosCos[Hue][h][k]);
            else
                EXPECT_NE(current->m_nCosCos[Hue][h][k], 0);
        }
    }
    // Lowering a count leaves the component alone.
    auto lowered = std::make_unique<CTileParams>(*current);
    lowered->m_nHorzHarm[Hue] = 2;
    lowered->m_nVertHarm[Hue] = 4;
    lowered->m_nCosCos[Hue][0][3] = 4242;
    lowered->ExtendRandom(*current, 13);
    EXPECT_EQ(lowered->m_nCosCos[Hue][0][3], 4242);
    EXPECT_EQ(lowered->m_nCosCos[Hue][1][1], current->m_nCosCos[Hue][1][1]);
}

// Reference generations made by an independent model: each golden file
// whose name matches `pattern` is the expected result of `produce`.
namespace {

template <typename Produce>
int CheckGoldenGenerations(const std::string& subdir, const std::string& pattern, Produce&& produce)
{
    RandStateGuard guard;
    const std::regex name(pattern);
    int checked = 0;
    for (const auto& path : GoldenFiles(subdir, ".wpp")) {
        std::smatch m;
        const std::string file = path.filename().string();
        if (!std::regex_match(file, m, name))
            continue;
        SCOPED_TRACE(file);
        EXPECT_EQ(SaveWpp(*produce(m)), ReadBytes(path));
        ++checked;
    }
    return checked;
}

uint32_t Seed(const std::ssub_match& m) { return static_cast<uint32_t>(std::stoul(m.str())); }

} // namespace

TEST(GenerationGolden, DefaultsSeeded)
{
    EXPECT_GE(CheckGoldenGenerations("generate", R"(defaults-seed-(\d+)\.wpp)", [](const std::smatch& m) {
        auto p = MakeDefaults();
        p->GenerateRandom(Seed(m[1]));
        return p;
    }), 6);
}

TEST(GenerationGolden, LoadedSetsSeeded)
{
    EXPECT_GE(CheckGoldenGenerations("generate", R"(case-(\d+)-seed-(\d+)\.wpp)", [](const std::smatch& m) {
        auto p = LoadGoldenParams(GoldenDir() / "generate" / ("case-" + m[1].str() + "-params.wpp"));
        p->GenerateRandom(Seed(m[2]));
        return p;
    }), 8);
}

TEST(GenerationGolden, ExtendSeeded)
{
    EXPECT_GE(CheckGoldenGenerations("extend", R"(case-(\d+)-seed-(\d+)\.wpp)", [](const std::smatch& m) {
        const auto dir = GoldenDir() / "extend";
        auto previous = LoadGoldenParams(dir / ("case-" + m[1].str() + "-previous.wpp"));
        auto current = LoadGoldenParams(dir / ("case-" + m[1].str() + "-current.wpp"));
        current->ExtendRandom(*previous, Seed(m[2]));
        return current;
    }), 4);
}
