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

void CColumnWorker::Render(uint32_t x, uint32_t count, uint8_t* rgb)
{
    for (uint32_t i = 0; i < count; ++i)
        RenderColumn(x + i, rgb + std::size_t(i) * m_plan.Height() * 3);
}

void CColumnWorker::RenderColumn(uint32_t x, uint8_t* rgb)
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
    PackColumn(m_colours.data(), height, rgb);
}

} // namespace quorrel::render
