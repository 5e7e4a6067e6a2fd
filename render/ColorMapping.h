#pragma once
// The wrap modes that bring a component's 32-bit sum into its colour range.
// All arithmetic is unsigned 32-bit with wrap, exactly as the pixels need.
// Defined here, inline, because they run for every pixel of every renderer.

#include "MappingKernel.h"
#include "model/NumericConversions.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace quorrel::render {

enum WrapMode : int32_t { Cycled = 0, Reflected = 1, Scaled = 2 };

// The remainder a % d, the plain way.
struct PlainRemainder {
    uint32_t operator()(uint32_t a, uint32_t d) const { return a % d; }
};

// The remainder by one divisor fixed in advance, as a multiplication
// (M = ceil(2^64 / d); (M * a mod 2^64) * d / 2^64 is a % d for every 32-bit
// a and d >= 1). A renderer maps millions of values with the same bounds,
// and a hardware division costs far more than the two multiplications.
class FixedRemainder {
public:
    FixedRemainder() = default;
    explicit FixedRemainder(uint32_t divisor)
        : m_divisor(divisor), m_factor(divisor ? UINT64_MAX / divisor + 1 : 0)
    {
    }
    uint32_t operator()(uint32_t a, uint32_t d) const
    {
        if (d != m_divisor || d == 0)
            return a % d;
        const uint64_t low = m_factor * a;
        return static_cast<uint32_t>((static_cast<unsigned __int128>(low) * d) >> 64);
    }

private:
    uint32_t m_divisor = 0;
    uint64_t m_factor = 0;
};

// A zero-width range (low == high) maps every value to that one level: the
// plain formulas would take a remainder modulo 0 (Cycled) or fall one level
// below the range (Reflected).
template <class Remainder>
inline uint32_t WrapCycledWith(uint32_t v, uint32_t low, uint32_t high, const Remainder& rem)
{
    if (high == low)
        return low;
    if (v < low)
        return high - rem(low - v, high - low);
    if (v > high)
        return low + rem(v - high, high - low);
    return v;
}

template <class Remainder>
inline uint32_t WrapReflectedWith(uint32_t v, uint32_t low, uint32_t high, const Remainder& rem)
{
    if (high == low)
        return low;
    const uint32_t top = 2u * high - low;
    const uint32_t period = top - low;
    if (v < low)
        v = top - rem(low - v, period);
    else if (v > top)
        v = low + rem(v - top, period);
    if (v > high)
        v = 2u * high - v;
    return v;
}

inline uint32_t WrapCycled(uint32_t v, uint32_t low, uint32_t high)
{
    return WrapCycledWith(v, low, high, PlainRemainder{});
}

inline uint32_t WrapReflected(uint32_t v, uint32_t low, uint32_t high)
{
    return WrapReflectedWith(v, low, high, PlainRemainder{});
}

inline uint32_t WrapScaled(uint32_t v, uint32_t low, uint32_t high)
{
    // Both factors are stored as doubles before use.
    const double s = static_cast<double>(high - low) * 0.3183098861837907;
    const double m = static_cast<double>(high + low) * 0.5;
    const double scaled = std::atan(static_cast<double>(v) / 255.0) * s + m;
    return static_cast<uint32_t>(model::TruncToInt64(scaled));
}

using WrapFunction = uint32_t (*)(uint32_t, uint32_t, uint32_t);

// A range with low > high runs from low up through 255 and on from 0 to
// high: the mode's function `wrap` (any callable (v, low, high)) is applied
// with bounds 0 and high + d, d = 255 - low.
template <class Wrap>
inline uint32_t WrapAcrossWith(const Wrap& wrap, uint32_t v, uint32_t low, uint32_t high)
{
    const uint32_t d = 255u - low;
    v = wrap(v + d, 0, high + d) - d;
    if (static_cast<int32_t>(v) < 0)
        v += 255u;
    return v;
}

inline uint32_t WrapAcross(WrapFunction wrap, uint32_t v, uint32_t low, uint32_t high)
{
    return WrapAcrossWith(wrap, v, low, high);
}

// The mapping of one component, chosen once per rendering, with the
// remainder of its range worked out in advance.
class ColorMapping final {
public:
    ColorMapping() = default;
    ColorMapping(int32_t wrapMode, uint32_t low, uint32_t high)
        : m_mode(wrapMode == Reflected ? Reflected : wrapMode == Scaled ? Scaled : Cycled),
          m_low(low), m_high(high), m_across(low > high)
    {
        // The bounds the mode's function sees.
        const uint32_t innerLow = m_across ? 0 : low;
        const uint32_t innerHigh = m_across ? high + (255u - low) : high;
        const uint32_t divisor = m_mode == Reflected ? (2u * innerHigh - innerLow) - innerLow : innerHigh - innerLow;
        m_remainder = FixedRemainder(divisor);
    }

    uint32_t operator()(uint32_t v) const
    {
        switch (m_mode) {
        case Reflected:
            return Apply([this](uint32_t x, uint32_t l, uint32_t h) { return WrapReflectedWith(x, l, h, m_remainder); }, v);
        case Scaled:
            return Apply(WrapScaled, v);
        default:
            return Apply([this](uint32_t x, uint32_t l, uint32_t h) { return WrapCycledWith(x, l, h, m_remainder); }, v);
        }
    }

    // Maps values[0..count) in place, with the choice of function made once.
    // Runs of Cycled and Reflected values go through the vector form; the
    // members are copied first for the rest: stores through `values` could
    // otherwise alias them and force a reload for every value.
    void MapAll(uint32_t* values, std::size_t count) const
    {
        if (m_mode != Scaled && count >= kVectorRun) {
            MapWrappedValues(m_mode == Reflected, m_across, m_low, m_high, values, count);
            return;
        }
        const FixedRemainder rem = m_remainder;
        switch (m_mode) {
        case Reflected:
            return ApplyAll([rem](uint32_t x, uint32_t l, uint32_t h) { return WrapReflectedWith(x, l, h, rem); },
                            values, count);
        case Scaled:
            return ApplyAll(WrapScaled, values, count);
        default:
            return ApplyAll([rem](uint32_t x, uint32_t l, uint32_t h) { return WrapCycledWith(x, l, h, rem); }, values,
                            count);
        }
    }

private:
    static constexpr std::size_t kVectorRun = 8;

    template <class Wrap>
    void ApplyAll(const Wrap& wrap, uint32_t* values, std::size_t count) const
    {
        const uint32_t low = m_low, high = m_high;
        if (m_across) {
            for (std::size_t i = 0; i < count; ++i)
                values[i] = WrapAcrossWith(wrap, values[i], low, high);
        } else {
            for (std::size_t i = 0; i < count; ++i)
                values[i] = wrap(values[i], low, high);
        }
    }

    template <class Wrap>
    uint32_t Apply(const Wrap& wrap, uint32_t v) const
    {
        return m_across ? WrapAcrossWith(wrap, v, m_low, m_high) : wrap(v, m_low, m_high);
    }

    WrapMode m_mode = Cycled;
    uint32_t m_low = 0, m_high = 255;
    bool m_across = false;
    FixedRemainder m_remainder;
};

} // namespace quorrel::render
