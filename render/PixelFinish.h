#pragma once
// What happens to a pixel's six summed components after the series: each
// enabled or correlated component is mapped into its colour range, disabled
// Saturation and Luminosity take fixed levels, and the HSL colour is added to
// the RGB levels. Shared by every renderer so they cannot drift apart; inline
// because it runs once a pixel.

#include "ColorConversion.h"
#include "ColorMapping.h"
#include "HslKernel.h"
#include "model/TileParams.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace quorrel::render {

class PixelFinish final {
public:
    explicit PixelFinish(const model::CTileParams& params);

    // Finishes `count` pixels at once: sums[c][i] is component c's 32-bit
    // sum of pixel i (the arrays are used as scratch space and changed);
    // colours[i] receives the pixel as a colour value 0x00BBGGRR (red in
    // the low byte). Working through one step for all pixels before the next
    // keeps each loop small and its choices (wrap mode, order of bounds)
    // made once. Components in the bit mask `settled` (bit c for component
    // c) have one sum for every pixel, already settled (Settled(c, sum) in
    // each entry), and are left as they are: a renderer whose sums of a
    // component are all one value settles them once, not for every run.
    void Run(uint32_t* const sums[model::kComponents], std::size_t count, uint32_t* colours,
             unsigned settled = 0) const
    {
        using namespace model;
        for (int c = 0; c < kComponents; ++c) {
            if (m_mapped[c] && !(settled >> c & 1))
                m_mapping[c].MapAll(sums[c], count);
        }
        const uint32_t* red = sums[Red];
        const uint32_t* green = sums[Green];
        const uint32_t* blue = sums[Blue];
        if (m_anyHsl) {
            const uint32_t* hue = sums[Hue];
            const uint32_t* saturation = sums[Saturation];
            const uint32_t* luminosity = sums[Luminosity];
            if (!m_saturationEnabled && !(settled >> Saturation & 1))
                std::fill_n(sums[Saturation], count, 255u);
            if (!m_luminosityEnabled && !(settled >> Luminosity & 1))
                std::fill_n(sums[Luminosity], count, 127u);
            // Runs of pixels go through the vector conversion and addition,
            // right for every pixel whose six levels are 0..255; the rest
            // are finished one by one.
            auto finishOne = [&](std::size_t i) {
                const Rgb32 rgb = HslToRgb(hue[i], saturation[i], luminosity[i]);
                colours[i] = (AddLevel(red[i], rgb.red) & 0xFFu) | (AddLevel(green[i], rgb.green) & 0xFFu) << 8 |
                             (AddLevel(blue[i], rgb.blue) & 0xFFu) << 16;
            };
            if (count >= kVectorRun) {
                bool inRange = HslToPackedLevels(hue, saturation, luminosity, count, colours);
                // RGB levels all 0 (settled) add nothing to levels 0..255.
                constexpr unsigned kRgb = 1u << Red | 1u << Green | 1u << Blue;
                if ((settled & kRgb) != kRgb || (red[0] | green[0] | blue[0]) != 0)
                    inRange = AddPackedLevels(red, green, blue, count, colours) && inRange;
                if (inRange)
                    return;
                // Blocks of pixels all in range (the usual case) are
                // passed over after one combined test.
                for (std::size_t i0 = 0; i0 < count; i0 += kVectorRun) {
                    const std::size_t i1 = std::min(count, i0 + kVectorRun);
                    uint32_t levels = 0;
                    for (std::size_t i = i0; i < i1; ++i)
                        levels |= hue[i] | saturation[i] | luminosity[i] | red[i] | green[i] | blue[i];
                    if (levels <= 255)
                        continue;
                    for (std::size_t i = i0; i < i1; ++i) {
                        if ((hue[i] | saturation[i] | luminosity[i] | red[i] | green[i] | blue[i]) > 255)
                            finishOne(i);
                    }
                }
                return;
            }
            for (std::size_t i = 0; i < count; ++i)
                finishOne(i);
            return;
        }
        for (std::size_t i = 0; i < count; ++i)
            colours[i] = (red[i] & 0xFFu) | (green[i] & 0xFFu) << 8 | (blue[i] & 0xFFu) << 16;
    }

    // The level component c's sum `sum` has after the mapping and the fixed
    // levels of disabled Saturation and Luminosity, as Run takes it with the
    // component settled.
    uint32_t Settled(int c, uint32_t sum) const
    {
        using namespace model;
        if (c == Saturation && !m_saturationEnabled)
            return 255u;
        if (c == Luminosity && !m_luminosityEnabled)
            return 127u;
        return m_mapped[c] ? m_mapping[c](sum) : sum;
    }

    // One pixel: `acc` holds its six sums (changed on the way).
    uint32_t operator()(uint32_t acc[model::kComponents]) const
    {
        uint32_t* const sums[model::kComponents] = {&acc[0], &acc[1], &acc[2], &acc[3], &acc[4], &acc[5]};
        uint32_t colour;
        Run(sums, 1, &colour);
        return colour;
    }

private:
    static constexpr std::size_t kVectorRun = 16;

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

// Colour values 0x00BBGGRR of one column to three bytes a pixel (red,
// green, blue from the top row down), as IPixelSurface::SetColumn takes them.
inline void PackColumn(const uint32_t* colours, uint32_t height, uint8_t* rgb)
{
    for (uint32_t y = 0; y < height; ++y) {
        const uint32_t colour = colours[y];
        rgb[3 * y] = static_cast<uint8_t>(colour);
        rgb[3 * y + 1] = static_cast<uint8_t>(colour >> 8);
        rgb[3 * y + 2] = static_cast<uint8_t>(colour >> 16);
    }
}

} // namespace quorrel::render
