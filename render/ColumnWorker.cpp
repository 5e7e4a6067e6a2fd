#include "ColumnWorker.h"

namespace quorrel::render {

using namespace model;

CColumnWorker::CColumnWorker(const CSeriesPlan& plan)
    : m_plan(plan), m_sums(hwy::AllocateAligned<double>(plan.PaddedRows() * kComponents))
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
    const PixelFinish& finish = m_plan.Finish();
    for (uint32_t y = 0; y < m_plan.Height(); ++y) {
        uint32_t acc[kComponents];
        for (int c = 0; c < kComponents; ++c) {
            // Whole numbers far below 2^53: their low 32 bits are the sum of
            // the terms' low 32 bits, wrapped as the 32-bit accumulator wraps.
            acc[c] = summed[c] ? static_cast<uint32_t>(static_cast<int64_t>(m_sums[c * rows + y])) : 0;
        }
        const uint32_t pixel = finish(acc);
        rgb[3 * y] = static_cast<uint8_t>(pixel);
        rgb[3 * y + 1] = static_cast<uint8_t>(pixel >> 8);
        rgb[3 * y + 2] = static_cast<uint8_t>(pixel >> 16);
    }
}

} // namespace quorrel::render
