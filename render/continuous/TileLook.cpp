#include "render/continuous/TileLook.h"

#include "render/SmoothRender.h"
#include "render/continuous/ContinuousRenderer.h"

namespace quorrel::render {

std::string TileLook::Describe() const
{
    std::string text = continuous ? "continuous" : "exact";
    if (scale != 1)
        text += " " + std::to_string(scale) + "x";
    return text;
}

void RenderTileAs(bool continuous, const model::CTileParams& params, IPixelSurface& surface,
                  const RenderSettings& settings, uint32_t supersample, const ProgressSink& progress)
{
    const auto [width, height] = AreaOf(params, settings);
    if (!continuous) {
        RenderTileSmooth(params, surface, settings, supersample, progress);
        return;
    }
    const RealCoefficients coefficients = RealCoefficients::FromParams(params);
    RenderSmoothWith([&](IPixelSurface& to, const RenderSettings& sized,
                         const ProgressSink& sink) { RenderTileContinuous(params, coefficients, to, sized, sink); },
                     width, height, surface, settings, supersample, progress);
}

CRgbImage RenderLook(const model::CTileParams& params, const TileLook& look, const RenderSettings& settings,
                     const ProgressSink& progress)
{
    CRgbImage image(look.Width(params), look.Height(params));
    RenderSettings sized = settings;
    sized.width = image.Width();
    sized.height = image.Height();
    RenderTileAs(look.continuous, params, image, sized, 1, progress);
    return image;
}

} // namespace quorrel::render
