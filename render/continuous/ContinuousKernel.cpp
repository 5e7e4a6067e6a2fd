// Compiled once per instruction set by Highway's foreach_target; the public
// entry points at the end pick the instruction set in use at run time.

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "render/continuous/ContinuousKernel.cpp"
#include <hwy/foreach_target.h>   // IWYU pragma: keep

#include <hwy/highway.h>

#include "model/NumericConversions.h"
#include "render/continuous/ContinuousKernel.h"

HWY_BEFORE_NAMESPACE();
namespace quorrel::render {
namespace HWY_NAMESPACE {

namespace hn = hwy::HWY_NAMESPACE;

// Up to eight doubles a vector (AVX-512); blocks of four vectors give four
// independent sums a column to hide the latency of the additions.
using D = hn::CappedTag<double, 8>;

// The low 32 bits of each sum truncated toward zero to 64 bits; a sum
// outside [-2^63, 2^63) or NaN gives 0, as model::TruncToInt64's INT64_MIN
// does.
HWY_INLINE void StoreTruncated(hn::Vec<D> sum, uint32_t* HWY_RESTRICT out)
{
    const D d;
    const hn::Rebind<int64_t, D> di;
    const hn::Rebind<uint64_t, D> du;
    const hn::Rebind<uint32_t, D> d32;
    const auto limit = hn::Set(d, 9223372036854775808.0);
    const auto inRange = hn::And(hn::Ge(sum, hn::Neg(limit)), hn::Lt(sum, limit));
    const auto whole = hn::ConvertTo(di, hn::IfThenElseZero(inRange, sum));
    hn::StoreU(hn::TruncateTo(d32, hn::BitCast(du, whole)), d32, out);
}

// `kVectors` vectors of rows from y on, for `kColumns` sets of weights at
// once (each `count` long, `stride` apart): every row vector is loaded once
// for all of them. Each lane adds its terms one after the other in j order.
template <std::size_t kVectors, std::size_t kColumns>
HWY_INLINE void CombineBlock(const double* HWY_RESTRICT weights, std::size_t stride,
                             const double* const* HWY_RESTRICT rows, std::size_t count, std::size_t y,
                             hn::Vec<D> (&s)[kColumns][kVectors])
{
    const D d;
    const std::size_t N = hn::Lanes(d);
    for (std::size_t c = 0; c < kColumns; ++c)
        for (std::size_t v = 0; v < kVectors; ++v)
            s[c][v] = hn::Zero(d);
    for (std::size_t j = 0; j < count; ++j) {
        const double* row = rows[j] + y;
        hn::Vec<D> r[kVectors];
        for (std::size_t v = 0; v < kVectors; ++v)
            r[v] = hn::LoadU(d, row + v * N);
        for (std::size_t c = 0; c < kColumns; ++c) {
            const auto w = hn::Set(d, weights[c * stride + j]);
            for (std::size_t v = 0; v < kVectors; ++v)
                s[c][v] = hn::Add(s[c][v], hn::Mul(w, r[v]));
        }
    }
}

void CombineRowsImpl(const double* HWY_RESTRICT weights, const double* const* HWY_RESTRICT rows, std::size_t count,
                     std::size_t length, double* HWY_RESTRICT out)
{
    const std::size_t N = hn::Lanes(D());
    std::size_t y = 0;
    for (; y + 4 * N <= length; y += 4 * N) {
        hn::Vec<D> s[1][4];
        CombineBlock<4, 1>(weights, count, rows, count, y, s);
        for (std::size_t v = 0; v < 4; ++v)
            hn::StoreU(s[0][v], D(), out + y + v * N);
    }
    for (; y < length; y += N) {
        hn::Vec<D> s[1][1];
        CombineBlock<1, 1>(weights, count, rows, count, y, s);
        hn::StoreU(s[0][0], D(), out + y);
    }
}

// Rows from position start + y on, written from out[y] on.
template <std::size_t kVectors, std::size_t kColumns>
HWY_INLINE void TruncatedBlock(const double* HWY_RESTRICT weights, const double* const* HWY_RESTRICT rows,
                               std::size_t count, std::size_t start, std::size_t y, uint32_t* HWY_RESTRICT out,
                               std::size_t outStride)
{
    const std::size_t N = hn::Lanes(D());
    hn::Vec<D> s[kColumns][kVectors];
    CombineBlock<kVectors, kColumns>(weights, count, rows, count, start + y, s);
    for (std::size_t c = 0; c < kColumns; ++c)
        for (std::size_t v = 0; v < kVectors; ++v)
            StoreTruncated(s[c][v], out + c * outStride + y + v * N);
}

// Row blocks outside, columns inside: a block of every row (count x 4N
// doubles) stays in the first-level cache while all columns use it.
void CombineRowsTruncatedImpl(const double* HWY_RESTRICT weights, const double* const* HWY_RESTRICT rows,
                              std::size_t count, std::size_t start, std::size_t length, std::size_t columns,
                              uint32_t* HWY_RESTRICT out,
                              std::size_t outStride)
{
    const std::size_t N = hn::Lanes(D());
    std::size_t y = 0;
    for (; y + 4 * N <= length; y += 4 * N) {
        std::size_t c = 0;
#if HWY_ARCH_X86 && HWY_TARGET <= HWY_AVX3
        // 32 registers: four columns' sums stay in them beside the rows.
        for (; c + 4 <= columns; c += 4)
            TruncatedBlock<4, 4>(weights + c * count, rows, count, start, y, out + c * outStride, outStride);
#endif
        for (; c + 2 <= columns; c += 2)
            TruncatedBlock<4, 2>(weights + c * count, rows, count, start, y, out + c * outStride, outStride);
        if (c < columns)
            TruncatedBlock<4, 1>(weights + c * count, rows, count, start, y, out + c * outStride, outStride);
    }
    for (; y < length; y += N) {
        for (std::size_t c = 0; c < columns; ++c)
            TruncatedBlock<1, 1>(weights + c * count, rows, count, start, y, out + c * outStride, outStride);
    }
}

} // namespace HWY_NAMESPACE
} // namespace quorrel::render
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace quorrel::render {

HWY_EXPORT(CombineRowsImpl);
HWY_EXPORT(CombineRowsTruncatedImpl);

void CombineRows(const double* weights, const double* const* rows, std::size_t count, std::size_t length, double* out)
{
    HWY_DYNAMIC_DISPATCH(CombineRowsImpl)(weights, rows, count, length, out);
}

void CombineRowsTruncated(const double* weights, const double* const* rows, std::size_t count, std::size_t start,
                          std::size_t length, std::size_t columns, uint32_t* out, std::size_t outStride)
{
    HWY_DYNAMIC_DISPATCH(CombineRowsTruncatedImpl)(weights, rows, count, start, length, columns, out, outStride);
}

uint32_t TruncatedLow32(double v) { return static_cast<uint32_t>(model::TruncToInt64(v)); }

} // namespace quorrel::render
#endif
