#pragma once
// The renderer the editor and the command-line tool use.

#include "PixelSurface.h"
#include "model/TileParams.h"

namespace quorrel::render {

void RenderTile(const model::CTileParams& params, IPixelSurface& surface, const ProgressSink& progress = {});

} // namespace quorrel::render
