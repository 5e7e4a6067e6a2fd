#include "RowFactors.h"

#include <algorithm>
#include <cmath>

namespace quorrel::render {

CRowFactors::CRowFactors(uint32_t height, uint32_t harmonics, std::size_t paddedRows) : m_paddedRows(paddedRows)
{
    const std::size_t runs = std::size_t(harmonics) * 2;
    m_rows = hwy::AllocateAligned<double>(std::max<std::size_t>(runs * paddedRows, 1));
    std::fill_n(m_rows.get(), runs * paddedRows, 0.0);
    m_rowMax.assign(runs, 0.0);
    const double step = TableStep(height);
    for (uint32_t k = 0; k < harmonics; ++k) {
        double* cosRow = m_rows.get() + (std::size_t(k) * 2) * paddedRows;
        double* sinRow = cosRow + paddedRows;
        double cosMax = 0.0, sinMax = 0.0;
        for (uint32_t y = 0; y < height; ++y) {
            const double angle = TableAngle(y, step, k);
            cosRow[y] = std::cos(angle);
            sinRow[y] = std::sin(angle);
            cosMax = std::max(cosMax, std::fabs(cosRow[y]));
            sinMax = std::max(sinMax, std::fabs(sinRow[y]));
        }
        m_rowMax[std::size_t(k) * 2] = cosMax;
        m_rowMax[std::size_t(k) * 2 + 1] = sinMax;
    }
}

} // namespace quorrel::render
