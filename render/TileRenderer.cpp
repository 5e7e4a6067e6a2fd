#include "TileRenderer.h"

#include "ColumnDriver.h"
#include "ColumnWorker.h"
#include "KernelChoice.h"
#include "SeriesPlan.h"

#include <memory>
#include <stdexcept>

namespace quorrel::render {

using namespace model;

namespace {

KernelFunction ChooseKernel(const RenderSettings& settings)
{
    if (!settings.kernel)
        return ChosenKernel().function;
    std::string error;
    if (!FindKernel(KernelVariantName(*settings.kernel), error))
        throw std::invalid_argument(error);
    return KernelFor(*settings.kernel);
}

} // namespace

void RenderTile(const CTileParams& params, IPixelSurface& surface, const ProgressSink& progress)
{
    RenderTile(params, surface, RenderSettings{}, progress);
}

void RenderTile(const CTileParams& params, IPixelSurface& surface, const RenderSettings& settings,
                const ProgressSink& progress)
{
    const auto [width, height] = AreaOf(params, settings);
    if (NothingToRender({width, height}, progress))
        return;
    const KernelFunction kernel = ChooseKernel(settings);
    const CSeriesPlan plan(params, width, height);
    const unsigned threads = ColumnThreads(settings.threads, width, height, plan.TermsPerPixel());
    DriveColumns(width, height, threads, [&] { return std::make_unique<CColumnWorker>(plan, kernel); }, surface,
                 progress);
}

} // namespace quorrel::render
