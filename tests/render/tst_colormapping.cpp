#include "render/ColorMapping.h"
#include "support/EveryKernel.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace quorrel::render;

namespace {
constexpr uint32_t Neg(int32_t v) { return static_cast<uint32_t>(v); }
}

TEST(WrapCycled, Examples)
{
    EXPECT_EQ(WrapCycled(300, 0, 255), 45u);
    EXPECT_EQ(WrapCycled(255, 0, 255), 255u);
    EXPECT_EQ(WrapCycled(Neg(-1), 0, 255), 0u);
    EXPECT_EQ(WrapCycled(10, 20, 30), 30u - (10u % 10u));
    EXPECT_EQ(WrapCycled(25, 20, 30), 25u);
}

TEST(WrapReflected, Examples)
{
    EXPECT_EQ(WrapReflected(300, 0, 255), 210u);
    EXPECT_EQ(WrapReflected(600, 0, 255), 90u);
    EXPECT_EQ(WrapReflected(Neg(-100), 0, 255), 156u);
    EXPECT_EQ(WrapReflected(0, 69, 225), 138u);
    EXPECT_EQ(WrapReflected(0, 70, 182), 140u);
}

TEST(WrapScaled, Examples)
{
    EXPECT_EQ(WrapScaled(0, 0, 255), 127u);
    EXPECT_EQ(WrapScaled(255, 0, 255), 191u);
    // A negative sum reads as a huge unsigned value: just below high.
    EXPECT_EQ(WrapScaled(Neg(-5), 0, 255), 254u);
    EXPECT_EQ(WrapScaled(Neg(-5), 10, 20), 19u);
}

TEST(WrapAcross, CycledExamples)
{
    EXPECT_EQ(WrapAcross(WrapCycled, 0, 200, 50), 0u);
    EXPECT_EQ(WrapAcross(WrapCycled, 120, 200, 50), 15u);
    EXPECT_EQ(WrapAcross(WrapCycled, 160, 200, 50), 205u);
    // The result always lies in [low, 254] or [0, high].
    for (uint32_t v = 0; v < 2000; v += 7) {
        for (auto f : {WrapCycled, WrapReflected, WrapScaled}) {
            const uint32_t r = WrapAcross(f, v, 200, 50);
            EXPECT_TRUE(r <= 50 || (r >= 200 && r <= 254)) << v << " -> " << r;
        }
    }
}

// Equal bounds have one level; the plain formulas would divide by zero
// (Cycled) or step one level below the range (Reflected).
TEST(ZeroWidthRanges, EveryValueMapsToTheOneLevel)
{
    const uint32_t values[] = {0, 1, 2, 99, 100, 101, 255, 256, 70000, Neg(-1), Neg(-300)};
    for (uint32_t level : {0u, 100u, 255u}) {
        for (uint32_t v : values) {
            EXPECT_EQ(WrapCycled(v, level, level), level) << v;
            EXPECT_EQ(WrapReflected(v, level, level), level) << v;
            EXPECT_EQ(WrapScaled(v, level, level), level) << v;
        }
    }
    // 255..0 wraps into a zero-width inner range.
    for (uint32_t v : values) {
        EXPECT_EQ(WrapAcross(WrapCycled, v, 255, 0), 0u) << v;
        EXPECT_EQ(WrapAcross(WrapReflected, v, 255, 0), 0u) << v;
        EXPECT_EQ(WrapAcross(WrapScaled, v, 255, 0), 0u) << v;
    }
}

TEST(ColorMapping, ChoosesByModeAndOrderOfBounds)
{
    EXPECT_EQ(ColorMapping(Cycled, 0, 255)(300), 45u);
    EXPECT_EQ(ColorMapping(Reflected, 0, 255)(300), 210u);
    EXPECT_EQ(ColorMapping(Scaled, 0, 255)(255), 191u);
    EXPECT_EQ(ColorMapping(Cycled, 200, 50)(160), 205u);
}

