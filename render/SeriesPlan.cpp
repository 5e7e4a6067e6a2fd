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
    : m_params(params),
      m_width(width),
      m_height(height),
      m_paddedRows((std::size_t(height) + kRowPadding - 1) / kRowPadding * kRowPadding),
      m_columns(0, 0),
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
        // Terms of non-zero cells: zero ones never reach the kernel.
        const CoeffTable* tables[] = {&params.m_nCosCos, &params.m_nCosSin, &params.m_nSinCos, &params.m_nSinSin};
        for (const CoeffTable* table : tables) {
            for (uint32_t h = 0; h < used.columns; ++h) {
                for (uint32_t k = 0; k < used.rows; ++k) {
                    if ((!m_diamond[c] || h == k) && (*table)[c][h][k] != 0)
                        ++m_termsPerPixel;
                }
            }
        }
    }

    m_columns = TrigTable(width, tables.columns);

    const std::size_t rowCount = std::size_t(tables.rows) * 2;
    m_rows = hwy::AllocateAligned<double>(std::max<std::size_t>(rowCount * m_paddedRows, 1));
    std::fill_n(m_rows.get(), rowCount * m_paddedRows, 0.0);
    m_rowMax.assign(rowCount, 0.0);
    const double step = TableStep(height);
    for (uint32_t k = 0; k < tables.rows; ++k) {
        double* cosRow = m_rows.get() + (std::size_t(k) * 2) * m_paddedRows;
        double* sinRow = cosRow + m_paddedRows;
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

void CSeriesPlan::BuildTerms(int c, uint32_t x, std::vector<double>& products, std::vector<TermGroup>& groups) const
{
    products.clear();
    groups.clear();
    if (!m_needed[c])
        return;
    const Harmonics used = HarmonicsInUse(m_horz[c], m_vert[c], m_diamond[c]);
    const auto& cosCos = m_params.m_nCosCos[c];
    const auto& cosSin = m_params.m_nCosSin[c];
    const auto& sinCos = m_params.m_nSinCos[c];
    const auto& sinSin = m_params.m_nSinSin[c];

    for (uint32_t k = 0; k < used.rows; ++k) {
        // With the row of cos(k) meet CosCos (with the column's cos) and
        // SinCos (with its sin); with the row of sin(k), CosSin and SinSin.
        for (int sine = 0; sine < 2; ++sine) {
            const double rowMax = RowMax(k, sine);
            if (rowMax == 0.0)
                continue;
            const auto& withCos = sine ? cosSin : cosCos;
            const auto& withSin = sine ? sinSin : sinCos;
            const std::size_t start = products.size();
            auto add = [&](int32_t coefficient, double columnFactor) {
                // Formed exactly as the scalar renderer forms the first
                // product of a term.
                const double product = static_cast<double>(coefficient) * columnFactor;
                if (std::fabs(product) * rowMax >= 1.0)
                    products.push_back(product);
            };
            if (m_diamond[c]) {
                add(withCos[k][k], m_columns.Cos(x, k));
                add(withSin[k][k], m_columns.Sin(x, k));
            } else {
                for (uint32_t h = 0; h < used.columns; ++h) {
                    add(withCos[h][k], m_columns.Cos(x, h));
                    add(withSin[h][k], m_columns.Sin(x, h));
                }
            }
            if (products.size() > start)
                groups.push_back({Row(k, sine), static_cast<uint32_t>(products.size() - start)});
        }
    }
}

} // namespace quorrel::render
