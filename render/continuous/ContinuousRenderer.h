#pragma once
// Continuous rendering: the same series as the exact renderer, but each
// component's terms are summed as one real number (double precision, in the
// order the scalar definition fixes) and truncated once toward zero to a
// 64-bit integer whose low 32 bits are the component's sum. Everything after
// the sums (wrap mapping, colour ranges, fixed Saturation/Luminosity levels,
// HSL to RGB, the RGB addition rule) is the exact renderer's PixelFinish.
//
// The coefficients come as real numbers, so a document's integer tables
// (converted exactly) and blended or animated sets take the same path.

#include "render/PixelSurface.h"
#include "render/TileRenderer.h"
#include "model/TileParams.h"

#include <array>
#include <cstdint>

namespace quorrel::render {

// A parameter set's four coefficient tables as doubles,
// [component][horizontal harmonic][vertical harmonic]. Only the cells below
// each component's harmonic counts are read.
struct RealCoefficients {
    using Table = std::array<std::array<std::array<double, model::kMaxHarmonics>, model::kMaxHarmonics>,
                             model::kComponents>;
    Table cosCos{};
    Table cosSin{};
    Table sinCos{};
    Table sinSin{};

    // The document's integer tables, converted exactly.
    static RealCoefficients FromParams(const model::CTileParams& params);
};

// The plain scalar definition: one thread, no vectors, the order of
// operations every other continuous path reproduces bit for bit. `width` and
// `height` 0 mean the parameter set's own size.
//
// The order of operations, all in double precision, each step rounded as
// written (no fused multiply-add):
//   Cx, Sx, Cy, Sy are the exact renderer's tables for this width and height
//   (TrigTable: cos and sin of (position x step) x harmonic).
//   For component c with counts H and V (at most 30 each), the harmonics it
//   sums are h = 0..H-1 with k = 0..V-1 each (Normal style; none when H or V
//   is 0), or h = 0..min(H, V)-1 with k = h only (Diamond style).
//   Row sums, for each h, starting at +0.0, k ascending:
//     P = P + CC[h][k] * Cy[y][k];  P = P + CS[h][k] * Sy[y][k]
//     Q = Q + SC[h][k] * Cy[y][k];  Q = Q + SS[h][k] * Sy[y][k]
//   The component's value, starting at +0.0, h ascending:
//     v = v + Cx[x][h] * P_h(y);  v = v + Sx[x][h] * Q_h(y)
//   Its sum is the low 32 bits of model::TruncToInt64(v) (outside the
//   64-bit range, infinite or NaN: 0).
// A term whose coefficient is exactly 0 may be left out: it can change a
// sum only by the sign of a zero, never the truncated value.
void RenderTileContinuousReference(const model::CTileParams& params, const RealCoefficients& coefficients,
                                   IPixelSurface& surface, uint32_t width = 0, uint32_t height = 0);

// The vectorised, multi-threaded continuous renderer (size, threads as
// RenderSettings says; its kernel field is not used). Progress as
// RenderTile reports it. `params` gives the settings (counts, styles,
// ranges, wrap modes, enabled and correlated components); its own integer
// tables are ignored in favour of `coefficients`.
void RenderTileContinuous(const model::CTileParams& params, const RealCoefficients& coefficients,
                          IPixelSurface& surface, const RenderSettings& settings,
                          const ProgressSink& progress = {});

// The same with the document's own coefficients.
void RenderTileContinuous(const model::CTileParams& params, IPixelSurface& surface,
                          const RenderSettings& settings, const ProgressSink& progress = {});

} // namespace quorrel::render
