// Compiled once per instruction set by Highway's foreach_target.
//
// The vector form of HslToRgb for inputs 0..255, in integer steps: m1, m2
// and the levels lie in 0..255, every numerator divided by 255 lies in
// 0..255 x 255, and Div255 divides such numbers exactly without a division.
// Runs go through 16-bit lanes (twice the pixels a vector), their ends and
// the one-lane target through 32-bit ones; both are tested for every
// combination of levels on every instruction set.

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "render/HslKernel.cpp"
#include <hwy/foreach_target.h>   // IWYU pragma: keep

#include <hwy/highway.h>

#include "render/ColorConversion.h"
#include "render/HslKernel.h"

HWY_BEFORE_NAMESPACE();
namespace quorrel::render {
namespace HWY_NAMESPACE {

namespace hn = hwy::HWY_NAMESPACE;

using DI = hn::CappedTag<int32_t, 16>;

// x / 255 rounded down, for 0 <= x < 2^16 (levels 0..255 give at most
// 255 x 255): (x * 32897) / 2^23, in two steps instead of a division.
// Exact: 32897 * 255 = 2^23 + e with e = 127, so for x = 255 q + r
// (0 <= r < 255) x * 32897 / 2^23 = q + (r + x e / 2^23) / 255, where
// x e / 2^23 < 2^16 2^7 / 2^23 = 1 keeps the fraction below 1. The product
// stays below 2^31.
HWY_INLINE hn::Vec<DI> Div255(hn::Vec<DI> x)
{
    return hn::ShiftRight<23>(hn::Mul(x, hn::Set(DI(), 32897)));
}

// One channel: m1 + (m2 - m1) * w / 255 with the hue's weight w on a 0..255
// scale, as HueToChannel computes it.
HWY_INLINE hn::Vec<DI> Channel(hn::Vec<DI> m1, hn::Vec<DI> m2, hn::Vec<DI> hue)
{
    const DI di;
    hue = hn::And(hue, hn::Set(di, 0xFFFF));
    hue = hn::IfThenElse(hn::Gt(hue, hn::Set(di, 255)), hn::Sub(hue, hn::Set(di, 255)), hue);
    // Rising 6 a step to 42, flat 255 over 43..127, falling from 169, 0
    // from 170 on.
    const auto six = hn::Add(hn::ShiftLeft<2>(hue), hn::ShiftLeft<1>(hue));
    auto weight = hn::Min(six, hn::Sub(hn::Set(di, 1020), six));
    weight = hn::Max(hn::Min(weight, hn::Set(di, 255)), hn::Zero(di));
    return Div255(hn::Add(hn::Sub(hn::ShiftLeft<8>(m1), m1), hn::Mul(hn::Sub(m2, m1), weight)));
}

#if HWY_TARGET != HWY_SCALAR
// The same steps in 16-bit lanes, twice as many pixels a vector: for
// levels 0..255 every quantity above fits 16 bits (the numerators below
// 2^16, the six-fold hue below 2^11).
using D16 = hn::CappedTag<uint16_t, 32>;
using V16 = hn::Vec<D16>;

// x / 255 rounded down for every 16-bit x: the high half of x * 32897,
// shifted by 7 (Div255's steps, the product's low half not needed).
HWY_INLINE V16 Div255(V16 x)
{
    return hn::ShiftRight<7>(hn::MulHigh(x, hn::Set(D16(), 32897)));
}

HWY_INLINE V16 Channel(V16 m1, V16 m2, V16 hue)
{
    const D16 d;
    const hn::RebindToSigned<D16> di;
    const auto k255 = hn::Set(d, 255);
    hue = hn::IfThenElse(hn::Gt(hue, k255), hn::Sub(hue, k255), hue);
    // A hue still above 255 (from h - 85 below 0) has weight 0; for the
    // others the six-fold hue fits, and the weight as in the 32-bit steps.
    const auto six = hn::BitCast(di, hn::Add(hn::ShiftLeft<2>(hue), hn::ShiftLeft<1>(hue)));
    auto weight = hn::Min(six, hn::Sub(hn::Set(di, 1020), six));
    weight = hn::Max(hn::Min(weight, hn::Set(di, 255)), hn::Zero(di));
    const auto w = hn::IfThenElseZero(hn::Lt(hue, hn::Set(d, 256)), hn::BitCast(d, weight));
    // m1 * 255 + (m2 - m1) * w = m1 (255 - w) + m2 w <= 255 * 255: exact in
    // 16 bits whatever the intermediate steps wrap to.
    return Div255(hn::Add(hn::Sub(hn::ShiftLeft<8>(m1), m1), hn::Mul(hn::Sub(m2, m1), w)));
}

// N 32-bit levels from `from` on as N 16-bit lanes (their low halves).
HWY_INLINE V16 Load16(const uint32_t* HWY_RESTRICT from)
{
    const D16 d;
    const hn::RepartitionToWide<D16> d32;
    const std::size_t half = hn::Lanes(d32);
    return hn::ConcatEven(d, hn::BitCast(d, hn::LoadU(d32, from + half)), hn::BitCast(d, hn::LoadU(d32, from)));
}
#endif

bool HslToPackedLevelsImpl(const uint32_t* HWY_RESTRICT hue, const uint32_t* HWY_RESTRICT saturation,
                           const uint32_t* HWY_RESTRICT luminosity, std::size_t count, uint32_t* HWY_RESTRICT packed)
{
    const DI di;
    const std::size_t N = hn::Lanes(di);
    auto levels = hn::Zero(di);   // every input or'ed together
    std::size_t i = 0;
    bool wideInRange = true;
#if HWY_TARGET != HWY_SCALAR
    {
        const D16 d;
        const hn::RepartitionToWide<D16> d32;
        const std::size_t N16 = hn::Lanes(d);
        const std::size_t half = hn::Lanes(d32);
        auto wide = hn::Zero(d32);   // every input or'ed together
        for (; i + N16 <= count; i += N16) {
            // Lanes with inputs above 255 give garbage here; the caller
            // redoes them.
            for (const uint32_t* input : {hue + i, saturation + i, luminosity + i})
                wide = hn::Or(wide, hn::Or(hn::LoadU(d32, input), hn::LoadU(d32, input + half)));
            const V16 h = Load16(hue + i);
            const V16 s = Load16(saturation + i);
            const V16 l = Load16(luminosity + i);
            const V16 product = Div255(hn::Mul(l, s));
            const V16 dark = hn::Add(l, product);
            const V16 light = hn::Sub(hn::Add(l, s), product);
            const V16 m2 = hn::IfThenElse(hn::Gt(l, hn::Set(d, 127)), light, dark);
            const V16 m1 = hn::Sub(hn::Add(l, l), m2);
            const auto grey = hn::Eq(s, hn::Zero(d));
            const V16 red = hn::IfThenElse(grey, l, Channel(m1, m2, hn::Add(h, hn::Set(d, 85))));
            const V16 green = hn::IfThenElse(grey, l, Channel(m1, m2, h));
            const V16 blue = hn::IfThenElse(grey, l, Channel(m1, m2, hn::Sub(h, hn::Set(d, 85))));
            const V16 redGreen = hn::Or(red, hn::ShiftLeft<8>(green));
            const hn::Half<D16> dh;
            const auto lower = hn::Or(hn::PromoteTo(d32, hn::LowerHalf(dh, redGreen)),
                                      hn::ShiftLeft<16>(hn::PromoteTo(d32, hn::LowerHalf(dh, blue))));
            const auto upper = hn::Or(hn::PromoteTo(d32, hn::UpperHalf(dh, redGreen)),
                                      hn::ShiftLeft<16>(hn::PromoteTo(d32, hn::UpperHalf(dh, blue))));
            hn::StoreU(lower, d32, packed + i);
            hn::StoreU(upper, d32, packed + i + half);
        }
        wideInRange = hn::AllTrue(d32, hn::Eq(hn::And(wide, hn::Set(d32, ~0xFFu)), hn::Zero(d32)));
    }
#endif
    for (; i + N <= count; i += N) {
        // Lanes with inputs above 255 give garbage here; the caller redoes
        // them. The casts only reinterpret the bits.
        const auto h = hn::LoadU(di, reinterpret_cast<const int32_t*>(hue + i));
        const auto s = hn::LoadU(di, reinterpret_cast<const int32_t*>(saturation + i));
        const auto l = hn::LoadU(di, reinterpret_cast<const int32_t*>(luminosity + i));
        levels = hn::Or(levels, hn::Or(h, hn::Or(s, l)));
        // (s + 255) l / 255 = l + l s / 255 and l + s - l s / 255: one
        // quotient for both.
        const auto product = Div255(hn::Mul(l, s));
        const auto dark = hn::Add(l, product);
        const auto light = hn::Sub(hn::Add(l, s), product);
        const auto m2 = hn::IfThenElse(hn::Gt(l, hn::Set(di, 127)), light, dark);
        const auto m1 = hn::Sub(hn::Add(l, l), m2);
        auto red = Channel(m1, m2, hn::Add(h, hn::Set(di, 85)));
        auto green = Channel(m1, m2, h);
        auto blue = Channel(m1, m2, hn::Sub(h, hn::Set(di, 85)));
        // Saturation 0: grey of the luminosity.
        const auto grey = hn::Eq(s, hn::Zero(di));
        red = hn::IfThenElse(grey, l, red);
        green = hn::IfThenElse(grey, l, green);
        blue = hn::IfThenElse(grey, l, blue);
        const auto out = hn::Or(red, hn::Or(hn::ShiftLeft<8>(green), hn::ShiftLeft<16>(blue)));
        hn::StoreU(out, di, reinterpret_cast<int32_t*>(packed + i));
    }
    bool inRange = wideInRange && hn::AllTrue(di, hn::Eq(hn::And(levels, hn::Set(di, ~0xFF)), hn::Zero(di)));
    for (; i < count; ++i) {
        if ((hue[i] | saturation[i] | luminosity[i]) > 255) {
            inRange = false;
            continue;
        }
        const Rgb32 rgb = HslToRgb(hue[i], saturation[i], luminosity[i]);
        packed[i] = rgb.red | rgb.green << 8 | rgb.blue << 16;
    }
    return inRange;
}

// level + add for both 0..255, reduced as the RGB addition rule does: above
// 255 the remainder modulo 255 (256..509 less 255, 510 is 0).
HWY_INLINE hn::Vec<DI> AddLevel(hn::Vec<DI> level, hn::Vec<DI> add)
{
    const DI di;
    const auto sum = hn::Add(level, add);
    const auto k255 = hn::Set(di, 255);
    const auto once = hn::IfThenElse(hn::Gt(sum, k255), hn::Sub(sum, k255), sum);
    return hn::IfThenElse(hn::Eq(once, k255), hn::IfThenElse(hn::Gt(sum, k255), hn::Zero(di), once), once);
}

bool AddPackedLevelsImpl(const uint32_t* HWY_RESTRICT red, const uint32_t* HWY_RESTRICT green,
                         const uint32_t* HWY_RESTRICT blue, std::size_t count, uint32_t* HWY_RESTRICT packed)
{
    const DI di;
    const std::size_t N = hn::Lanes(di);
    const auto low = hn::Set(di, 0xFF);
    auto levels = hn::Zero(di);   // every RGB level or'ed together
    std::size_t i = 0;
    for (; i + N <= count; i += N) {
        const auto p = hn::LoadU(di, reinterpret_cast<const int32_t*>(packed + i));
        const auto redIn = hn::LoadU(di, reinterpret_cast<const int32_t*>(red + i));
        const auto greenIn = hn::LoadU(di, reinterpret_cast<const int32_t*>(green + i));
        const auto blueIn = hn::LoadU(di, reinterpret_cast<const int32_t*>(blue + i));
        levels = hn::Or(levels, hn::Or(redIn, hn::Or(greenIn, blueIn)));
        const auto r = AddLevel(redIn, hn::And(p, low));
        const auto g = AddLevel(greenIn, hn::And(hn::ShiftRight<8>(p), low));
        const auto b = AddLevel(blueIn, hn::And(hn::ShiftRight<16>(p), low));
        const auto out = hn::Or(r, hn::Or(hn::ShiftLeft<8>(g), hn::ShiftLeft<16>(b)));
        hn::StoreU(out, di, reinterpret_cast<int32_t*>(packed + i));
    }
    bool inRange = hn::AllTrue(di, hn::Eq(hn::And(levels, hn::Set(di, ~0xFF)), hn::Zero(di)));
    for (; i < count; ++i) {
        inRange = inRange && (red[i] | green[i] | blue[i]) <= 255;
        auto add = [](uint32_t level, uint32_t hsl) {
            level += hsl;
            return level > 255 ? level % 255 : level;
        };
        packed[i] = add(red[i], packed[i] & 0xFF) | add(green[i], packed[i] >> 8 & 0xFF) << 8 |
                    add(blue[i], packed[i] >> 16 & 0xFF) << 16;
    }
    return inRange;
}

} // namespace HWY_NAMESPACE
} // namespace quorrel::render
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace quorrel::render {

HWY_EXPORT(HslToPackedLevelsImpl);
HWY_EXPORT(AddPackedLevelsImpl);

bool AddPackedLevels(const uint32_t* red, const uint32_t* green, const uint32_t* blue, std::size_t count,
                     uint32_t* packed)
{
    return HWY_DYNAMIC_DISPATCH(AddPackedLevelsImpl)(red, green, blue, count, packed);
}

bool HslToPackedLevels(const uint32_t* hue, const uint32_t* saturation, const uint32_t* luminosity, std::size_t count,
                       uint32_t* packed)
{
    return HWY_DYNAMIC_DISPATCH(HslToPackedLevelsImpl)(hue, saturation, luminosity, count, packed);
}

} // namespace quorrel::render
#endif
