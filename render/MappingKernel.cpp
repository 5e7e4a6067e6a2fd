// Compiled once per instruction set by Highway's foreach_target.

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "render/MappingKernel.cpp"
#include <hwy/foreach_target.h>   // IWYU pragma: keep

#include <hwy/highway.h>

#include "render/ColorMapping.h"
#include "render/MappingKernel.h"

HWY_BEFORE_NAMESPACE();
namespace quorrel::render {
namespace HWY_NAMESPACE {

namespace hn = hwy::HWY_NAMESPACE;

using DF = hn::CappedTag<double, 8>;
using DU = hn::Rebind<uint32_t, DF>;
using DI = hn::Rebind<int32_t, DF>;
using VU = hn::Vec<DU>;

// a mod d for d >= 1 (see MappingKernel.h), with the quotient estimated by
// a multiplication by 1/d instead of a division: the estimate is off by at
// most one (a / d is below 2^32 and the product's error below 2^-20), and
// one step each way puts the remainder, exact in doubles, into [0, d).
HWY_INLINE VU Remainder(VU a, double d, double reciprocal)
{
    const DF df;
    const DU du;
    const DI di;
    const auto sign = hn::Set(du, 0x80000000u);
    const auto offset = hn::Set(df, 2147483648.0);
    const auto value = hn::Add(hn::PromoteTo(df, hn::BitCast(di, hn::Xor(a, sign))), offset);
    const auto divisor = hn::Set(df, d);
    const auto quotient = hn::Floor(hn::Mul(value, hn::Set(df, reciprocal)));
    auto rest = hn::Sub(value, hn::Mul(quotient, divisor));   // -d .. 2d - 1, exact
    rest = hn::IfThenElse(hn::Lt(rest, hn::Zero(df)), hn::Add(rest, divisor), rest);
    rest = hn::IfThenElse(hn::Ge(rest, divisor), hn::Sub(rest, divisor), rest);
    return hn::Xor(hn::BitCast(du, hn::DemoteTo(di, hn::Sub(rest, offset))), sign);
}

// WrapCycledWith / WrapReflectedWith for low != high (unsigned steps).
HWY_INLINE VU Cycled(VU v, uint32_t low, uint32_t high)
{
    const DU du;
    const auto lo = hn::Set(du, low);
    const auto hi = hn::Set(du, high);
    const auto below = hn::Lt(v, lo);
    const auto above = hn::Gt(v, hi);
    const double d = double(high - low);
    const auto r = Remainder(hn::IfThenElse(below, hn::Sub(lo, v), hn::Sub(v, hi)), d, 1.0 / d);
    return hn::IfThenElse(below, hn::Sub(hi, r), hn::IfThenElse(above, hn::Add(lo, r), v));
}

HWY_INLINE VU Reflected(VU v, uint32_t low, uint32_t high)
{
    const DU du;
    const uint32_t topValue = 2u * high - low;
    const auto lo = hn::Set(du, low);
    const auto top = hn::Set(du, topValue);
    const auto below = hn::Lt(v, lo);
    const auto above = hn::Gt(v, top);
    const double d = double(topValue - low);
    const auto r = Remainder(hn::IfThenElse(below, hn::Sub(lo, v), hn::Sub(v, top)), d, 1.0 / d);
    v = hn::IfThenElse(below, hn::Sub(top, r), hn::IfThenElse(above, hn::Add(lo, r), v));
    return hn::IfThenElse(hn::Gt(v, hn::Set(du, high)), hn::Sub(hn::Set(du, 2u * high), v), v);
}

template <bool kReflected>
HWY_INLINE VU Wrap(VU v, uint32_t low, uint32_t high)
{
    return kReflected ? Reflected(v, low, high) : Cycled(v, low, high);
}

// WrapAcrossWith: the mode with bounds 0 and high + d, d = 255 - low.
template <bool kReflected>
HWY_INLINE VU Across(VU v, uint32_t low, uint32_t high)
{
    const DU du;
    const DI di;
    const uint32_t d = 255u - low;
    const auto shift = hn::Set(du, d);
    v = hn::Sub(Wrap<kReflected>(hn::Add(v, shift), 0, high + d), shift);
    const auto negative = hn::RebindMask(du, hn::Lt(hn::BitCast(di, v), hn::Zero(di)));
    return hn::IfThenElse(negative, hn::Add(v, hn::Set(du, 255u)), v);
}

template <bool kReflected, bool kAcross>
void MapRun(uint32_t low, uint32_t high, uint32_t* HWY_RESTRICT values, std::size_t count)
{
    const DU du;
    const std::size_t N = hn::Lanes(du);
    std::size_t i = 0;
    for (; i + N <= count; i += N) {
        const VU v = hn::LoadU(du, values + i);
        hn::StoreU(kAcross ? Across<kReflected>(v, low, high) : Wrap<kReflected>(v, low, high), du, values + i);
    }
    const PlainRemainder rem;
    for (; i < count; ++i) {
        auto wrap = [&](uint32_t x, uint32_t l, uint32_t h) {
            return kReflected ? WrapReflectedWith(x, l, h, rem) : WrapCycledWith(x, l, h, rem);
        };
        values[i] = kAcross ? WrapAcrossWith(wrap, values[i], low, high) : wrap(values[i], low, high);
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

} // namespace HWY_NAMESPACE
} // namespace quorrel::render
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace quorrel::render {

HWY_EXPORT(MapWrappedValuesImpl);

void MapWrappedValues(bool reflected, bool across, uint32_t low, uint32_t high, uint32_t* values, std::size_t count)
{
    HWY_DYNAMIC_DISPATCH(MapWrappedValuesImpl)(reflected, across, low, high, values, count);
}

} // namespace quorrel::render
#endif
