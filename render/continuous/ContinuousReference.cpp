// The scalar definition of continuous rendering (see ContinuousRenderer.h):
// plain loops in the documented order, the yardstick of the fast path.

#include "render/continuous/ContinuousRenderer.h"

#include "render/PixelFinish.h"
#include "render/TrigTables.h"
#include "render/continuous/ContinuousKernel.h"
#include "render/continuous/SeriesShape.h"

#include <vector>

namespace quorrel::render {

using namespace model;

RealCoefficients RealCoefficients::FromParams(const CTileParams& params)
{
    RealCoefficients real;
    const std::pair<const CoeffTable*, Table*> tables[] = {{&params.m_nCosCos, &real.cosCos},
                                                          {&params.m_nCosSin, &real.cosSin},
                                                          {&params.m_nSinCos, &real.sinCos},
                                                          {&params.m_nSinSin, &real.sinSin}};
    for (const auto& [from, to] : tables) {
        for (int c = 0; c < kComponents; ++c)
            for (int h = 0; h < kMaxHarmonics; ++h)
                for (int k = 0; k < kMaxHarmonics; ++k)
                    (*to)[c][h][k] = static_cast<double>((*from)[c][h][k]);
    }
    return real;
}

void RenderTileContinuousReference(const CTileParams& params, const RealCoefficients& coefficients,
                                   IPixelSurface& surface, uint32_t width, uint32_t height)
{
    if (width == 0)
        width = params.m_nWidth;
    if (height == 0)
        height = params.m_nHeight;
    if (width == 0 || height == 0)
        return;

    SeriesShape shapes[kComponents];
    uint32_t columns = 0, rows = 0;
    for (int c = 0; c < kComponents; ++c) {
        shapes[c] = SeriesShape(params, c);
        columns = std::max(columns, shapes[c].columns);
        rows = std::max(rows, shapes[c].rows);
    }
    const TrigTable xs(width, columns);
    const TrigTable ys(height, rows);
    const PixelFinish finish(params);

    // P[y][c][h] and Q[y][c][h].
    const std::size_t perRow = std::size_t(kComponents) * kMaxHarmonics;
    std::vector<double> P(perRow * height), Q(perRow * height);
    for (uint32_t y = 0; y < height; ++y) {
        for (int c = 0; c < kComponents; ++c) {
            const auto& CC = coefficients.cosCos[c];
            const auto& CS = coefficients.cosSin[c];
            const auto& SC = coefficients.sinCos[c];
            const auto& SS = coefficients.sinSin[c];
            const SeriesShape& shape = shapes[c];
            for (uint32_t h = 0; h < shape.columns; ++h) {
                double p = 0.0, q = 0.0;
                for (uint32_t k = shape.FirstRow(h); k < shape.EndRow(h); ++k) {
                    p = p + CC[h][k] * ys.Cos(y, k);
                    p = p + CS[h][k] * ys.Sin(y, k);
                    q = q + SC[h][k] * ys.Cos(y, k);
                    q = q + SS[h][k] * ys.Sin(y, k);
                }
                P[y * perRow + c * kMaxHarmonics + h] = p;
                Q[y * perRow + c * kMaxHarmonics + h] = q;
            }
        }
    }

    for (uint32_t x = 0; x < width; ++x) {
        for (uint32_t y = 0; y < height; ++y) {
            uint32_t acc[kComponents];
            for (int c = 0; c < kComponents; ++c) {
                double v = 0.0;
                for (uint32_t h = 0; h < shapes[c].columns; ++h) {
                    v = v + xs.Cos(x, h) * P[y * perRow + c * kMaxHarmonics + h];
                    v = v + xs.Sin(x, h) * Q[y * perRow + c * kMaxHarmonics + h];
                }
                acc[c] = TruncatedLow32(v);
            }
            const uint32_t rgb = finish(acc);
            surface.SetPixel(x, y, static_cast<uint8_t>(rgb), static_cast<uint8_t>(rgb >> 8),
                             static_cast<uint8_t>(rgb >> 16));
        }
    }
}

} // namespace quorrel::render
