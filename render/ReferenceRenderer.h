#pragma once
// The straightforward scalar renderer: every pixel, every term, in the exact
// order of floating-point steps that defines the image. It is the oracle the
// fast renderer is tested against.

#include "PixelSurface.h"
#include "model/TileParams.h"

namespace quorrel::render {

void RenderTileReference(const model::CTileParams& params, IPixelSurface& surface,
                         const ProgressSink& progress = {});

} // namespace quorrel::render
