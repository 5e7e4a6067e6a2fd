#include "render/continuous/ContinuousRenderer.h"

#include "render/ColumnDriver.h"
#include "render/continuous/ContinuousPlan.h"

#include <hwy/aligned_allocator.h>

#include <memory>

namespace quorrel::render {

using namespace model;

namespace {

class CContinuousColumns final : public IColumnSource {
public:
    explicit CContinuousColumns(const CContinuousPlan& plan)
        : m_plan(plan),
          m_sums(hwy::AllocateAligned<uint32_t>(plan.PaddedRows() * kComponents)),
          m_colours(plan.Height())
    {
        m_weights.reserve(std::size_t(2) * kMaxHarmonics);
    }

    void Render(uint32_t x, uint8_t* rgb) override
    {
        const std::size_t rows = m_plan.PaddedRows();
        const uint32_t height = m_plan.Height();
        uint32_t* sums[kComponents];
        for (int c = 0; c < kComponents; ++c) {
            sums[c] = &m_sums[c * rows];
            if (m_plan.Needed(c))
                m_plan.ColumnSums(c, x, m_weights, sums[c]);
            else
                std::fill_n(sums[c], height, 0u);
        }
        m_plan.Finish().Run(sums, height, m_colours.data());
        for (uint32_t y = 0; y < height; ++y) {
            const uint32_t colour = m_colours[y];
            rgb[3 * y] = static_cast<uint8_t>(colour);
            rgb[3 * y + 1] = static_cast<uint8_t>(colour >> 8);
            rgb[3 * y + 2] = static_cast<uint8_t>(colour >> 16);
        }
    }

private:
    const CContinuousPlan& m_plan;
    hwy::AlignedFreeUniquePtr<uint32_t[]> m_sums;   // one padded column a component
    std::vector<uint32_t> m_colours;
    std::vector<double> m_weights;
};

} // namespace

void RenderTileContinuous(const CTileParams& params, const RealCoefficients& coefficients, IPixelSurface& surface,
                          const RenderSettings& settings, const ProgressSink& progress)
{
    const uint32_t width = settings.width ? settings.width : params.m_nWidth;
    const uint32_t height = settings.height ? settings.height : params.m_nHeight;
    if (width == 0 || height == 0) {
        if (progress)
            progress(0);
        return;
    }
    // The thread count is chosen on the largest possible column work, 2 x 30
    // terms for each of the six components, before the plan knows its own.
    const unsigned threads = ColumnThreads(settings.threads, width, height, 2 * kMaxHarmonics * kComponents);
    const CContinuousPlan plan(params, coefficients, width, height, threads);
    const unsigned columnThreads = ColumnThreads(settings.threads, width, height, plan.TermsPerPixel());
    DriveColumns(width, height, columnThreads, [&] { return std::make_unique<CContinuousColumns>(plan); }, surface,
                 progress);
}

void RenderTileContinuous(const CTileParams& params, IPixelSurface& surface, const RenderSettings& settings,
                          const ProgressSink& progress)
{
    RenderTileContinuous(params, RealCoefficients::FromParams(params), surface, settings, progress);
}

} // namespace quorrel::render
