#include "TileRenderer.h"

#include "ReferenceRenderer.h"

namespace quorrel::render {

void RenderTile(const model::CTileParams& params, IPixelSurface& surface, const ProgressSink& progress)
{
    RenderTileReference(params, surface, progress);
}

} // namespace quorrel::render
