// Compiled once per instruction set by Highway's foreach_target.

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "render/MappingKernel.cpp"
#include <hwy/foreach_target.h>   // IWYU pragma: keep

#include <hwy/highway.h>

#include <algorithm>

#include "render/ColorMapping.h"
#include "render/MappingKernel.h"

HWY_BEFORE_NAMESPACE();
namespace quorrel::render {
namespace HWY_NAMESPACE {

namespace hn = hwy::HWY_NAMESPACE;

using DU = hn::CappedTag<uint32_t, 16>;
using VU = hn::Vec<DU>;

// n % d with d's InvariantDivisor steps (see MappingKernel.h), the form
// fixed at compile time. The high halves of the 32 x 32-bit products come
// from two widening multiplications, of the even lanes and of the odd ones.
template <InvariantDivisor::Form kForm>
struct VectorDivisor {
    explicit VectorDivisor(const InvariantDivisor& d)
        : steps(d), divisor(hn::Set(DU(), d.divisor)), mask(hn::Set(DU(), d.divisor - 1)),
          factor(hn::Set(DU(), d.factor))
    {
    }

    VU Remainder(VU n) const
    {
        if constexpr (kForm == InvariantDivisor::PowerOfTwo) {
            return hn::And(n, mask);
        } else {
            const DU du;
#if HWY_TARGET == HWY_SCALAR
            // One lane: no wider lanes to multiply in.
            return hn::Set(du, steps.Remainder(hn::GetLane(n)));
#else
            const hn::RepartitionToWide<DU> dw;
            const auto even = hn::MulEven(n, factor);
            const auto odd = hn::MulEven(hn::BitCast(du, hn::ShiftRight<32>(hn::BitCast(dw, n))), factor);
            const VU t = hn::OddEven(hn::BitCast(du, odd), hn::BitCast(du, hn::ShiftRight<32>(even)));
            VU q;
            if constexpr (kForm == InvariantDivisor::Short)
                q = hn::ShiftRightSame(t, steps.shift);
            else
                q = hn::ShiftRightSame(hn::Add(t, hn::ShiftRight<1>(hn::Sub(n, t))), steps.shift - 1);
            return hn::Sub(n, hn::Mul(q, divisor));
#endif
        }
    }

