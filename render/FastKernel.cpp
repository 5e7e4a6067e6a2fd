// Compiled once per instruction set by Highway's foreach_target; the public
// entry points at the end pick the instruction set in use at run time.

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "render/FastKernel.cpp"
#include <hwy/foreach_target.h>   // IWYU pragma: keep

#include <hwy/highway.h>

#include "render/FastKernel.h"

HWY_BEFORE_NAMESPACE();
namespace quorrel::render {
namespace HWY_NAMESPACE {

namespace hn = hwy::HWY_NAMESPACE;

// The low 32 bits of each lane of integer sums, stored to `out`.
template <class V>
HWY_INLINE void StoreLow32(V sum, uint32_t* HWY_RESTRICT out)
{
    using T = hn::TFromV<V>;
    const hn::DFromV<V> di;
    const hn::Rebind<uint32_t, decltype(di)> d32;
    if constexpr (sizeof(T) == 4) {
        hn::StoreU(hn::BitCast(d32, sum), d32, out);
    } else {
        const hn::Rebind<uint64_t, decltype(di)> du;
        hn::StoreU(hn::TruncateTo(d32, hn::BitCast(du, sum)), d32, out);
    }
}

// ---------------------------------------------------------------------------
// Terms truncated and added in doubles (f64x4, f64x8).

// Four vectors of rows at a time: the row factors stay in registers while
// every product of a group is broadcast against them, and eight independent
// accumulators hide the latency of the additions.
template <class D>
HWY_INLINE void SumInDoubles(D d, const double* HWY_RESTRICT products, const TermGroup* HWY_RESTRICT groups,
                             std::size_t groupCount, std::size_t rows, uint32_t* HWY_RESTRICT out)
{
    const hn::Rebind<int64_t, D> di;
    // The exact sum, a whole number far below 2^53, converted to 64 bits;
    // its low 32 bits are the sum of the terms' low 32 bits, wrapped as a
    // 32-bit accumulator wraps.
    auto store = [&](hn::Vec<D> sum, uint32_t* to) { StoreLow32(hn::ConvertTo(di, sum), to); };
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
        store(hn::Add(s0, t0), out + y);
        store(hn::Add(s1, t1), out + y + N);
        store(hn::Add(s2, t2), out + y + 2 * N);
        store(hn::Add(s3, t3), out + y + 3 * N);
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
        store(s, out + y);
    }
}

// At most four lanes (256 bits), so kRowPadding is a whole number of
// vectors. On the AVX-512 target this still gains its 32 registers, while
// 512-bit vectors took a fifth longer on a processor that splits them in
// two halves (Zen 4); a four-lane block of rows is also a smaller step for
// short images.
void SumF64x4(const double* HWY_RESTRICT products, const TermGroup* HWY_RESTRICT groups, std::size_t groupCount,
              std::size_t rows, uint32_t* HWY_RESTRICT out)
{
    SumInDoubles(hn::CappedTag<double, 4>(), products, groups, groupCount, rows, out);
}

// ---------------------------------------------------------------------------
// Terms converted to integers and added in them (i32x4, i32x8, i64x4,
// i64x8), with the x86 conversion instructions themselves: Highway's own
// conversions clamp +2^31 to 2^31 - 1 (to 32 bits) or add an overflow
// fix-up that can never apply here (to 64 bits).

#if HWY_ARCH_X86 && HWY_TARGET <= HWY_SSSE3
#define QUORREL_KERNEL_X86 1

HWY_INLINE hn::Vec128<int32_t, 2> TruncateToInt32(hn::Vec128<double, 2> v)
{
    return hn::Vec128<int32_t, 2>{_mm_cvttpd_epi32(v.raw)};
}
#if HWY_TARGET <= HWY_AVX2
HWY_INLINE hn::Vec128<int32_t> TruncateToInt32(hn::Vec256<double> v)
{
    return hn::Vec128<int32_t>{_mm256_cvttpd_epi32(v.raw)};
}
#endif
#if HWY_TARGET <= HWY_AVX3
#define QUORREL_KERNEL_AVX512 1
HWY_INLINE hn::Vec256<int32_t> TruncateToInt32(hn::Vec512<double> v)
{
    return hn::Vec256<int32_t>{_mm512_cvttpd_epi32(v.raw)};
}
HWY_INLINE hn::Vec256<int64_t> TruncateToInt64(hn::Vec256<double> v)
{
    return hn::Vec256<int64_t>{_mm256_cvttpd_epi64(v.raw)};
}
HWY_INLINE hn::Vec512<int64_t> TruncateToInt64(hn::Vec512<double> v)
{
    return hn::Vec512<int64_t>{_mm512_cvttpd_epi64(v.raw)};
}
#endif

struct ToInt32 {
    template <class V>
    HWY_INLINE auto operator()(V v) const
    {
        return TruncateToInt32(v);
    }
};
struct ToInt64 {
    template <class V>
    HWY_INLINE auto operator()(V v) const
    {
        return TruncateToInt64(v);
    }
};

// `kVectors` vectors of rows from row y on: the row factors stay in
// registers while every product of a group is broadcast against them.
// Integer additions take one cycle, so one accumulator per vector of rows
// is enough.
template <std::size_t kVectors, class D, class Truncate>
HWY_INLINE void SumIntegerBlock(D d, Truncate truncate, const double* HWY_RESTRICT products,
                                const TermGroup* HWY_RESTRICT groups, std::size_t groupCount, std::size_t y,
                                uint32_t* HWY_RESTRICT out)
{
    using VI = decltype(truncate(hn::Zero(d)));
    const hn::DFromV<VI> di;
    const std::size_t N = hn::Lanes(d);
    VI s[kVectors];
    for (std::size_t j = 0; j < kVectors; ++j)
        s[j] = hn::Zero(di);
    const double* a = products;
    for (std::size_t g = 0; g < groupCount; ++g) {
        const double* row = groups[g].row + y;
        hn::Vec<D> r[kVectors];
        for (std::size_t j = 0; j < kVectors; ++j)
            r[j] = hn::LoadU(d, row + j * N);
        const uint32_t count = groups[g].count;
        for (uint32_t i = 0; i < count; ++i) {
            const auto v = hn::Set(d, a[i]);
            for (std::size_t j = 0; j < kVectors; ++j)
                s[j] = hn::Add(s[j], truncate(hn::Mul(v, r[j])));
        }
        a += count;
    }
    for (std::size_t j = 0; j < kVectors; ++j)
        StoreLow32(s[j], out + y + j * N);
}

// Blocks of `kVectors` vectors of rows, then single vectors for the rest.
template <std::size_t kVectors, class D, class Truncate>
HWY_INLINE void SumInIntegers(D d, Truncate truncate, const double* HWY_RESTRICT products,
                              const TermGroup* HWY_RESTRICT groups, std::size_t groupCount, std::size_t rows,
                              uint32_t* HWY_RESTRICT out)
{
    const std::size_t N = hn::Lanes(d);
    std::size_t y = 0;
    for (; y + kVectors * N <= rows; y += kVectors * N)
        SumIntegerBlock<kVectors>(d, truncate, products, groups, groupCount, y, out);
    for (; y < rows; y += N)
        SumIntegerBlock<1>(d, truncate, products, groups, groupCount, y, out);
}

void SumI32x4(const double* HWY_RESTRICT products, const TermGroup* HWY_RESTRICT groups, std::size_t groupCount,
              std::size_t rows, uint32_t* HWY_RESTRICT out)
{
    SumInIntegers<4>(hn::CappedTag<double, 4>(), ToInt32(), products, groups, groupCount, rows, out);
}

#if QUORREL_KERNEL_AVX512
void SumF64x8(const double* HWY_RESTRICT products, const TermGroup* HWY_RESTRICT groups, std::size_t groupCount,
              std::size_t rows, uint32_t* HWY_RESTRICT out)
{
    SumInDoubles(hn::Full512<double>(), products, groups, groupCount, rows, out);
}

void SumI32x8(const double* HWY_RESTRICT products, const TermGroup* HWY_RESTRICT groups, std::size_t groupCount,
              std::size_t rows, uint32_t* HWY_RESTRICT out)
{
    SumInIntegers<4>(hn::Full512<double>(), ToInt32(), products, groups, groupCount, rows, out);
}

void SumI64x4(const double* HWY_RESTRICT products, const TermGroup* HWY_RESTRICT groups, std::size_t groupCount,
              std::size_t rows, uint32_t* HWY_RESTRICT out)
{
    SumInIntegers<4>(hn::Full256<double>(), ToInt64(), products, groups, groupCount, rows, out);
}

void SumI64x8(const double* HWY_RESTRICT products, const TermGroup* HWY_RESTRICT groups, std::size_t groupCount,
              std::size_t rows, uint32_t* HWY_RESTRICT out)
{
    SumInIntegers<4>(hn::Full512<double>(), ToInt64(), products, groups, groupCount, rows, out);
}
#endif
#endif   // x86

// The variants this instruction set has, in KernelVariant order; null where
// it has none.
const KernelFunction* KernelTableImpl()
{
    static constexpr KernelFunction kTable[kKernelVariants] = {
        &SumF64x4,
#if QUORREL_KERNEL_AVX512
        &SumF64x8,
#else
        nullptr,
#endif
#if QUORREL_KERNEL_X86
        &SumI32x4,
#else
        nullptr,
#endif
#if QUORREL_KERNEL_AVX512
        &SumI32x8,
        &SumI64x4,
        &SumI64x8,
#else
        nullptr,
        nullptr,
        nullptr,
#endif
    };
    return kTable;
}

#undef QUORREL_KERNEL_X86
#undef QUORREL_KERNEL_AVX512

int64_t TargetImpl() { return HWY_TARGET; }

} // namespace HWY_NAMESPACE
} // namespace quorrel::render
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace quorrel::render {

HWY_EXPORT(KernelTableImpl);
HWY_EXPORT(TargetImpl);

namespace {

constexpr const char* kVariantNames[kKernelVariants] = {"f64x4", "f64x8", "i32x4", "i32x8", "i64x4", "i64x8"};

} // namespace

std::vector<KernelVariant> AllKernelVariants()
{
    std::vector<KernelVariant> variants;
    for (std::size_t i = 0; i < kKernelVariants; ++i)
        variants.push_back(static_cast<KernelVariant>(i));
    return variants;
}

const char* KernelVariantName(KernelVariant variant)
{
    const auto index = static_cast<std::size_t>(variant);
    return index < kKernelVariants ? kVariantNames[index] : "?";
}

std::optional<KernelVariant> KernelVariantFromName(std::string_view name)
{
    for (std::size_t i = 0; i < kKernelVariants; ++i) {
        if (name == kVariantNames[i])
            return static_cast<KernelVariant>(i);
    }
    return std::nullopt;
}

KernelFunction KernelFor(KernelVariant variant)
{
    const auto index = static_cast<std::size_t>(variant);
    return index < kKernelVariants ? HWY_DYNAMIC_DISPATCH(KernelTableImpl)()[index] : nullptr;
}

std::vector<KernelVariant> AvailableKernelVariants()
{
    const KernelFunction* table = HWY_DYNAMIC_DISPATCH(KernelTableImpl)();
    std::vector<KernelVariant> variants;
    for (std::size_t i = 0; i < kKernelVariants; ++i) {
        if (table[i])
            variants.push_back(static_cast<KernelVariant>(i));
    }
    return variants;
}

std::vector<int64_t> KernelTargets() { return hwy::SupportedAndGeneratedTargets(); }

int64_t KernelTarget() { return HWY_DYNAMIC_DISPATCH(TargetImpl)(); }

const char* KernelTargetName() { return hwy::TargetName(KernelTarget()); }

} // namespace quorrel::render
#endif
