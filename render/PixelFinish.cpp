#include "PixelFinish.h"

namespace quorrel::render {

using namespace model;

PixelFinish::PixelFinish(const CTileParams& p)
{
    for (int c = 0; c < kComponents; ++c) {
        m_mapping[c] = ColorMapping(p.m_nWrapMode[c], p.m_nColorLow[c], p.m_nColorHigh[c]);
        m_mapped[c] = p.m_bEnabled[c] || p.IsCorrelated(c);
    }
    m_saturationEnabled = p.m_bEnabled[Saturation] != 0;
    m_luminosityEnabled = p.m_bEnabled[Luminosity] != 0;
    m_anyHsl = p.m_bEnabled[Hue] || m_saturationEnabled || m_luminosityEnabled;
}

} // namespace quorrel::render
