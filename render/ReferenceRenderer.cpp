#include "ReferenceRenderer.h"

#include "PixelFinish.h"
#include "TrigTables.h"

#include <algorithm>
#include <memory>

namespace quorrel::render {

using namespace model;

namespace {

// One term: the product truncated toward zero by itself, its low 32 bits.
inline uint32_t Term(int32_t coefficient, double horizontal, double vertical)
{
    const double product = (static_cast<double>(coefficient) * horizontal) * vertical;
    return static_cast<uint32_t>(static_cast<int64_t>(product));
}

} // namespace

void RenderTileReference(const CTileParams& source, IPixelSurface& surface, const ProgressSink& progress)
{
    // A private copy: cells outside the active part read as 0.
    const auto params = std::make_unique<const CTileParams>(source);
    const CTileParams& p = *params;
    const uint32_t width = p.m_nWidth, height = p.m_nHeight;

    uint32_t maxH = 0, maxV = 0;
    for (int c = 0; c < kComponents; ++c) {
        maxH = std::max(maxH, p.m_nHorzHarm[c]);
        maxV = std::max(maxV, p.m_nVertHarm[c]);
        // Diamond reads the vertical tables with the horizontal index.
        if (p.m_nTileStyle[c] == 1)
            maxV = std::max(maxV, p.m_nHorzHarm[c]);
    }
    const TrigTable xs(width, maxH);
    const TrigTable ys(height, maxV);
    const PixelFinish finish(p);

    for (uint32_t x = 0; x < width; ++x) {
        if (progress)
            progress(static_cast<int>(static_cast<double>(x) / static_cast<double>(width) * 100.0));
        for (uint32_t y = 0; y < height; ++y) {
            uint32_t acc[kComponents] = {};
            for (int c = 0; c < kComponents; ++c) {
                const auto& CC = p.m_nCosCos[c];
                const auto& CS = p.m_nCosSin[c];
                const auto& SC = p.m_nSinCos[c];
                const auto& SS = p.m_nSinSin[c];
                if (p.m_nTileStyle[c] == 1) {
                    for (uint32_t n = 0; n < p.m_nHorzHarm[c]; ++n) {
                        acc[c] += Term(CC[n][n], xs.Cos(x, n), ys.Cos(y, n));
                        acc[c] += Term(CS[n][n], xs.Cos(x, n), ys.Sin(y, n));
                        acc[c] += Term(SC[n][n], xs.Sin(x, n), ys.Cos(y, n));
                        acc[c] += Term(SS[n][n], xs.Sin(x, n), ys.Sin(y, n));
                    }
                } else {
                    for (uint32_t h = 0; h < p.m_nHorzHarm[c]; ++h) {
                        for (uint32_t k = 0; k < p.m_nVertHarm[c]; ++k) {
                            acc[c] += Term(CC[h][k], xs.Cos(x, h), ys.Cos(y, k));
                            acc[c] += Term(CS[h][k], xs.Cos(x, h), ys.Sin(y, k));
                            acc[c] += Term(SC[h][k], xs.Sin(x, h), ys.Cos(y, k));
                            acc[c] += Term(SS[h][k], xs.Sin(x, h), ys.Sin(y, k));
                        }
                    }
                }
            }
            const uint32_t rgb = finish(acc);
            surface.SetPixel(x, y, static_cast<uint8_t>(rgb), static_cast<uint8_t>(rgb >> 8),
                             static_cast<uint8_t>(rgb >> 16));
        }
    }
    if (progress)
        progress(0);
}

} // namespace quorrel::render
