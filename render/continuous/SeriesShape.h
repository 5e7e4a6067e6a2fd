#pragma once
// Which cells of one component's coefficient tables a continuous rendering
// sums: all h < H with all k < V (Normal style), or the diagonal h = k below
// both counts (Diamond style). Counts above the model's limit are clamped.

#include "model/TileParams.h"

#include <algorithm>
#include <cstdint>

namespace quorrel::render {

struct SeriesShape {
    uint32_t columns = 0;   // horizontal harmonics summed: h < columns
    uint32_t rows = 0;      // vertical harmonics read: k < rows
    bool diamond = false;

    SeriesShape() = default;
    SeriesShape(const model::CTileParams& params, int c)
    {
        const uint32_t horz = std::min<uint32_t>(params.m_nHorzHarm[c], model::kMaxHarmonics);
        const uint32_t vert = std::min<uint32_t>(params.m_nVertHarm[c], model::kMaxHarmonics);
        diamond = params.m_nTileStyle[c] == 1;
        if (diamond) {
            columns = rows = std::min(horz, vert);
        } else if (horz > 0 && vert > 0) {
            columns = horz;
            rows = vert;
        }
    }

    // The vertical harmonics k that meet horizontal harmonic h.
    uint32_t FirstRow(uint32_t h) const { return diamond ? h : 0; }
    uint32_t EndRow(uint32_t h) const { return diamond ? h + 1 : rows; }
};

} // namespace quorrel::render
