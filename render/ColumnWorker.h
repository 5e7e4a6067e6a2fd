#pragma once
// Renders whole columns into a small RGB buffer, with scratch space of its
// own so that several workers can run side by side on one plan.

#include "ColumnDriver.h"
#include "SeriesPlan.h"

#include <cstdint>
#include <vector>

namespace quorrel::render {

class CColumnWorker final : public IColumnSource {
public:
    // `kernel` sums the terms of each component's column.
    CColumnWorker(const CSeriesPlan& plan, KernelFunction kernel);

    // Writes height x 3 bytes a column (red, green, blue from the top row
    // down).
    void Render(uint32_t x, uint32_t count, uint8_t* rgb) override;

private:
    void RenderColumn(uint32_t x, uint8_t* rgb);

    const CSeriesPlan& m_plan;
    KernelFunction m_kernel;
    std::vector<double> m_products;
    std::vector<TermGroup> m_groups;
    hwy::AlignedFreeUniquePtr<uint32_t[]> m_sums;   // one padded column a component
    std::vector<uint32_t> m_colours;
};

} // namespace quorrel::render
