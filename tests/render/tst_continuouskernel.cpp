// The continuous renderer's row kernels on each instruction set on its own,
// against their scalar definition: lengths that reach the vector tails, one
// to nine columns (every block of four, two and one columns), starts that are
// not a whole block, and sums at the edges of the 64-bit truncation.

#include "model/NumericConversions.h"
#include "render/FastKernel.h"
#include "render/continuous/ContinuousKernel.h"

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace quorrel::render;

namespace {

constexpr std::size_t kRows = 3;
constexpr std::size_t kLength = 96; // positions in every row

// Sums the kernels must truncate exactly: 2^62 + 3072 is inside the 64-bit
// range and has low bits; 2^63 is just outside; NaN and infinities give 0.
struct Edge {
    std::size_t at;
    double sum;
    uint32_t low32; // worked out by hand
};
const Edge kEdges[] = {
    {17, 4611686018427390976.0, 3072u},        // 2^62 + 3072
    {18, -4611686018427390976.0, 4294964224u}, // -(2^62 + 3072): 2^32 - 3072
    {19, 9223372036854775808.0, 0u},           // 2^63
    {20, 9223372036854774784.0, 4294966272u},  // 2^63 - 1024: 2^32 - 1024
    {21, -9223372036854775808.0, 0u},          // -2^63, in range
    {33, std::numeric_limits<double>::quiet_NaN(), 0u},
    {34, std::numeric_limits<double>::infinity(), 0u},
    {50, -2.75, 4294967294u}, // toward zero: -2
    {51, 1e300, 0u},
};

// Row 0 holds the edge values where the weight is 1 and the other rows 0
// there; elsewhere random values.
struct Rows {
    std::vector<std::vector<double>> data;
    std::vector<const double*> pointers;
};

Rows MakeRows(std::mt19937& rng)
{
    std::uniform_real_distribution<double> value(-1e6, 1e6);
    Rows rows;
    rows.data.assign(kRows, std::vector<double>(kLength));
    for (auto& row : rows.data)
        for (double& v : row)
            v = value(rng);
    for (const Edge& edge : kEdges) {
        rows.data[0][edge.at] = edge.sum;
        for (std::size_t j = 1; j < kRows; ++j)
            rows.data[j][edge.at] = 0.0;
    }
    for (const auto& row : rows.data)
        rows.pointers.push_back(row.data());
    return rows;
}

// `columns` sets of weights; the first's first weight is 1, so that its sums
// at the edges' positions are the edge values.
std::vector<double> MakeWeights(std::mt19937& rng, std::size_t columns)
{
    std::uniform_real_distribution<double> weight(-300.0, 300.0);
    std::vector<double> weights(columns * kRows);
    for (double& w : weights)
        w = weight(rng);
    weights[0] = 1.0;
    return weights;
}

double ScalarSum(const double* weights, const Rows& rows, std::size_t i)
{
    double acc = 0.0;
    for (std::size_t j = 0; j < kRows; ++j)
        acc = acc + weights[j] * rows.data[j][i];
    return acc;
}

class ContinuousKernelOn : public testing::TestWithParam<int64_t> {
protected:
    void SetUp() override { hwy::SetSupportedTargetsForTest(GetParam()); }
    void TearDown() override { hwy::SetSupportedTargetsForTest(0); }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Targets, ContinuousKernelOn, testing::ValuesIn(KernelTargets()),
                         [](const testing::TestParamInfo<int64_t>& info) {
                             std::string name = hwy::TargetName(info.param);
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

TEST_P(ContinuousKernelOn, TruncatedSumsOfOneToNineColumnsAtEveryStartAndLength)
{
    std::mt19937 rng(20261207);
    const Rows rows = MakeRows(rng);
    for (std::size_t columns = 1; columns <= 9; ++columns) {
        const std::vector<double> weights = MakeWeights(rng, columns);
        // Starts and lengths are multiples of the padding; 16 and 48 are not
        // whole blocks of four vectors of eight, 32 is.
        for (std::size_t start : {0, 16, 32, 48}) {
            for (std::size_t length = kContinuousPadding; start + length <= kLength; length += kContinuousPadding) {
                SCOPED_TRACE(std::to_string(columns) + " columns from " + std::to_string(start) + ", " +
                             std::to_string(length) + " long");
                const std::size_t stride = length + 5;
                std::vector<uint32_t> out(columns * stride, 0xDEADBEEFu);
                CombineRowsTruncated(weights.data(), rows.pointers.data(), kRows, start, length, columns, out.data(),
                                     stride);
                for (std::size_t c = 0; c < columns; ++c) {
                    for (std::size_t i = 0; i < length; ++i) {
                        const double sum = ScalarSum(weights.data() + c * kRows, rows, start + i);
                        ASSERT_EQ(out[c * stride + i], uint32_t(quorrel::model::TruncToInt64(sum)))
                            << "column " << c << " position " << start + i << ": " << sum;
                    }
                    for (std::size_t i = length; i < stride; ++i)
                        ASSERT_EQ(out[c * stride + i], 0xDEADBEEFu) << "written past the length";
                }
                for (const Edge& edge : kEdges) {
                    if (edge.at >= start && edge.at < start + length) {
                        EXPECT_EQ(out[edge.at - start], edge.low32) << edge.sum;
                    }
                }
            }
        }
    }
}

TEST_P(ContinuousKernelOn, SumsAtEveryLength)
{
    std::mt19937 rng(20261208);
    const Rows rows = MakeRows(rng);
    const std::vector<double> weights = MakeWeights(rng, 1);
    for (std::size_t length = kContinuousPadding; length <= kLength; length += kContinuousPadding) {
        std::vector<double> out(length + 3, -1.0);
        CombineRows(weights.data(), rows.pointers.data(), kRows, length, out.data());
        for (std::size_t i = 0; i < length; ++i) {
            const double sum = ScalarSum(weights.data(), rows, i);
            if (std::isnan(sum))
                EXPECT_TRUE(std::isnan(out[i])) << i;
            else
                ASSERT_EQ(out[i], sum) << length << " long, position " << i;
        }
        for (std::size_t i = length; i < out.size(); ++i)
            ASSERT_EQ(out[i], -1.0) << "written past the length";
    }
}
