#pragma once
// What happens to a pixel's six summed components after the series: each
// enabled or correlated component is mapped into its colour range, disabled
// Saturation and Luminosity take fixed levels, and the HSL colour is added to
// the RGB levels. Shared by every renderer so they cannot drift apart; inline
// because it runs once a pixel.

#include "ColorConversion.h"
#include "ColorMapping.h"
#include "model/TileParams.h"

#include <cstdint>

namespace quorrel::render {

class PixelFinish final {
public:
    explicit PixelFinish(const model::CTileParams& params);

    // `sums` holds the six 32-bit sums; returns the pixel as a colour value
    // 0x00BBGGRR (red in the low byte). Packed into one integer because
    // three separate bytes came back through memory, which stalled.
    uint32_t operator()(const uint32_t sums[model::kComponents]) const
    {
        using namespace model;
        uint32_t acc[kComponents];
        for (int c = 0; c < kComponents; ++c)
            acc[c] = m_mapped[c] ? m_mapping[c](sums[c]) : sums[c];
        if (!m_saturationEnabled)
            acc[Saturation] = 255;
        if (!m_luminosityEnabled)
            acc[Luminosity] = 127;
        if (m_anyHsl) {
            const Rgb32 rgb = HslToRgb(acc[Hue], acc[Saturation], acc[Luminosity]);
            acc[Red] = AddLevel(acc[Red], rgb.red);
            acc[Green] = AddLevel(acc[Green], rgb.green);
            acc[Blue] = AddLevel(acc[Blue], rgb.blue);
        }
        return (acc[Red] & 0xFFu) | (acc[Green] & 0xFFu) << 8 | (acc[Blue] & 0xFFu) << 16;
    }

private:
    // An RGB level plus an HSL level, brought back to 0..255 when above
    // (255 stays 255, 256 becomes 1).
    static uint32_t AddLevel(uint32_t level, uint32_t add)
    {
        level += add;
        return level > 255 ? level % 255 : level;
    }

    ColorMapping m_mapping[model::kComponents];
    bool m_mapped[model::kComponents];
    bool m_saturationEnabled;
    bool m_luminosityEnabled;
    bool m_anyHsl;
};

} // namespace quorrel::render
