#pragma once
// How a tile is shown: exactly (the document's own pixels, the default) or
// continuously, and at which scale (the same series at N times the tile's
// width and height, still seamless). The command-line tool and the editor
// both render through it, so a view, its copy, its export and the
// wallpaper made from it agree.

#include "render/PixelSurface.h"
#include "render/TileRenderer.h"
#include "model/TileParams.h"

#include <cstdint>
#include <string>

namespace quorrel::render {

inline constexpr uint32_t kMaxScale = 8;

struct TileLook {
    bool continuous = false;
    uint32_t scale = 1;   // 1..kMaxScale

    bool operator==(const TileLook&) const = default;

    // The tile's size under this look: the set's own size times the scale.
    uint32_t Width(const model::CTileParams& params) const { return params.m_nWidth * scale; }
    uint32_t Height(const model::CTileParams& params) const { return params.m_nHeight * scale; }

    // "exact", "continuous", "continuous 2x", "exact 3x".
    std::string Describe() const;
};

// The tile of `params` rendered the way `continuous` says at the size
// `settings` gives (0: the set's own size), with `supersample` x
// `supersample` samples a pixel (1 to kMaxSupersample). Progress as
// RenderTile reports it.
void RenderTileAs(bool continuous, const model::CTileParams& params, IPixelSurface& surface,
                  const RenderSettings& settings, uint32_t supersample = 1, const ProgressSink& progress = {});

// The tile under `look` (at look.Width x look.Height), into an image of that
// size.
CRgbImage RenderLook(const model::CTileParams& params, const TileLook& look, const RenderSettings& settings = {},
                     const ProgressSink& progress = {});

} // namespace quorrel::render
