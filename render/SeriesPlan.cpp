#include "SeriesPlan.h"

#include <algorithm>
#include <cmath>

namespace quorrel::render {

using namespace model;

namespace {

struct Harmonics {
    uint32_t columns = 0;
    uint32_t rows = 0;
};

// Cells outside a component's active part read as 0 (a copy of the set
// carries only that part); in Diamond style only the diagonal cells below
// both counts can be non-zero.
Harmonics HarmonicsInUse(uint32_t horz, uint32_t vert, bool diamond)
{
    if (diamond) {
        const uint32_t n = std::min(horz, vert);
        return {n, n};
    }
    if (horz == 0 || vert == 0)
        return {};
    return {horz, vert};
}

} // namespace

CSeriesPlan::CSeriesPlan(const CTileParams& params, uint32_t width, uint32_t height)
    : m_width(width),
      m_height(height),
      m_paddedRows(PadRows(height, kRowPadding)),
      m_columns(0, 0),
      m_rows(0, 0, 0),
      m_finish(params)
{
    const bool anyHsl = params.m_bEnabled[Hue] || params.m_bEnabled[Saturation] || params.m_bEnabled[Luminosity];
    Harmonics tables;
    for (int c = 0; c < kComponents; ++c) {
        // Counts above the model's limit are outside the invariants; clamp
        // them so that no read leaves the coefficient tables.
        m_horz[c] = std::min<uint32_t>(params.m_nHorzHarm[c], kMaxHarmonics);
        m_vert[c] = std::min<uint32_t>(params.m_nVertHarm[c], kMaxHarmonics);
        m_diamond[c] = params.m_nTileStyle[c] == 1;
        if (c < Hue)
            m_needed[c] = true;
        else if (c == Hue)
            m_needed[c] = anyHsl;
        else
            m_needed[c] = params.m_bEnabled[c] != 0;
        if (!m_needed[c])
            continue;
        const Harmonics used = HarmonicsInUse(m_horz[c], m_vert[c], m_diamond[c]);
        tables.columns = std::max(tables.columns, used.columns);
        tables.rows = std::max(tables.rows, used.rows);
    }

    m_columns = TrigTable(width, tables.columns);

    m_rows = CRowFactors(height, tables.rows, m_paddedRows);

    // The non-zero cells of every component, grouped by the row of vertical
    // factors they meet: with the row of cos(k) go CosCos (with the column's
    // cos) and SinCos (with its sin); with the row of sin(k), CosSin and
    // SinSin. Zero cells and all-zero rows (sin 0) never reach a column.
    for (int c = 0; c < kComponents; ++c) {
        m_firstRun[c] = static_cast<uint32_t>(m_runs.size());
        m_firstCell[c] = static_cast<uint32_t>(m_cells.size());
        if (!m_needed[c])
            continue;
        const Harmonics used = HarmonicsInUse(m_horz[c], m_vert[c], m_diamond[c]);
        for (uint32_t k = 0; k < used.rows; ++k) {
            for (int sine = 0; sine < 2; ++sine) {
                const double rowMax = m_rows.RowMax(k, sine);
                if (rowMax == 0.0)
                    continue;
                const auto& withCos = sine ? params.m_nCosSin[c] : params.m_nCosCos[c];
                const auto& withSin = sine ? params.m_nSinSin[c] : params.m_nSinCos[c];
                const auto first = static_cast<uint32_t>(m_cells.size());
                auto add = [&](int32_t coefficient, uint32_t h, bool columnSine) {
                    if (coefficient != 0)
                        m_cells.push_back({static_cast<double>(coefficient), columnSine ? tables.columns + h : h});
                };
                if (m_diamond[c]) {
                    add(withCos[k][k], k, false);
                    add(withSin[k][k], k, true);
                } else {
                    for (uint32_t h = 0; h < used.columns; ++h) {
                        add(withCos[h][k], h, false);
                        add(withSin[h][k], h, true);
                    }
                }
                const auto count = static_cast<uint32_t>(m_cells.size()) - first;
                if (count > 0)
                    m_runs.push_back({m_rows.Row(k, sine), rowMax, first, count});
            }
        }
    }
    m_firstRun[kComponents] = static_cast<uint32_t>(m_runs.size());
    m_firstCell[kComponents] = static_cast<uint32_t>(m_cells.size());
    m_termsPerPixel = m_cells.size();
}

void CSeriesPlan::BuildTerms(int c, uint32_t x, std::vector<double>& products, std::vector<TermGroup>& groups) const
{
    groups.clear();
    products.resize(m_firstCell[c + 1] - m_firstCell[c]);
    if (products.empty())
        return;
    // The column's factors, cosines then sines, as the cells index them.
    const uint32_t harmonics = m_columns.Harmonics();
    double factors[2 * kMaxHarmonics];
    for (uint32_t n = 0; n < harmonics; ++n) {
        factors[n] = m_columns.Cos(x, n);
        factors[harmonics + n] = m_columns.Sin(x, n);
    }
    double* out = products.data();
    std::size_t kept = 0;
    for (uint32_t r = m_firstRun[c]; r < m_firstRun[c + 1]; ++r) {
        const RowRun& run = m_runs[r];
        const std::size_t start = kept;
        for (uint32_t i = run.first; i < run.first + run.count; ++i) {
            // Formed exactly as the scalar renderer forms the first product
            // of a term: coefficient converted to double, times the column
            // factor. Written in any case, counted only when kept (no branch
            // to mispredict).
            const double product = m_cells[i].coefficient * factors[m_cells[i].factor];
            out[kept] = product;
            kept += std::fabs(product) * run.rowMax >= 1.0;
        }
        if (kept > start)
            groups.push_back({run.row, static_cast<uint32_t>(kept - start)});
    }
    products.resize(kept);
}

} // namespace quorrel::render
