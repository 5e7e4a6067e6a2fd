#pragma once
// Everything one continuous rendering reads: the column factors, and for
// every component and horizontal harmonic its two row sums P_h(y) and
// Q_h(y) over all rows, computed once (spread over the rendering's threads).
// A column then costs two multiply-adds a harmonic and pixel.

#include "render/PixelFinish.h"
#include "render/TrigTables.h"
#include "render/continuous/ContinuousRenderer.h"

#include <hwy/aligned_allocator.h>

#include <cstdint>
#include <vector>

namespace quorrel::render {

class CContinuousPlan final {
public:
    // `threads` (at least 1) share the row sums.
    CContinuousPlan(const model::CTileParams& params, const RealCoefficients& coefficients, uint32_t width,
                    uint32_t height, unsigned threads);

    uint32_t Width() const { return m_width; }
    uint32_t Height() const { return m_height; }
    std::size_t PaddedRows() const { return m_paddedRows; }

    // Whether a component's sum can change a pixel (see CSeriesPlan).
    bool Needed(int c) const { return m_needed[c]; }
    // Whether component c has terms: without, its sums are all 0.
    bool HasTerms(int c) const { return m_firstTerm[c + 1] > m_firstTerm[c]; }
    // Multiply-adds a pixel over the needed components.
    uint64_t TermsPerPixel() const { return m_columnTerms.size(); }

    // Component c's column factors of columns x .. x + count - 1, in the
    // order its sums add them (what BandSums takes).
    void ColumnWeights(int c, uint32_t x, uint32_t count, std::vector<double>& weights) const;

    // Component c's sums of `count` columns with those factors at rows
    // start .. start + length - 1 (multiples of kContinuousPadding, within
    // PaddedRows()): `length` values a column, the columns `outStride`
    // apart in `out`.
    void BandSums(int c, const std::vector<double>& weights, uint32_t count, std::size_t start, std::size_t length,
                  uint32_t* out, std::size_t outStride) const;

    const PixelFinish& Finish() const { return m_finish; }

private:
    // One weighted sum of rows: weights[first..first+count) with
    // rows[first..first+count).
    struct Combination {
        uint32_t first;
        uint32_t count;
    };

    uint32_t m_width;
    uint32_t m_height;
    std::size_t m_paddedRows;
    bool m_needed[model::kComponents];
    TrigTable m_columns;
    hwy::AlignedFreeUniquePtr<double[]> m_series;   // the row sums, PaddedRows() each
    // A column's terms, component after component: the row sum and its
    // column factor (cos h at index h, sin h at (harmonics in the table) + h).
    std::vector<const double*> m_columnRows;
    std::vector<uint32_t> m_columnTerms;
    uint32_t m_firstTerm[model::kComponents + 1] = {};
    PixelFinish m_finish;
};

} // namespace quorrel::render
