#pragma once
// What happens to a pixel's six summed components after the series: each
// enabled or correlated component is mapped into its colour range, disabled
// Saturation and Luminosity take fixed levels, and the HSL colour is added to
// the RGB levels. Shared by every renderer so they cannot drift apart.

#include "ColorMapping.h"
#include "model/TileParams.h"

#include <array>
#include <cstdint>

namespace quorrel::render {

class PixelFinish final {
public:
    explicit PixelFinish(const model::CTileParams& params);

    // `acc` holds the six 32-bit sums; returns the pixel's red, green, blue.
    std::array<uint8_t, 3> operator()(uint32_t acc[model::kComponents]) const;

private:
    ColorMapping m_mapping[model::kComponents];
    bool m_mapped[model::kComponents];
    bool m_saturationEnabled;
    bool m_luminosityEnabled;
    bool m_anyHsl;
};

} // namespace quorrel::render
