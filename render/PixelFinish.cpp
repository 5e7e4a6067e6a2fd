#include "PixelFinish.h"

namespace quorrel::render {

using namespace model;

PixelFinish::PixelFinish(const CTileParams& p)
{
    m_saturationEnabled = p.m_bEnabled[Saturation] != 0;
    m_luminosityEnabled = p.m_bEnabled[Luminosity] != 0;
    m_anyHsl = p.m_bEnabled[Hue] || m_saturationEnabled || m_luminosityEnabled;
    for (int c = 0; c < kComponents; ++c) {
        m_mapping[c] = ColorMapping(p.m_nWrapMode[c], p.m_nColorLow[c], p.m_nColorHigh[c]);
        // A component is mapped when enabled or correlated, unless its level
        // is not used: Hue without HSL, a disabled Saturation or Luminosity
        // (a fixed level instead).
        const bool used = c < Hue || (c == Hue ? m_anyHsl : p.m_bEnabled[c] != 0);
        m_mapped[c] = used && (p.m_bEnabled[c] || p.IsCorrelated(c));
    }
}

} // namespace quorrel::render
