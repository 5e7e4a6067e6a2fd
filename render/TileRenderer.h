#pragma once
// The renderer the editor and the command-line tool use: the same pixels as
// RenderTileReference, vectorised and spread over the processor's cores.

#include "FastKernel.h"
#include "PixelSurface.h"
#include "model/TileParams.h"

#include <cstdint>
#include <optional>

namespace quorrel::render {

// The largest width and height an explicit output size may have. The
// parameter set's own size stays within the model's 1..1024.
inline constexpr uint32_t kMaxRenderSize = 8192;

struct RenderSettings {
    unsigned threads = 0;   // 0: all cores, and one thread for small images
    uint32_t width = 0;     // 0: the parameter set's width
    uint32_t height = 0;    // 0: the parameter set's height
    // The kernel variant; none: the process's choice (ChosenKernel). One
    // the instruction set in use does not have is refused with
    // std::invalid_argument.
    std::optional<KernelVariant> kernel;
};

// The area a rendering fills: the settings' width and height, 0 meaning
// the parameter set's own.
struct RenderArea {
    uint32_t width;
    uint32_t height;
};
inline RenderArea AreaOf(const model::CTileParams& params, const RenderSettings& settings)
{
    return {settings.width ? settings.width : params.m_nWidth, settings.height ? settings.height : params.m_nHeight};
}

// An empty area has nothing to render: reports the final 0 and says so.
inline bool NothingToRender(RenderArea area, const ProgressSink& progress)
{
    if (area.width != 0 && area.height != 0)
        return false;
    if (progress)
        progress(0);
    return true;
}

// Fills every pixel of the width x height area. Progress goes to `progress`
// from the calling thread only: non-decreasing whole percentages from 0 to
// 99 while columns complete, then 0. The surface is written from the
// calling thread only.
void RenderTile(const model::CTileParams& params, IPixelSurface& surface, const ProgressSink& progress = {});
void RenderTile(const model::CTileParams& params, IPixelSurface& surface, const RenderSettings& settings,
                const ProgressSink& progress = {});

} // namespace quorrel::render
