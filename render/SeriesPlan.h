#pragma once
// Everything one fast rendering reads besides the coefficients: the
// trigonometric tables for the harmonics in use (column factors by position,
// row factors by harmonic so that a run of rows is contiguous), and the rule
// that turns one column of one component into groups of horizontal products.

#include "FastKernel.h"
#include "PixelFinish.h"
#include "RowFactors.h"
#include "TrigTables.h"
#include "model/TileParams.h"

#include <hwy/aligned_allocator.h>

#include <cstdint>
#include <vector>

namespace quorrel::render {

class CSeriesPlan final {
public:
    // Width and height may differ from the parameter set's own (any size
    // from 1 up); the plan keeps what it needs of `params`.
    CSeriesPlan(const model::CTileParams& params, uint32_t width, uint32_t height);

    uint32_t Width() const { return m_width; }
    uint32_t Height() const { return m_height; }
    // Height rounded up to the kernel's row padding.
    std::size_t PaddedRows() const { return m_paddedRows; }

    // Whether a component's sum can change a pixel at all: a disabled
    // Saturation or Luminosity is replaced by a fixed level, and without an
    // enabled HSL component none of the three is read.
    bool Needed(int c) const { return m_needed[c]; }

    // The terms of non-zero cells one pixel sums over the needed components.
    uint64_t TermsPerPixel() const { return m_termsPerPixel; }

    // The products coefficient x column factor of column `x` for component
    // `c`, grouped by the row they meet. A product whose every term
    // truncates to 0 (|product| x the row's largest |factor| < 1) is left
    // out; that covers zero coefficients and the all-zero sin(0) row.
    void BuildTerms(int c, uint32_t x, std::vector<double>& products, std::vector<TermGroup>& groups) const;

    const PixelFinish& Finish() const { return m_finish; }

private:
    // A non-zero coefficient cell and the column factor it takes: cos(h)
    // at index h, sin(h) at index (harmonics in the column table) + h.
    struct Cell {
        double coefficient;
        uint32_t factor;
    };
    // The cells that meet one row of vertical factors.
    struct RowRun {
        const double* row;
        double rowMax;
        uint32_t first;
        uint32_t count;
    };

    uint32_t m_width;
    uint32_t m_height;
    std::size_t m_paddedRows;
    uint32_t m_horz[model::kComponents];
    uint32_t m_vert[model::kComponents];
    bool m_diamond[model::kComponents];
    bool m_needed[model::kComponents];
    uint64_t m_termsPerPixel = 0;
    TrigTable m_columns;
    CRowFactors m_rows;
    PixelFinish m_finish;
    std::vector<Cell> m_cells;
    std::vector<RowRun> m_runs;
    uint32_t m_firstRun[model::kComponents + 1] = {};    // each component's runs
    uint32_t m_firstCell[model::kComponents + 1] = {};   // and cells
};

} // namespace quorrel::render
