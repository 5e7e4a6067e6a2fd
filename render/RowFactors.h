#pragma once
// The vertical factors Cy and Sy of a rendering laid out by harmonic, each
// harmonic's cosines and sines as two runs over the rows, so that a run of
// rows is contiguous for vector loads. The entries past the last row are 0;
// every run starts on a 64-byte boundary.

#include "TrigTables.h"

#include <hwy/aligned_allocator.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorrel::render {

class CRowFactors final {
public:
    // Harmonics 0..harmonics-1 over `height` rows, each run `paddedRows`
    // long (at least height, a multiple of the vector padding).
    CRowFactors(uint32_t height, uint32_t harmonics, std::size_t paddedRows);

    // cos (sine 0) or sin (sine 1) of harmonic k at every row.
    const double* Row(uint32_t k, int sine) const { return m_rows.get() + (std::size_t(k) * 2 + sine) * m_paddedRows; }
    // The largest |factor| of that run.
    double RowMax(uint32_t k, int sine) const { return m_rowMax[std::size_t(k) * 2 + sine]; }

private:
    std::size_t m_paddedRows;
    hwy::AlignedFreeUniquePtr<double[]> m_rows;   // [harmonic][cos, sin][row]
    std::vector<double> m_rowMax;
};

inline std::size_t PadRows(uint32_t height, std::size_t padding)
{
    return (std::size_t(height) + padding - 1) / padding * padding;
}

} // namespace quorrel::render
