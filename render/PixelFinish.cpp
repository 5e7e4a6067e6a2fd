#include "PixelFinish.h"

#include "ColorConversion.h"

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

std::array<uint8_t, 3> PixelFinish::operator()(uint32_t acc[kComponents]) const
{
    for (int c = 0; c < kComponents; ++c) {
        if (m_mapped[c])
            acc[c] = m_mapping[c](acc[c]);
    }
    if (!m_saturationEnabled)
        acc[Saturation] = 255;
    if (!m_luminosityEnabled)
        acc[Luminosity] = 127;
    if (m_anyHsl) {
        const Rgb32 rgb = HslToRgb(acc[Hue], acc[Saturation], acc[Luminosity]);
        const uint32_t levels[3] = {rgb.red, rgb.green, rgb.blue};
        for (int c = 0; c < 3; ++c) {
            acc[c] += levels[c];
            if (acc[c] > 255)
                acc[c] %= 255;
        }
    }
    return {static_cast<uint8_t>(acc[Red]), static_cast<uint8_t>(acc[Green]), static_cast<uint8_t>(acc[Blue])};
}

} // namespace quorrel::render
