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

// Fills every pixel of the width x height area. Progress goes to `progress`
// from the calling thread only: non-decreasing whole percentages from 0 to
// 99 while columns complete, then 0. The surface is written from the
// calling thread only.
void RenderTile(const model::CTileParams& params, IPixelSurface& surface, const ProgressSink& progress = {});
void RenderTile(const model::CTileParams& params, IPixelSurface& surface, const RenderSettings& settings,
                const ProgressSink& progress = {});

} // namespace quorrel::render