TEST(FixedRemainder, EqualsThePlainRemainder)
{
    std::mt19937 rng(11);
    std::vector<uint32_t> divisors = {1, 2, 3, 7, 254, 255, 256, 312, 510, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu};
    for (int i = 0; i < 200; ++i)
        divisors.push_back(i % 2 ? rng() % 1024 + 1 : rng() | 1);
    for (uint32_t d : divisors) {
        const FixedRemainder rem(d);
        for (uint32_t a : {0u, 1u, d - 1, d, d + 1, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFEu, 0xFFFFFFFFu})
            ASSERT_EQ(rem(a, d), a % d) << a << " % " << d;
        for (int i = 0; i < 5000; ++i) {
            const uint32_t a = rng();
            ASSERT_EQ(rem(a, d), a % d) << a << " % " << d;
        }
        // Another divisor than the one prepared still works.
        EXPECT_EQ(rem(1000, 7), 1000u % 7);
    }
}

// The mapping object (remainders prepared in advance) against the plain
// functions, for every pair of bounds and values around and far from them.
TEST(ColorMapping, EqualsThePlainFunctionsForEveryPairOfBounds)
{
    const WrapFunction plain[] = {WrapCycled, WrapReflected, WrapScaled};
    std::mt19937 rng(12);
    int mismatches = 0;
    for (int mode = 0; mode < 3; ++mode) {
        for (uint32_t low = 0; low < 256; ++low) {
            for (uint32_t high = 0; high < 256; ++high) {
                const ColorMapping mapping(mode, low, high);
                const uint32_t values[] = {0, 1, low, high, low - 1, high + 1, 2 * high - low, 2 * high - low + 1,
                                           300, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, static_cast<uint32_t>(rng()),
                                           static_cast<uint32_t>(rng() % 2048)};
                for (uint32_t v : values) {
                    const uint32_t expected =
                        low > high ? WrapAcross(plain[mode], v, low, high) : plain[mode](v, low, high);
                    if (mapping(v) != expected && ++mismatches < 5)
                        ADD_FAILURE() << mode << " " << low << ".." << high << " v " << v;
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// Runs of values (vector form, with a scalar tail) against the plain
// functions, for every pair of bounds in both modes that have the vector
// form, on every instruction set.
TEST(ColorMapping, RunsEqualThePlainFunctionsOnEveryTarget)
{
    const WrapFunction plain[] = {WrapCycled, WrapReflected};
    const std::string checked = quorrel::test::ForEachTarget([&] {
        std::mt19937 rng(21);
        int mismatches = 0;
        for (int mode = 0; mode < 2; ++mode) {
            for (uint32_t low = 0; low < 256; ++low) {
                for (uint32_t high = 0; high < 256; ++high) {
                    std::vector<uint32_t> values = {0, 1, low, high, low - 1, high + 1, 2 * high - low,
                                                    2 * high - low + 1, 300, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu,
                                                    0xFFFFFFFFu - 254, 0xFFFFFFFFu - 255, 510, 511};
                    for (int i = 0; i < 8; ++i) {
                        values.push_back(static_cast<uint32_t>(rng()));
                        values.push_back(static_cast<uint32_t>(rng() % 2048));
                        values.push_back(static_cast<uint32_t>(0u - rng() % 2048));
                    }
                    values.resize(values.size() - (low + high) % 7);   // tails of every length
                    std::vector<uint32_t> mapped = values;
                    ColorMapping(mode, low, high).MapAll(mapped.data(), mapped.size());
                    for (std::size_t i = 0; i < values.size(); ++i) {
                        const uint32_t v = values[i];
                        const uint32_t expected =
                            low > high ? WrapAcross(plain[mode], v, low, high) : plain[mode](v, low, high);
                        if (mapped[i] != expected && ++mismatches < 5)
                            ADD_FAILURE() << mode << " " << low << ".." << high << " v " << v << ": " << mapped[i];
                    }
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
    });
    RecordProperty("targets", checked);
}
