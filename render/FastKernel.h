#pragma once
// The inner loop of the fast renderer: sums of truncated products for a block
// of rows, vectorised with run-time dispatch to the best instruction set the
// processor has.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorrel::render {

// Row arrays handed to the kernel hold a multiple of this many doubles (the
// entries past the image are 0) and start on a 64-byte boundary.
inline constexpr std::size_t kRowPadding = 16;

// A run of `count` consecutive horizontal products that all meet one row of
// vertical factors.
struct TermGroup {
    const double* row;
    uint32_t count;
};

// out[y] = the low 32 bits of the sum over every group g and its products a
// of trunc(a * g.row[y]), for y < rows (a multiple of kRowPadding): what a
// 32-bit accumulator adding the terms one by one would hold. `products`
// holds the groups' products one group after the other. The terms are
// summed in doubles: each is a whole number of at most 2^31, so the sums
// are exact while they stay below 2^53 (more than 4 million terms).
void SumTruncatedTerms(const double* products, const TermGroup* groups, std::size_t groupCount, std::size_t rows,
                       uint32_t* out);

// The instruction sets the kernel was compiled for and this processor runs,
// as Highway target bits, best first; and the name of the one in use now.
std::vector<int64_t> KernelTargets();
const char* KernelTargetName();

} // namespace quorrel::render
