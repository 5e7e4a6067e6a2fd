#include "ColumnWorker.h"

#include <algorithm>

namespace quorrel::render {

using namespace model;

CColumnWorker::CColumnWorker(const CSeriesPlan& plan)
    : m_plan(plan),
      m_sums(hwy::AllocateAligned<double>(plan.PaddedRows() * kComponents)),
      m_levels(plan.PaddedRows() * kComponents),
      m_colours(plan.Height())
{
    // The largest possible column of one component: no allocation later.
    m_products.reserve(std::size_t(4) * kMaxHarmonics * kMaxHarmonics);
    m_groups.reserve(std::size_t(2) * kMaxHarmonics);
}

void CColumnWorker::Render(uint32_t x, uint8_t* rgb)
{
    const std::size_t rows = m_plan.PaddedRows();
    bool summed[kComponents];
    for (int c = 0; c < kComponents; ++c) {
        m_plan.BuildTerms(c, x, m_products, m_groups);
        summed[c] = !m_groups.empty();
        if (summed[c])
            SumTruncatedTerms(m_products.data(), m_groups.data(), m_groups.size(), rows, &m_sums[c * rows]);
    }
    const uint32_t height = m_plan.Height();
    uint32_t* levels[kComponents];
    for (int c = 0; c < kComponents; ++c) {
        levels[c] = &m_levels[c * rows];
        if (!summed[c]) {
            std::fill_n(levels[c], height, 0u);
            continue;
        }
        // Whole numbers far below 2^53: their low 32 bits are the sum of
        // the terms' low 32 bits, wrapped as the 32-bit accumulator wraps.
        const double* sums = &m_sums[c * rows];
        for (uint32_t y = 0; y < height; ++y)
            levels[c][y] = static_cast<uint32_t>(static_cast<int64_t>(sums[y]));
    }
    m_plan.Finish().Run(levels, height, m_colours.data());
    for (uint32_t y = 0; y < height; ++y) {
        const uint32_t colour = m_colours[y];
        rgb[3 * y] = static_cast<uint8_t>(colour);
        rgb[3 * y + 1] = static_cast<uint8_t>(colour >> 8);
        rgb[3 * y + 2] = static_cast<uint8_t>(colour >> 16);
    }
}

} // namespace quorrel::render
