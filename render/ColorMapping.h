#pragma once
// The wrap modes that bring a component's 32-bit sum into its colour range.
// All arithmetic is unsigned 32-bit with wrap, exactly as the pixels need.

#include <cstdint>

namespace quorrel::render {

enum WrapMode : int32_t { Cycled = 0, Reflected = 1, Scaled = 2 };

// A zero-width range (low == high) maps every value to that one level: the
// plain formulas would take a remainder modulo 0 (Cycled) or fall one level
// below the range (Reflected).
uint32_t WrapCycled(uint32_t v, uint32_t low, uint32_t high);
uint32_t WrapReflected(uint32_t v, uint32_t low, uint32_t high);
uint32_t WrapScaled(uint32_t v, uint32_t low, uint32_t high);

using WrapFunction = uint32_t (*)(uint32_t, uint32_t, uint32_t);

// A range with low > high runs from low up through 255 and on from 0 to high.
uint32_t WrapAcross(WrapFunction wrap, uint32_t v, uint32_t low, uint32_t high);

// The mapping of one component, chosen once per rendering.
class ColorMapping final {
public:
    ColorMapping() = default;
    ColorMapping(int32_t wrapMode, uint32_t low, uint32_t high);
    uint32_t operator()(uint32_t v) const
    {
        return m_across ? WrapAcross(m_wrap, v, m_low, m_high) : m_wrap(v, m_low, m_high);
    }

private:
    WrapFunction m_wrap = WrapCycled;
    uint32_t m_low = 0, m_high = 255;
    bool m_across = false;
};

} // namespace quorrel::render
