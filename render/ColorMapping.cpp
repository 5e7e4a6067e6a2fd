#include "ColorMapping.h"

#include "model/NumericConversions.h"

#include <cmath>

namespace quorrel::render {

uint32_t WrapCycled(uint32_t v, uint32_t low, uint32_t high)
{
    if (high == low)
        return low;
    if (v < low)
        return high - ((low - v) % (high - low));
    if (v > high)
        return low + ((v - high) % (high - low));
    return v;
}

uint32_t WrapReflected(uint32_t v, uint32_t low, uint32_t high)
{
    if (high == low)
        return low;
    const uint32_t top = 2u * high - low;
    const uint32_t period = top - low;
    if (v < low)
        v = top - ((low - v) % period);
    else if (v > top)
        v = low + ((v - top) % period);
    if (v > high)
        v = 2u * high - v;
    return v;
}

uint32_t WrapScaled(uint32_t v, uint32_t low, uint32_t high)
{
    // Both factors are stored as doubles before use.
    const double s = static_cast<double>(high - low) * 0.3183098861837907;
    const double m = static_cast<double>(high + low) * 0.5;
    const double scaled = std::atan(static_cast<double>(v) / 255.0) * s + m;
    return static_cast<uint32_t>(model::TruncToInt64(scaled));
}

uint32_t WrapAcross(WrapFunction wrap, uint32_t v, uint32_t low, uint32_t high)
{
    const uint32_t d = 255u - low;
    v = wrap(v + d, 0, high + d) - d;
    if (static_cast<int32_t>(v) < 0)
        v += 255u;
    return v;
}

ColorMapping::ColorMapping(int32_t wrapMode, uint32_t low, uint32_t high)
    : m_wrap(wrapMode == Reflected ? WrapReflected : wrapMode == Scaled ? WrapScaled : WrapCycled),
      m_low(low), m_high(high), m_across(low > high)
{
}

} // namespace quorrel::render
