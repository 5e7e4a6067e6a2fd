#include "ColumnWorker.h"

#include <algorithm>

namespace quorrel::render {

using namespace model;

CColumnWorker::CColumnWorker(const CSeriesPlan& plan, KernelFunction kernel)
    : m_plan(plan),
      m_kernel(kernel),
      m_sums(hwy::AllocateAligned<uint32_t>(plan.PaddedRows() * kComponents)),
      m_colours(plan.Height())
{
    // The largest possible column of one component: no allocation later.
    m_products.reserve(std::size_t(4) * kMaxHarmonics * kMaxHarmonics);
    m_groups.reserve(std::size_t(2) * kMaxHarmonics);
}

void CColumnWorker::Render(uint32_t x, uint8_t* rgb)
{
    const std::size_t rows = m_plan.PaddedRows();
    const uint32_t height = m_plan.Height();
    uint32_t* sums[kComponents];
    for (int c = 0; c < kComponents; ++c) {
        sums[c] = &m_sums[c * rows];
        m_plan.BuildTerms(c, x, m_products, m_groups);
        if (m_groups.empty())
            std::fill_n(sums[c], height, 0u);
        else
            m_kernel(m_products.data(), m_groups.data(), m_groups.size(), rows, sums[c]);
    }
    m_plan.Finish().Run(sums, height, m_colours.data());
    for (uint32_t y = 0; y < height; ++y) {
        const uint32_t colour = m_colours[y];
        rgb[3 * y] = static_cast<uint8_t>(colour);
        rgb[3 * y + 1] = static_cast<uint8_t>(colour >> 8);
        rgb[3 * y + 2] = static_cast<uint8_t>(colour >> 16);
    }
}

} // namespace quorrel::render