    InvariantDivisor steps;
    VU divisor;
    VU mask;
    VU factor;
};

// WrapCycledWith / WrapReflectedWith for low != high (unsigned steps).
template <class Period>
HWY_INLINE VU Cycled(VU v, uint32_t low, uint32_t high, const Period& period)
{
    const DU du;
    const auto lo = hn::Set(du, low);
    const auto hi = hn::Set(du, high);
    const auto below = hn::Lt(v, lo);
    const auto above = hn::Gt(v, hi);
    const auto r = period.Remainder(hn::IfThenElse(below, hn::Sub(lo, v), hn::Sub(v, hi)));
    return hn::IfThenElse(below, hn::Sub(hi, r), hn::IfThenElse(above, hn::Add(lo, r), v));
}

template <class Period>
HWY_INLINE VU Reflected(VU v, uint32_t low, uint32_t high, const Period& period)
{
    const DU du;
    const uint32_t topValue = 2u * high - low;
    const auto lo = hn::Set(du, low);
    const auto top = hn::Set(du, topValue);
    const auto below = hn::Lt(v, lo);
    const auto above = hn::Gt(v, top);
    const auto r = period.Remainder(hn::IfThenElse(below, hn::Sub(lo, v), hn::Sub(v, top)));
    v = hn::IfThenElse(below, hn::Sub(top, r), hn::IfThenElse(above, hn::Add(lo, r), v));
    return hn::IfThenElse(hn::Gt(v, hn::Set(du, high)), hn::Sub(hn::Set(du, 2u * high), v), v);
}

template <bool kReflected, class Period>
HWY_INLINE VU Wrap(VU v, uint32_t low, uint32_t high, const Period& period)
{
    return kReflected ? Reflected(v, low, high, period) : Cycled(v, low, high, period);
}

// WrapAcrossWith: the mode with bounds 0 and high + d, d = 255 - low.
template <bool kReflected, class Period>
HWY_INLINE VU Across(VU v, uint32_t low, uint32_t high, const Period& period)
{
    const DU du;
    const hn::RebindToSigned<DU> di;
    const uint32_t d = 255u - low;
    const auto shift = hn::Set(du, d);
    v = hn::Sub(Wrap<kReflected>(hn::Add(v, shift), 0, high + d, period), shift);
    const auto negative = hn::RebindMask(du, hn::Lt(hn::BitCast(di, v), hn::Zero(di)));
    return hn::IfThenElse(negative, hn::Add(v, hn::Set(du, 255u)), v);
}

template <bool kReflected, bool kAcross, InvariantDivisor::Form kForm>
void MapRunWith(uint32_t low, uint32_t high, const InvariantDivisor& divisor, uint32_t* HWY_RESTRICT values,
                std::size_t count)
{
    const DU du;
    const std::size_t N = hn::Lanes(du);
    const VectorDivisor<kForm> period(divisor);
    std::size_t i = 0;
    for (; i + N <= count; i += N) {
        const VU v = hn::LoadU(du, values + i);
        hn::StoreU(kAcross ? Across<kReflected>(v, low, high, period) : Wrap<kReflected>(v, low, high, period), du,
                   values + i);
    }
    const PlainRemainder rem;
    for (; i < count; ++i) {
        auto wrap = [&](uint32_t x, uint32_t l, uint32_t h) {
            return kReflected ? WrapReflectedWith(x, l, h, rem) : WrapCycledWith(x, l, h, rem);
        };
        values[i] = kAcross ? WrapAcrossWith(wrap, values[i], low, high) : wrap(values[i], low, high);
    }
}

template <bool kReflected, bool kAcross>
void MapRun(uint32_t low, uint32_t high, uint32_t* HWY_RESTRICT values, std::size_t count)
{
    // The period the remainder is taken by (the inner bounds' for an
    // across range), in the form its divisor takes.
    const uint32_t innerLow = kAcross ? 0 : low;
    const uint32_t innerHigh = kAcross ? high + (255u - low) : high;
    const InvariantDivisor period(kReflected ? 2u * (innerHigh - innerLow) : innerHigh - innerLow);
    switch (period.form) {
    case InvariantDivisor::PowerOfTwo:
        return MapRunWith<kReflected, kAcross, InvariantDivisor::PowerOfTwo>(low, high, period, values, count);
    case InvariantDivisor::Short:
        return MapRunWith<kReflected, kAcross, InvariantDivisor::Short>(low, high, period, values, count);
    default:
        return MapRunWith<kReflected, kAcross, InvariantDivisor::Long>(low, high, period, values, count);
    }
}

void MapWrappedValuesImpl(bool reflected, bool across, uint32_t low, uint32_t high, uint32_t* HWY_RESTRICT values,
                          std::size_t count)
{
    // A zero-width range maps every value to one level (the inner bounds
    // of an across range are 0 and high + 255 - low).
    const uint32_t innerLow = across ? 0 : low;
    const uint32_t innerHigh = across ? high + (255u - low) : high;
    if (innerLow == innerHigh) {
        const PlainRemainder rem;
        const uint32_t level = across ? WrapAcrossWith([&](uint32_t x, uint32_t l, uint32_t h) {
            return WrapCycledWith(x, l, h, rem);
        }, 0, low, high) : low;
        std::fill_n(values, count, level);
        return;
    }
    if (reflected)
        across ? MapRun<true, true>(low, high, values, count) : MapRun<true, false>(low, high, values, count);
    else
        across ? MapRun<false, true>(low, high, values, count) : MapRun<false, false>(low, high, values, count);
}

template <InvariantDivisor::Form kForm>
void RemaindersWith(const InvariantDivisor& divisor, uint32_t* HWY_RESTRICT values, std::size_t count)
{
    const DU du;
    const std::size_t N = hn::Lanes(du);
    const VectorDivisor<kForm> d(divisor);
    std::size_t i = 0;
    for (; i + N <= count; i += N)
        hn::StoreU(d.Remainder(hn::LoadU(du, values + i)), du, values + i);
    if (i < count) {
        // The tail through the same vector steps, in a full vector.
        HWY_ALIGN uint32_t lanes[hn::MaxLanes(du)] = {};
        std::copy(values + i, values + count, lanes);
        hn::Store(d.Remainder(hn::Load(du, lanes)), du, lanes);
        std::copy(lanes, lanes + (count - i), values + i);
    }
}

void RemaindersInPlaceImpl(uint32_t divisor, uint32_t* HWY_RESTRICT values, std::size_t count)
{
    const InvariantDivisor d(divisor);
    switch (d.form) {
    case InvariantDivisor::PowerOfTwo:
        return RemaindersWith<InvariantDivisor::PowerOfTwo>(d, values, count);
    case InvariantDivisor::Short:
        return RemaindersWith<InvariantDivisor::Short>(d, values, count);
    default:
        return RemaindersWith<InvariantDivisor::Long>(d, values, count);
    }
}

} // namespace HWY_NAMESPACE
} // namespace quorrel::render
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace quorrel::render {

HWY_EXPORT(MapWrappedValuesImpl);
HWY_EXPORT(RemaindersInPlaceImpl);

void RemaindersInPlace(uint32_t divisor, uint32_t* values, std::size_t count)
{
    HWY_DYNAMIC_DISPATCH(RemaindersInPlaceImpl)(divisor, values, count);
}

void MapWrappedValues(bool reflected, bool across, uint32_t low, uint32_t high, uint32_t* values, std::size_t count)
{
    HWY_DYNAMIC_DISPATCH(MapWrappedValuesImpl)(reflected, across, low, high, values, count);
}

} // namespace quorrel::render
#endif
