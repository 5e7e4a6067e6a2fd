// Every kernel variant on every instruction set built here and run by this
// processor, called directly against a scalar model of the sums: the 32-bit
// extremes (the +2^31 term above all), sums that wrap many times, and row
// counts that leave partial blocks of vectors.

#include "render/FastKernel.h"
#include "support/EveryKernel.h"

#include <gtest/gtest.h>
#include <hwy/aligned_allocator.h>
#include <hwy/targets.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace quorrel::render;

namespace {

// What a 32-bit accumulator holds after adding the low 32 bits of every
// term truncated to 64 bits, one by one.
std::vector<uint32_t> ModelSums(const std::vector<double>& products, const std::vector<TermGroup>& groups,
                                std::size_t rows)
{
    std::vector<uint32_t> sums(rows, 0);
    for (std::size_t y = 0; y < rows; ++y) {
        const double* a = products.data();
        for (const TermGroup& group : groups) {
            for (uint32_t i = 0; i < group.count; ++i)
                sums[y] += static_cast<uint32_t>(static_cast<int64_t>(a[i] * group.row[y]));
            a += group.count;
        }
    }
    return sums;
}

// Calls `check` with every variant's function on every instruction set.
std::string ForEachKernel(const std::function<void(KernelFunction)>& check)
{
    return quorrel::test::ForEachKernel([&](KernelVariant variant) {
        const KernelFunction kernel = KernelFor(variant);
        ASSERT_NE(kernel, nullptr);
        check(kernel);
    });
}

// Rows of factors, `rows` long and 64-byte aligned, one per group.
struct RowSet {
    std::vector<hwy::AlignedFreeUniquePtr<double[]>> rows;
    double* Add(std::size_t length)
    {
        rows.push_back(hwy::AllocateAligned<double>(length));
        return rows.back().get();
    }
};

} // namespace

TEST(FastKernel, VariantsAreNamedAndTheFallbackRunsEverywhere)
{
    const auto all = AllKernelVariants();
    ASSERT_EQ(all.size(), kKernelVariants);
    EXPECT_EQ(all.front(), KernelVariant::F64x4);
    for (KernelVariant variant : all)
        EXPECT_EQ(KernelVariantFromName(KernelVariantName(variant)), variant);
    EXPECT_STREQ(KernelVariantName(KernelVariant::I64x8), "i64x8");
    for (const char* bad : {"", "F64x4", "i64x8 ", "i64", "auto"})
        EXPECT_FALSE(KernelVariantFromName(bad)) << bad;

    ASSERT_FALSE(KernelTargets().empty());
    for (int64_t target : KernelTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        EXPECT_EQ(KernelTarget(), target);
        const auto available = AvailableKernelVariants();
        ASSERT_FALSE(available.empty());
        EXPECT_EQ(available.front(), KernelVariant::F64x4) << hwy::TargetName(target);
        for (KernelVariant variant : all) {
            const bool listed = std::find(available.begin(), available.end(), variant) != available.end();
            EXPECT_EQ(KernelFor(variant) != nullptr, listed) << KernelVariantName(variant);
        }
    }
    hwy::SetSupportedTargetsForTest(0);
}

// Terms at -2^31, +2^31 (-2^31 times -1.0, the one term outside the 32-bit
// range) and +-(2^31 - 1), many of them, so that the sums wrap; fractions
// just below 1 that truncate to 0, and halves.
TEST(FastKernel, ExtremeTermsWrapLikeA32BitAccumulator)
{
    constexpr double kMin = -2147483648.0, kMax = 2147483647.0;
    const double specials[] = {kMin, kMax, -kMax, 0.9999999999999999, -0.9999999999999999, 0.5, -1.5, 1.0, 0.0};
    for (std::size_t rows : {16u, 32u, 48u, 80u}) {
        RowSet set;
        double* row = set.Add(rows);
        const double factors[] = {-1.0, 1.0, 0.0, -0.5, 1.0 - 0x1p-53};
        for (std::size_t y = 0; y < rows; ++y)
            row[y] = factors[y % std::size(factors)];
        std::vector<double> products;
        for (int repeat = 0; repeat < 61; ++repeat)   // an odd number of each
            products.insert(products.end(), std::begin(specials), std::end(specials));
        const std::vector<TermGroup> groups = {{row, static_cast<uint32_t>(products.size())}};
        const auto expected = ModelSums(products, groups, rows);
        // Row 0 is -1.0: -2^31 makes +2^31 there, whose low 32 bits are
        // 0x80000000; 61 of them wrap to the same.
        ASSERT_EQ(ModelSums({kMin}, {{row, 1}}, rows)[0], 0x80000000u);
        SCOPED_TRACE(std::to_string(rows) + " rows");
        const std::string checked = ForEachKernel([&](KernelFunction kernel) {
            auto out = hwy::AllocateAligned<uint32_t>(rows);
            kernel(products.data(), groups.data(), groups.size(), rows, out.get());
            EXPECT_EQ(std::vector<uint32_t>(out.get(), out.get() + rows), expected);
        });
        EXPECT_FALSE(checked.empty());
    }
}

// Random groups of random lengths (empty ones, single products, odd counts)
// against rows of random factors, with row counts from one padding block to
// 1024; products up to the full 32-bit range.
TEST(FastKernel, RandomGroupsMatchTheScalarSums)
{
    std::mt19937 rng(4242);
    auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    std::string first;
    for (int round = 0; round < 24; ++round) {
        const std::size_t rows = kRowPadding * (1 + rng() % (round % 4 == 0 ? 64 : 6));
        RowSet set;
        std::vector<TermGroup> groups;
        std::vector<double> products;
        const int groupCount = 1 + static_cast<int>(rng() % 12);
        for (int g = 0; g < groupCount; ++g) {
            double* row = set.Add(rows);
            for (std::size_t y = 0; y < rows; ++y)
                row[y] = y % 13 == 0 ? (y % 2 ? -1.0 : 1.0) : uniform(-1.0, 1.0);
            const uint32_t count = rng() % 5 == 0 ? static_cast<uint32_t>(rng() % 3) : 1 + rng() % 70;
            const double scale = rng() % 3 == 0 ? 2147483648.0 : (rng() % 2 ? 60.0 : 3.0);
            for (uint32_t i = 0; i < count; ++i)
                products.push_back(uniform(-scale, scale));
            groups.push_back({row, count});
        }
        const auto expected = ModelSums(products, groups, rows);
        SCOPED_TRACE("round " + std::to_string(round) + ", " + std::to_string(rows) + " rows");
        const std::string checked = ForEachKernel([&](KernelFunction kernel) {
            auto out = hwy::AllocateAligned<uint32_t>(rows);
            kernel(products.data(), groups.data(), groups.size(), rows, out.get());
            EXPECT_EQ(std::vector<uint32_t>(out.get(), out.get() + rows), expected);
        });
        if (round == 0)
            first = checked;
    }
    ASSERT_FALSE(first.empty());
    std::cout << "kernels checked: " << first << std::endl;
}
