#pragma once
// The one loop of the continuous renderer: a weighted sum of rows of
// doubles, added term after term in the order given, for every position of
// the rows at once. Compiled for every instruction set Highway targets and
// dispatched at run time; each position is one lane and goes through exactly
// the scalar steps acc = acc + weights[j] * rows[j][i] (j ascending, acc
// starting at +0.0), so every instruction set gives the same bits.

#include <cstddef>
#include <cstdint>

namespace quorrel::render {

// Row arrays handed to the kernel hold a multiple of this many doubles (the
// entries past the image are 0).
inline constexpr std::size_t kContinuousPadding = 16;

// out[i] = the sum above, for i < length (a multiple of kContinuousPadding).
void CombineRows(const double* weights, const double* const* rows, std::size_t count, std::size_t length,
                 double* out);

// The same sums for `columns` sets of weights over the same rows, at
// positions start .. start + length - 1 (start and length multiples of
// kContinuousPadding; each row block is read once for all the columns):
// column s takes weights[s * count .. s * count + count) and writes
// out[s * outStride + i] = the low 32 bits of its sum at position start + i
// truncated toward zero to a 64-bit integer (model::TruncToInt64: a sum
// outside that range, or NaN, gives 0).
void CombineRowsTruncated(const double* weights, const double* const* rows, std::size_t count, std::size_t start,
                          std::size_t length, std::size_t columns, uint32_t* out, std::size_t outStride);

// The low 32 bits of model::TruncToInt64(v): the one truncation every
// continuous path applies to a component's sum.
uint32_t TruncatedLow32(double v);

} // namespace quorrel::render
