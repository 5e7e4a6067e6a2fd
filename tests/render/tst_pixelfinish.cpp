// The pixel finish on runs of pixels (vector mapping, HSL conversion and RGB
// addition, with the scalar fix-up of out-of-range pixels) against the same
// finish one pixel at a time, on every instruction set: random settings and
// sums around every boundary the steps have (0, 255, 256, 510, the 32-bit
// extremes).

#include "model/TileParams.h"
#include "render/PixelFinish.h"
#include "support/EveryKernel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <random>
#include <vector>

using namespace quorrel::model;
using namespace quorrel::render;

namespace {

uint32_t InterestingSum(std::mt19937& rng)
{
    static constexpr uint32_t kEdges[] = {0, 1, 127, 128, 254, 255, 256, 257, 300, 509, 510, 511, 0x7FFFFFFFu,
                                          0x80000000u, 0xFFFFFF01u, 0xFFFFFFFFu};
    switch (rng() % 4) {
    case 0:
        return kEdges[rng() % std::size(kEdges)];
    case 1:
        return rng() % 256;
    case 2:
        return rng() % 1024;
    default:
        return static_cast<uint32_t>(rng());
    }
}

} // namespace

TEST(PixelFinish, RunsOfPixelsEqualThePixelByPixelFinishOnEveryTarget)
{
    std::mt19937 rng(31);
    struct Case {
        std::unique_ptr<CTileParams> params;
        std::array<std::vector<uint32_t>, kComponents> sums;
    };
    std::vector<Case> cases;
    for (int i = 0; i < 300; ++i) {
        Case c{std::make_unique<CTileParams>(), {}};
        CTileParams& p = *c.params;
        for (int k = 0; k < kComponents; ++k) {
            p.m_bEnabled[k] = rng() % 3 != 0;
            p.m_nWrapMode[k] = int32_t(rng() % 3);
            p.m_nColorLow[k] = rng() % 256;
            p.m_nColorHigh[k] = rng() % 4 == 0 ? 255 : rng() % 256;
            for (int e = 0; e < kCorrelEntries; ++e)
                p.m_dCorrel[k][e] = rng() % 8 == 0 ? 0.5 : 0.0;
        }
        const std::size_t count = 16 + rng() % 40;
        for (auto& component : c.sums) {
            component.resize(count);
            for (uint32_t& sum : component)
                sum = InterestingSum(rng);
        }
        cases.push_back(std::move(c));
    }

    // The expected colours, one pixel at a time (the scalar steps).
    std::vector<std::vector<uint32_t>> expected;
    for (const Case& c : cases) {
        const PixelFinish finish(*c.params);
        std::vector<uint32_t> colours;
        for (std::size_t i = 0; i < c.sums[0].size(); ++i) {
            uint32_t acc[kComponents];
            for (int k = 0; k < kComponents; ++k)
                acc[k] = c.sums[k][i];
            colours.push_back(finish(acc));
        }
        expected.push_back(std::move(colours));
    }

    quorrel::test::ForEachTarget([&] {
        int mismatches = 0;
        for (std::size_t n = 0; n < cases.size(); ++n) {
            const Case& c = cases[n];
            auto sums = c.sums;
            uint32_t* rows[kComponents];
            for (int k = 0; k < kComponents; ++k)
                rows[k] = sums[k].data();
            std::vector<uint32_t> colours(sums[0].size());
            PixelFinish(*c.params).Run(rows, colours.size(), colours.data());
            for (std::size_t i = 0; i < colours.size(); ++i) {
                if (colours[i] != expected[n][i] && ++mismatches < 5) {
                    ADD_FAILURE() << "case " << n << " pixel " << i << ": " << std::hex << colours[i] << " instead of "
                                  << expected[n][i];
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
    });
}

// The vector HSL conversion against HslToRgb for every hue, saturation and
// luminosity 0..255 on every instruction set: its integer steps (the
// division by 255 among them) must hold for each combination, not only for
// the random ones above.
TEST(PixelFinish, VectorHslEqualsTheScalarConversionForEveryLevel)
{
    constexpr uint32_t kPairs = 256 * 256;
    std::vector<uint32_t> hue(kPairs), saturation(kPairs), luminosity(kPairs), packed(kPairs), expected(kPairs);
    for (uint32_t i = 0; i < kPairs; ++i) {
        saturation[i] = i & 0xFF;
        luminosity[i] = i >> 8;
    }
    std::vector<uint64_t> mismatches(quorrel::render::KernelTargets().size());
    for (uint32_t h = 0; h < 256; ++h) {
        std::fill(hue.begin(), hue.end(), h);
        for (uint32_t i = 0; i < kPairs; ++i) {
            const Rgb32 rgb = HslToRgb(h, saturation[i], luminosity[i]);
            expected[i] = rgb.red | rgb.green << 8 | rgb.blue << 16;
        }
        std::size_t target = 0;
        quorrel::test::ForEachTarget([&] {
            EXPECT_TRUE(HslToPackedLevels(hue.data(), saturation.data(), luminosity.data(), kPairs, packed.data()));
            for (uint32_t i = 0; i < kPairs; ++i) {
                if (packed[i] != expected[i] && ++mismatches[target] < 5) {
                    ADD_FAILURE() << "hue " << h << " saturation " << saturation[i] << " luminosity "
                                  << luminosity[i] << ": " << std::hex << packed[i] << " instead of " << expected[i];
                }
            }
            ++target;
        });
    }
    for (uint64_t count : mismatches)
        EXPECT_EQ(count, 0u);
}

// Components whose sums are one value for every pixel, settled once and
// handed over as settled (as the continuous renderer does with components
// that have no terms): the same colours as finishing their sums, on every
// instruction set, and the settled levels left as they are. Sums of 0 for
// all of red, green and blue are among them (their addition is skipped).
TEST(PixelFinish, SettledComponentsGiveTheColoursOfTheirSumsOnEveryTarget)
{
    std::mt19937 rng(32);
    quorrel::test::ForEachTarget([&] {
        int mismatches = 0;
        for (int n = 0; n < 300; ++n) {
            CTileParams p;
            for (int k = 0; k < kComponents; ++k) {
                p.m_bEnabled[k] = rng() % 3 != 0;
                p.m_nWrapMode[k] = int32_t(rng() % 3);
                p.m_nColorLow[k] = rng() % 256;
                p.m_nColorHigh[k] = rng() % 256;
                p.m_dCorrel[k][0] = rng() % 8 == 0 ? 0.5 : 0.0;
            }
            const PixelFinish finish(p);
            const unsigned settled = rng() % 2 ? 7u | (rng() % 8) << 3 : rng() % 64;
            const bool zero = rng() % 2;
            const std::size_t count = 1 + rng() % 70;
            std::array<std::vector<uint32_t>, kComponents> sums, given;
            for (int k = 0; k < kComponents; ++k) {
                const uint32_t one = zero ? 0 : InterestingSum(rng);
                for (std::size_t i = 0; i < count; ++i)
                    sums[k].push_back(settled >> k & 1 ? one : InterestingSum(rng));
                given[k] = sums[k];
                if (settled >> k & 1)
                    std::fill(given[k].begin(), given[k].end(), finish.Settled(k, one));
            }
            const auto levels = given;
            uint32_t* rows[kComponents];
            for (int k = 0; k < kComponents; ++k)
                rows[k] = given[k].data();
            std::vector<uint32_t> colours(count);
            finish.Run(rows, count, colours.data(), settled);
            for (std::size_t i = 0; i < count; ++i) {
                uint32_t acc[kComponents];
                for (int k = 0; k < kComponents; ++k)
                    acc[k] = sums[k][i];
                const uint32_t expected = finish(acc);
                if (colours[i] != expected && ++mismatches < 5)
                    ADD_FAILURE() << "case " << n << " settled " << settled << " pixel " << i << ": " << std::hex
                                  << colours[i] << " instead of " << expected;
            }
            for (int k = 0; k < kComponents; ++k) {
                if ((settled >> k & 1) && given[k] != levels[k] && ++mismatches < 5)
                    ADD_FAILURE() << "case " << n << ": settled component " << k << " changed";
            }
        }
        EXPECT_EQ(mismatches, 0);
    });
}

// The HSL and RGB kernels tell whether every level was 0..255 (the finish
// then skips its pixel-by-pixel test): one level above 255 anywhere in a run
// of any length from 1 to 70, in any of the three inputs, is reported.
TEST(PixelFinish, KernelsReportALevelOutOfRangeAnywhereOnEveryTarget)
{
    constexpr std::size_t kMaxLength = 70;
    std::mt19937 rng(33);
    std::vector<uint32_t> inputs[3];
    for (auto& input : inputs) {
        for (std::size_t i = 0; i < kMaxLength; ++i)
            input.push_back(rng() % 256);
    }
    std::vector<uint32_t> packed(kMaxLength);
    int mismatches = 0;
    quorrel::test::ForEachTarget([&] {
        for (std::size_t length = 1; length <= kMaxLength; ++length) {
            const bool all[2] = {HslToPackedLevels(inputs[0].data(), inputs[1].data(), inputs[2].data(), length,
                                                   packed.data()),
                                 AddPackedLevels(inputs[0].data(), inputs[1].data(), inputs[2].data(), length,
                                                 packed.data())};
            if ((!all[0] || !all[1]) && ++mismatches < 5)
                ADD_FAILURE() << "levels in range reported out of range, length " << length;
            for (std::size_t at = 0; at < length; ++at) {
                auto& input = inputs[at % 3];
                const uint32_t kept = input[at];
                input[at] = at % 2 ? 256u : 0x80000000u;
                const bool hsl = HslToPackedLevels(inputs[0].data(), inputs[1].data(), inputs[2].data(), length,
                                                   packed.data());
                const bool rgb = AddPackedLevels(inputs[0].data(), inputs[1].data(), inputs[2].data(), length,
                                                 packed.data());
                input[at] = kept;
                if ((hsl || rgb) && ++mismatches < 5)
                    ADD_FAILURE() << "a level above 255 at " << at << " of " << length << " not reported";
            }
        }
    });
    EXPECT_EQ(mismatches, 0);
}
