#pragma once
// The inner loop of the fast renderer: sums of truncated products for a block
// of rows, compiled for every instruction set Highway targets and dispatched
// at run time, in several variants that differ only in speed.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
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
// holds the groups' products one group after the other; every product and
// row factor is finite and every term at most 2^31 in magnitude.
using KernelFunction = void (*)(const double* products, const TermGroup* groups, std::size_t groupCount,
                                std::size_t rows, uint32_t* out);

// The ways of computing those sums, all with the same result. The name
// gives the type the terms are truncated to and added in, and the most
// doubles one vector holds (an instruction set with narrower vectors uses
// its own width):
//   f64x4  truncated in doubles and added in doubles (exact: every sum is a
//          whole number below 2^53 for up to 4 million terms); every
//          instruction set
//   f64x8  the same on 512-bit vectors (AVX-512)
//   i32x4  converted to 32-bit integers and added with 32-bit wrap-around;
//          +2^31, the one term outside their range, converts to 0x80000000,
//          which is also its low 32 bits (x86)
//   i32x8  the same on 512-bit vectors (AVX-512)
//   i64x4  converted to 64-bit integers and added in them, whose low 32 bits
//          are the wrapped 32-bit sum (AVX-512 on 256-bit vectors)
//   i64x8  the same on 512-bit vectors (AVX-512)
enum class KernelVariant : uint8_t { F64x4, F64x8, I32x4, I32x8, I64x4, I64x8 };
inline constexpr std::size_t kKernelVariants = 6;

// Every variant in the order above; the first is the fallback the
// run-time choice keeps unless another is clearly faster.
std::vector<KernelVariant> AllKernelVariants();
const char* KernelVariantName(KernelVariant variant);
std::optional<KernelVariant> KernelVariantFromName(std::string_view name);

// The variant's function for the instruction set in use now, or null when
// that instruction set has no such variant.
KernelFunction KernelFor(KernelVariant variant);

// The variants the instruction set in use now has, in the order above.
std::vector<KernelVariant> AvailableKernelVariants();

// The instruction sets the kernel was compiled for and this processor runs,
// as Highway target bits, best first; the one in use now (Highway's choice,
// or the one a test forced), as its bit and its name.
std::vector<int64_t> KernelTargets();
int64_t KernelTarget();
const char* KernelTargetName();

} // namespace quorrel::render
