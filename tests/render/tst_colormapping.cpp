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

// The divisor steps of the vector remainder: the condition its exactness
// rests on (see InvariantDivisor), m = ceil(2^(32+s) / d) with
// m d - 2^(32+s) <= 2^s and the factor and shifts each form takes, checked
// for every divisor a colour range can have (1..510) and far beyond; and the
// scalar form of the steps against % where the quotient's error is largest
// (dividends near 2^32) and near 0.
TEST(InvariantDivisor, MeetsTheConditionOfExactnessForEveryDivisor)
{
    using u128 = unsigned __int128;
    std::vector<uint32_t> divisors;
    for (uint32_t d = 1; d <= 70000; ++d)
        divisors.push_back(d);
    std::mt19937 rng(41);
    for (int i = 0; i < 2000; ++i)
        divisors.push_back(static_cast<uint32_t>(rng()) | 1u << (i % 32));
    for (uint32_t d : {0x7FFFFFFFu, 0x80000000u, 0x80000001u, 0xFFFFFFFEu, 0xFFFFFFFFu})
        divisors.push_back(d);
    int forms[3] = {};
    for (uint32_t d : divisors) {
        const InvariantDivisor steps(d);
        ASSERT_EQ(steps.divisor, d);
        ++forms[steps.form];
        if (steps.form == InvariantDivisor::PowerOfTwo) {
            ASSERT_EQ(u128(1) << steps.shift, d);
            continue;
        }
        // The shift s of the condition: the Short form's whole shift, the
        // Long form's shift less the one of its halving step.
        const int s = steps.shift;
        ASSERT_TRUE(s >= 1 && s <= 32) << d;
        const u128 m = steps.form == InvariantDivisor::Short ? u128(steps.factor) : (u128(1) << 32) + steps.factor;
        const u128 power = u128(1) << (32 + s);
        ASSERT_TRUE(power <= m * d && m * d < power + d && m * d <= power + (u128(1) << s)) << d;
        if (steps.form == InvariantDivisor::Short)
            ASSERT_TRUE((u128(1) << s) < d && d < (u128(1) << (s + 1))) << d;
        else
            ASSERT_TRUE((u128(1) << (s - 1)) < d && d <= (u128(1) << s)) << d;
    }
    for (int count : forms)
        EXPECT_GT(count, 0);
    for (uint32_t d = 1; d <= 510; ++d) {
        const InvariantDivisor steps(d);
        for (uint32_t k = 0; k < (1u << 14); ++k) {
            const uint32_t top = 0xFFFFFFFFu - k;
            ASSERT_EQ(steps.Remainder(top), top % d) << top << " % " << d;
            ASSERT_EQ(steps.Remainder(k), k % d) << k << " % " << d;
        }
        // The last dividend of each of the top quotients, where the
        // product's excess is largest.
        for (uint32_t q = 0xFFFFFFFFu / d, n = 0; n < 4096 && q > 0; ++n, --q)
            ASSERT_EQ(steps.Quotient(q * d - 1), q - 1) << q * d - 1 << " / " << d;
    }
}

// The vector steps on every instruction set: the remainder by every
// divisor 1..510 and the wrap of runs of every length from 1 to 33 (below,
// at and above a vector, to reach every tail) at odd starts, with nothing
// outside the run touched.
TEST(ColorMapping, VectorStepsAreExactForEveryLengthAndStartOnEveryTarget)
{
    constexpr std::size_t kGuard = 40, kMaxLength = 33;
    constexpr uint32_t kUntouched = 0xDEADBEEFu;
    std::mt19937 rng(42);
    std::vector<uint32_t> pool;
    for (int i = 0; i < 4096; ++i) {
        switch (i % 4) {
        case 0: pool.push_back(static_cast<uint32_t>(rng())); break;
        case 1: pool.push_back(0xFFFFFFFFu - rng() % 4096); break;
        case 2: pool.push_back(rng() % 1024); break;
        default: pool.push_back(0u - rng() % 1024); break;
        }
    }
    const std::string checked = quorrel::test::ForEachTarget([&] {
        int mismatches = 0;
        std::vector<uint32_t> buffer(kGuard + kMaxLength + kGuard);
        std::size_t next = 0;
        auto fill = [&](std::size_t start, std::size_t length) {
            std::fill(buffer.begin(), buffer.end(), kUntouched);
            for (std::size_t i = 0; i < length; ++i)
                buffer[kGuard + start + i] = pool[next++ % pool.size()];
            return buffer;
        };
        auto outsideUntouched = [&](std::size_t start, std::size_t length) {
            for (std::size_t i = 0; i < buffer.size(); ++i) {
                if ((i < kGuard + start || i >= kGuard + start + length) && buffer[i] != kUntouched)
                    return false;
            }
            return true;
        };
        for (uint32_t d = 1; d <= 510; ++d) {
            for (std::size_t start : {0, 1, 3}) {
                for (std::size_t length = 1; length <= kMaxLength; ++length) {
                    const std::vector<uint32_t> before = fill(start, length);
                    RemaindersInPlace(d, buffer.data() + kGuard + start, length);
                    for (std::size_t i = kGuard + start; i < kGuard + start + length; ++i) {
                        if (buffer[i] != before[i] % d && ++mismatches < 5)
                            ADD_FAILURE() << before[i] << " % " << d << ": " << buffer[i];
                    }
                    if (!outsideUntouched(start, length) && ++mismatches < 5)
                        ADD_FAILURE() << "remainder by " << d << " wrote outside " << start << "+" << length;
                }
            }
        }
        const WrapFunction plain[] = {WrapCycled, WrapReflected};
        const uint32_t bounds[][2] = {{0, 255}, {120, 152}, {69, 225}, {200, 50}, {255, 0}, {10, 11}, {0, 1}};
        for (int mode = 0; mode < 2; ++mode) {
            for (const auto& [low, high] : bounds) {
                for (std::size_t start : {0, 1, 3}) {
                    for (std::size_t length = 1; length <= kMaxLength; ++length) {
                        const std::vector<uint32_t> before = fill(start, length);
                        MapWrappedValues(mode == 1, low > high, low, high, buffer.data() + kGuard + start, length);
                        for (std::size_t i = kGuard + start; i < kGuard + start + length; ++i) {
                            const uint32_t v = before[i];
                            const uint32_t expected =
                                low > high ? WrapAcross(plain[mode], v, low, high) : plain[mode](v, low, high);
                            if (buffer[i] != expected && ++mismatches < 5)
                                ADD_FAILURE() << mode << " " << low << ".." << high << " v " << v << ": " << buffer[i];
                        }
                        if (!outsideUntouched(start, length) && ++mismatches < 5)
                            ADD_FAILURE() << "wrap wrote outside " << start << "+" << length;
                    }
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
    });
    RecordProperty("targets", checked);
}
