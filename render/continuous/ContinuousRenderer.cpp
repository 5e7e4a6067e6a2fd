#include "render/continuous/ContinuousRenderer.h"

#include "render/ColumnDriver.h"
#include "render/continuous/ContinuousKernel.h"
#include "render/continuous/ContinuousPlan.h"
#include "render/continuous/RowPacking.h"

#include <hwy/aligned_allocator.h>

#include <algorithm>
#include <memory>

namespace quorrel::render {

using namespace model;

namespace {

// Rows of the sums and colours a worker holds at a time: small enough
// that the row sums' block it reads (up to 360 rows of it) stays in the
// second-level cache while every column of the run uses it.
constexpr uint32_t kBand = 64;
static_assert(kBand % kContinuousPadding == 0);

// A run of columns is rendered band of rows after band: in each band the
// columns go through the sums together (each block of the row sums is read
// once for all of them), then through the finish together, and the band
// is turned into rows in the worker's cache, so the image's rows are
// written whole. A component whose sums are all 0 (not needed, or without
// terms) is settled once, not summed and finished on every band.
class CContinuousColumns final : public IColumnSource {
public:
    CContinuousColumns(const CContinuousPlan& plan, uint32_t run)
        : m_plan(plan),
          m_run(run),
          m_sums(hwy::AllocateAligned<uint32_t>(std::size_t(kBand) * kComponents * run)),
          m_colours(std::size_t(kBand) * run)
    {
        for (int c = 0; c < kComponents; ++c) {
            m_summed[c] = plan.Needed(c) && plan.HasTerms(c);
            std::fill_n(Column(c, 0), std::size_t(kBand) * run, m_summed[c] ? 0u : plan.Finish().Settled(c, 0));
            if (!m_summed[c])
                m_settled |= 1u << c;
        }
        for (auto& weights : m_weights)
            weights.reserve(std::size_t(2) * kMaxHarmonics * run);
    }

    void Render(uint32_t x, uint32_t count, uint8_t* rgb) override
    {
        const uint32_t height = m_plan.Height();
        for (int c = 0; c < kComponents; ++c) {
            if (m_summed[c])
                m_plan.ColumnWeights(c, x, count, m_weights[c]);
        }
        for (uint32_t y0 = 0; y0 < height; y0 += kBand) {
            const uint32_t rows = std::min(kBand, height - y0);
            const std::size_t length = std::min<std::size_t>(kBand, m_plan.PaddedRows() - y0);
            for (int c = 0; c < kComponents; ++c) {
                if (m_summed[c])
                    m_plan.BandSums(c, m_weights[c], count, y0, length, Column(c, 0), kBand);
            }
            // A whole band's columns lie one after the other: one finish
            // for all of them; a shorter last band is finished column by
            // column.
            const uint32_t pieces = rows == kBand ? 1 : count;
            const std::size_t pixels = rows == kBand ? std::size_t(count) * kBand : rows;
            for (uint32_t i = 0; i < pieces; ++i) {
                uint32_t* sums[kComponents];
                for (int c = 0; c < kComponents; ++c)
                    sums[c] = Column(c, i);
                m_plan.Finish().Run(sums, pixels, m_colours.data() + std::size_t(i) * kBand, m_settled);
            }
            PackRows(m_colours.data(), kBand, count, rows, rgb + std::size_t(y0) * count * 3);
        }
    }

    bool RendersRows() const override { return true; }

private:
    uint32_t* Column(int c, uint32_t i) { return &m_sums[(std::size_t(c) * m_run + i) * kBand]; }

    const CContinuousPlan& m_plan;
    uint32_t m_run;
    hwy::AlignedFreeUniquePtr<uint32_t[]> m_sums;   // [component][column of the run][row of the band]
    std::vector<uint32_t> m_colours;                // [column of the run][row of the band]
    std::vector<double> m_weights[kComponents];
    bool m_summed[kComponents] = {};
    unsigned m_settled = 0;   // components whose sums are all 0, settled once
};

// Columns a run: enough that a band of the row sums serves many columns,
// few enough that every thread gets several runs.
uint32_t ColumnsPerRun(uint32_t width, unsigned threads)
{
    return std::clamp<uint32_t>(width / (4 * std::max(1u, threads)), 1, 128);
}

} // namespace

void RenderTileContinuous(const CTileParams& params, const RealCoefficients& coefficients, IPixelSurface& surface,
                          const RenderSettings& settings, const ProgressSink& progress)
{
    const auto [width, height] = AreaOf(params, settings);
    if (NothingToRender({width, height}, progress))
        return;
    // The thread count is chosen on the largest possible column work, 2 x 30
    // terms for each of the six components, before the plan knows its own.
    const unsigned threads = ColumnThreads(settings.threads, width, height, 2 * kMaxHarmonics * kComponents);
    const CContinuousPlan plan(params, coefficients, width, height, threads);
    const unsigned columnThreads = ColumnThreads(settings.threads, width, height, plan.TermsPerPixel());
    const uint32_t run = ColumnsPerRun(width, columnThreads);
    DriveColumns(
        width, height, columnThreads, [&] { return std::make_unique<CContinuousColumns>(plan, run); }, surface,
        progress, run);
}

void RenderTileContinuous(const CTileParams& params, IPixelSurface& surface, const RenderSettings& settings,
                          const ProgressSink& progress)
{
    RenderTileContinuous(params, RealCoefficients::FromParams(params), surface, settings, progress);
}

} // namespace quorrel::render
