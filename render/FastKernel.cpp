// Compiled once per instruction set by Highway's foreach_target; the public
// entry points at the end pick the best one at run time.

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "render/FastKernel.cpp"
#include <hwy/foreach_target.h>   // IWYU pragma: keep

#include <hwy/highway.h>

#include "render/FastKernel.h"

HWY_BEFORE_NAMESPACE();
namespace quorrel::render {
namespace HWY_NAMESPACE {

namespace hn = hwy::HWY_NAMESPACE;

// At most four lanes (256 bits), so kRowPadding is a whole number of
// vectors. On the AVX-512 target this still gains its 32 registers, while
// 512-bit vectors took a fifth longer on a processor that splits them in
// two halves (Zen 4); a four-lane block of rows is also a smaller step for
// short images.
using Tag = hn::CappedTag<double, 4>;

// Four vectors of rows at a time: the row factors stay in registers while
// every product of a group is broadcast against them, and eight independent
// accumulators hide the latency of the additions.
// The exact sum, a whole number far below 2^53, converted to 64 bits; its
// low 32 bits are the sum of the terms' low 32 bits, wrapped as a 32-bit
// accumulator wraps.
template <class V>
HWY_INLINE void StoreLow32(V sum, uint32_t* HWY_RESTRICT out)
{
    const Tag d;
    const hn::Rebind<int64_t, Tag> di;
    const hn::Rebind<uint64_t, Tag> du;
    const hn::Rebind<uint32_t, Tag> d32;
    hn::StoreU(hn::TruncateTo(d32, hn::BitCast(du, hn::ConvertTo(di, sum))), d32, out);
    (void)d;
}

void SumTruncatedTermsImpl(const double* HWY_RESTRICT products, const TermGroup* HWY_RESTRICT groups,
                           std::size_t groupCount, std::size_t rows, uint32_t* HWY_RESTRICT out)
{
    const Tag d;
    const std::size_t N = hn::Lanes(d);
    std::size_t y = 0;
    const auto one = hn::Set(d, 1.0);
    for (; y + 4 * N <= rows; y += 4 * N) {
        // Two sets of accumulators: one adds, the other adds through a fused
        // multiply-add by 1.0 (exact: the sums are whole numbers below 2^53).
        // The two kinds of instruction run on different execution units on
        // common processors, so alternating them relieves the units that
        // also do the truncation.
        auto s0 = hn::Zero(d), s1 = hn::Zero(d), s2 = hn::Zero(d), s3 = hn::Zero(d);
        auto t0 = hn::Zero(d), t1 = hn::Zero(d), t2 = hn::Zero(d), t3 = hn::Zero(d);
        const double* a = products;
        for (std::size_t g = 0; g < groupCount; ++g) {
            const double* row = groups[g].row + y;
            const auto r0 = hn::LoadU(d, row);
            const auto r1 = hn::LoadU(d, row + N);
            const auto r2 = hn::LoadU(d, row + 2 * N);
            const auto r3 = hn::LoadU(d, row + 3 * N);
            const uint32_t count = groups[g].count;
            uint32_t i = 0;
            for (; i + 2 <= count; i += 2) {
                const auto v = hn::Set(d, a[i]);
                s0 = hn::Add(s0, hn::Trunc(hn::Mul(v, r0)));
                s1 = hn::Add(s1, hn::Trunc(hn::Mul(v, r1)));
                s2 = hn::Add(s2, hn::Trunc(hn::Mul(v, r2)));
                s3 = hn::Add(s3, hn::Trunc(hn::Mul(v, r3)));
                const auto w = hn::Set(d, a[i + 1]);
                t0 = hn::MulAdd(hn::Trunc(hn::Mul(w, r0)), one, t0);
                t1 = hn::MulAdd(hn::Trunc(hn::Mul(w, r1)), one, t1);
                t2 = hn::MulAdd(hn::Trunc(hn::Mul(w, r2)), one, t2);
                t3 = hn::MulAdd(hn::Trunc(hn::Mul(w, r3)), one, t3);
            }
            if (i < count) {
                const auto v = hn::Set(d, a[i]);
                s0 = hn::Add(s0, hn::Trunc(hn::Mul(v, r0)));
                s1 = hn::Add(s1, hn::Trunc(hn::Mul(v, r1)));
                s2 = hn::Add(s2, hn::Trunc(hn::Mul(v, r2)));
                s3 = hn::Add(s3, hn::Trunc(hn::Mul(v, r3)));
            }
            a += count;
        }
        s0 = hn::Add(s0, t0);
        s1 = hn::Add(s1, t1);
        s2 = hn::Add(s2, t2);
        s3 = hn::Add(s3, t3);
        StoreLow32(s0, out + y);
        StoreLow32(s1, out + y + N);
        StoreLow32(s2, out + y + 2 * N);
        StoreLow32(s3, out + y + 3 * N);
    }
    for (; y < rows; y += N) {
        auto s = hn::Zero(d);
        const double* a = products;
        for (std::size_t g = 0; g < groupCount; ++g) {
            const auto r = hn::LoadU(d, groups[g].row + y);
            const uint32_t count = groups[g].count;
            for (uint32_t i = 0; i < count; ++i)
                s = hn::Add(s, hn::Trunc(hn::Mul(hn::Set(d, a[i]), r)));
            a += count;
        }
        StoreLow32(s, out + y);
    }
}

const char* TargetNameImpl() { return hwy::TargetName(HWY_TARGET); }

} // namespace HWY_NAMESPACE
} // namespace quorrel::render
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace quorrel::render {

HWY_EXPORT(SumTruncatedTermsImpl);
HWY_EXPORT(TargetNameImpl);

void SumTruncatedTerms(const double* products, const TermGroup* groups, std::size_t groupCount, std::size_t rows,
                       uint32_t* out)
{
    HWY_DYNAMIC_DISPATCH(SumTruncatedTermsImpl)(products, groups, groupCount, rows, out);
}

std::vector<int64_t> KernelTargets() { return hwy::SupportedAndGeneratedTargets(); }

const char* KernelTargetName() { return HWY_DYNAMIC_DISPATCH(TargetNameImpl)(); }

} // namespace quorrel::render
#endif
