#include "support/RandomSets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

namespace quorrel::test::random_sets {

using namespace quorrel::model;
using namespace quorrel::render;

CoeffTable* Tables(CTileParams& p, int t)
{
    CoeffTable* tables[] = {&p.m_nCosCos, &p.m_nCosSin, &p.m_nSinCos, &p.m_nSinSin};
    return tables[t];
}

namespace {

uint64_t TermsPerPixel(const CTileParams& p)
{
    uint64_t terms = 0;
    for (int c = 0; c < kComponents; ++c)
        terms += 4ull * (p.m_nTileStyle[c] == 1 ? p.m_nHorzHarm[c] : p.m_nHorzHarm[c] * p.m_nVertHarm[c]);
    return terms;
}

} // namespace

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

} // namespace quorrel::test::random_sets
