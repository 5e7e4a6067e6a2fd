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

// At most four doubles a vector: kContinuousPadding is then a whole number
// of blocks of four vectors on every target, and four independent sums
// hide the latency of the additions.
using D = hn::CappedTag<double, 4>;

// Stores the sums of lanes [y, y + N) as doubles.
struct StoreDoubles {
    double* HWY_RESTRICT out;
    HWY_INLINE void operator()(hn::Vec<D> sum, std::size_t y) const { hn::StoreU(sum, D(), out + y); }
};

// Stores the low 32 bits of each sum truncated toward zero to 64 bits; a
// sum outside [-2^63, 2^63) or NaN gives 0, as model::TruncToInt64's
// INT64_MIN does.
struct StoreTruncated {
    uint32_t* HWY_RESTRICT out;
    HWY_INLINE void operator()(hn::Vec<D> sum, std::size_t y) const
    {
        const D d;
        const hn::Rebind<int64_t, D> di;
        const hn::Rebind<uint64_t, D> du;
        const hn::Rebind<uint32_t, D> d32;
        const auto limit = hn::Set(d, 9223372036854775808.0);
        const auto inRange = hn::And(hn::Ge(sum, hn::Neg(limit)), hn::Lt(sum, limit));
        const auto whole = hn::ConvertTo(di, hn::IfThenElseZero(inRange, sum));
        hn::StoreU(hn::TruncateTo(d32, hn::BitCast(du, whole)), d32, out + y);
    }
};

template <std::size_t kVectors, class Store>
HWY_INLINE void CombineBlock(const double* HWY_RESTRICT weights, const double* const* HWY_RESTRICT rows,
                             std::size_t count, std::size_t y, const Store& store)
{
    const D d;
    const std::size_t N = hn::Lanes(d);
    hn::Vec<D> s[kVectors];
    for (std::size_t v = 0; v < kVectors; ++v)
        s[v] = hn::Zero(d);
    for (std::size_t j = 0; j < count; ++j) {
        const auto w = hn::Set(d, weights[j]);
        const double* row = rows[j] + y;
        for (std::size_t v = 0; v < kVectors; ++v)
            s[v] = hn::Add(s[v], hn::Mul(w, hn::LoadU(d, row + v * N)));
    }
    for (std::size_t v = 0; v < kVectors; ++v)
        store(s[v], y + v * N);
}

template <class Store>
HWY_INLINE void Combine(const double* HWY_RESTRICT weights, const double* const* HWY_RESTRICT rows, std::size_t count,
                        std::size_t length, const Store& store)
{
    const std::size_t N = hn::Lanes(D());
    std::size_t y = 0;
    for (; y + 4 * N <= length; y += 4 * N)
        CombineBlock<4>(weights, rows, count, y, store);
    for (; y < length; y += N)
        CombineBlock<1>(weights, rows, count, y, store);
}

void CombineRowsImpl(const double* HWY_RESTRICT weights, const double* const* HWY_RESTRICT rows, std::size_t count,
                     std::size_t length, double* HWY_RESTRICT out)
{
    Combine(weights, rows, count, length, StoreDoubles{out});
}

void CombineRowsTruncatedImpl(const double* HWY_RESTRICT weights, const double* const* HWY_RESTRICT rows,
                              std::size_t count, std::size_t length, uint32_t* HWY_RESTRICT out)
{
    Combine(weights, rows, count, length, StoreTruncated{out});
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

void CombineRowsTruncated(const double* weights, const double* const* rows, std::size_t count, std::size_t length,
                          uint32_t* out)
{
    HWY_DYNAMIC_DISPATCH(CombineRowsTruncatedImpl)(weights, rows, count, length, out);
}

uint32_t TruncatedLow32(double v) { return static_cast<uint32_t>(model::TruncToInt64(v)); }

} // namespace quorrel::render
#endif
