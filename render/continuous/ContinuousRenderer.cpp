#include "render/continuous/ContinuousRenderer.h"

#include "render/ColumnDriver.h"
#include "render/continuous/ContinuousPlan.h"

#include <hwy/aligned_allocator.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

namespace quorrel::render {

using namespace model;

namespace {

// `count` columns of colour values 0x00BBGGRR (`height` each, one after
// the other) to rows of three bytes a pixel (row y at rgb + y * count * 3).
// Bands of rows keep the columns' lines and the rows' bytes in the
// first-level cache. Each pixel is stored as four bytes, its fourth
// overwritten by the next pixel of its row; a row's last pixel is stored
// byte by byte, so nothing past the block (or of an earlier row) is
// touched.
static_assert(std::endian::native == std::endian::little, "PackRows stores a colour value's low three bytes");
void PackRows(const uint32_t* colours, uint32_t count, uint32_t height, uint8_t* rgb)
{
    constexpr uint32_t kBand = 16;
    const std::size_t rowBytes = std::size_t(count) * 3;
    for (uint32_t y0 = 0; y0 < height; y0 += kBand) {
        const uint32_t y1 = std::min(height, y0 + kBand);
        for (uint32_t i = 0; i + 1 < count; ++i) {
            const uint32_t* column = colours + std::size_t(i) * height;
            uint8_t* out = rgb + std::size_t(i) * 3;
            for (uint32_t y = y0; y < y1; ++y)
                std::memcpy(out + y * rowBytes, &column[y], 4);
        }
        const uint32_t* column = colours + std::size_t(count - 1) * height;
        uint8_t* out = rgb + std::size_t(count - 1) * 3;
        for (uint32_t y = y0; y < y1; ++y) {
            uint8_t* p = out + y * rowBytes;
            p[0] = static_cast<uint8_t>(column[y]);
            p[1] = static_cast<uint8_t>(column[y] >> 8);
            p[2] = static_cast<uint8_t>(column[y] >> 16);
        }
    }
}

// The columns of one run go through the sums together (each block of the
// row sums is read once for all of them), then through the finish one by
// one, and are handed on row by row (turned in the worker's cache, so the
// image's rows are written whole).
class CContinuousColumns final : public IColumnSource {
public:
    CContinuousColumns(const CContinuousPlan& plan, uint32_t run)
        : m_plan(plan),
          m_run(run),
          m_sums(hwy::AllocateAligned<uint32_t>(plan.PaddedRows() * kComponents * run)),
          m_colours(std::size_t(plan.Height()) * run)
    {
        m_weights.reserve(std::size_t(2) * kMaxHarmonics * run);
    }

    void Render(uint32_t x, uint32_t count, uint8_t* rgb) override
    {
        const std::size_t rows = m_plan.PaddedRows();
        const uint32_t height = m_plan.Height();
        auto column = [&](int c, uint32_t i) { return &m_sums[(std::size_t(c) * m_run + i) * rows]; };
        for (int c = 0; c < kComponents; ++c) {
            if (m_plan.Needed(c))
                m_plan.ColumnSums(c, x, count, m_weights, column(c, 0), rows);
        }
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t* sums[kComponents];
            for (int c = 0; c < kComponents; ++c) {
                sums[c] = column(c, i);
                if (!m_plan.Needed(c))
                    std::fill_n(sums[c], height, 0u);
            }
            m_plan.Finish().Run(sums, height, m_colours.data() + std::size_t(i) * height);
        }
        PackRows(m_colours.data(), count, height, rgb);
    }

    bool RendersRows() const override { return true; }

private:
    const CContinuousPlan& m_plan;
    uint32_t m_run;
    hwy::AlignedFreeUniquePtr<uint32_t[]> m_sums;   // [component][column of the run][padded rows]
    std::vector<uint32_t> m_colours;
    std::vector<double> m_weights;
};

// Columns a run: enough that a block of the row sums serves many columns,
// few enough that every thread gets several runs.
uint32_t ColumnsPerRun(uint32_t width, unsigned threads)
{
    return std::clamp<uint32_t>(width / (8 * std::max(1u, threads)), 1, 16);
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
