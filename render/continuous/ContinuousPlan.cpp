#include "render/continuous/ContinuousPlan.h"

#include "render/RowFactors.h"
#include "render/WorkerPool.h"
#include "render/continuous/ContinuousKernel.h"
#include "render/continuous/SeriesShape.h"

#include <algorithm>
#include <atomic>

namespace quorrel::render {

using namespace model;

CContinuousPlan::CContinuousPlan(const CTileParams& params, const RealCoefficients& coefficients, uint32_t width,
                                 uint32_t height, unsigned threads)
    : m_width(width),
      m_height(height),
      m_paddedRows(PadRows(height, kContinuousPadding)),
      m_columns(0, 0),
      m_finish(params)
{
    const bool anyHsl = params.m_bEnabled[Hue] || params.m_bEnabled[Saturation] || params.m_bEnabled[Luminosity];
    SeriesShape shapes[kComponents];
    uint32_t columns = 0, rows = 0;
    for (int c = 0; c < kComponents; ++c) {
        m_needed[c] = c < Hue || (c == Hue ? anyHsl : params.m_bEnabled[c] != 0);
        if (!m_needed[c])
            continue;
        shapes[c] = SeriesShape(params, c);
        columns = std::max(columns, shapes[c].columns);
        rows = std::max(rows, shapes[c].rows);
    }
    m_columns = TrigTable(width, columns);
    const CRowFactors factors(height, rows, m_paddedRows);

    // The row sums P_h and Q_h of every needed component, in the order of
    // the scalar definition; terms with a zero coefficient are left out, and
    // so is a row sum without terms (all zero) from the columns.
    std::vector<double> weights;
    std::vector<const double*> sources;
    std::vector<Combination> sums;
    struct PendingTerm {
        int c;
        uint32_t sum;      // index into `sums`
        uint32_t factor;   // column factor index
    };
    std::vector<PendingTerm> pending;
    for (int c = 0; c < kComponents; ++c) {
        if (!m_needed[c])
            continue;
        const SeriesShape& shape = shapes[c];
        const RealCoefficients::Table* withCos[2] = {&coefficients.cosCos, &coefficients.sinCos};
        const RealCoefficients::Table* withSin[2] = {&coefficients.cosSin, &coefficients.sinSin};
        for (uint32_t h = 0; h < shape.columns; ++h) {
            for (int q = 0; q < 2; ++q) {   // P (column cos), then Q (column sin)
                const auto first = static_cast<uint32_t>(weights.size());
                for (uint32_t k = shape.FirstRow(h); k < shape.EndRow(h); ++k) {
                    const double cosCell = (*withCos[q])[c][h][k];
                    const double sinCell = (*withSin[q])[c][h][k];
                    if (cosCell != 0.0) {
                        weights.push_back(cosCell);
                        sources.push_back(factors.Row(k, 0));
                    }
                    if (sinCell != 0.0) {
                        weights.push_back(sinCell);
                        sources.push_back(factors.Row(k, 1));
                    }
                }
                const auto count = static_cast<uint32_t>(weights.size()) - first;
                if (count == 0)
                    continue;
                pending.push_back({c, static_cast<uint32_t>(sums.size()), q ? columns + h : h});
                sums.push_back({first, count});
            }
        }
    }

    m_series = hwy::AllocateAligned<double>(std::max<std::size_t>(sums.size() * m_paddedRows, 1));
    auto compute = [&](std::size_t i) {
        CombineRows(weights.data() + sums[i].first, sources.data() + sums[i].first, sums[i].count, m_paddedRows,
                    m_series.get() + i * m_paddedRows);
    };
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i; (i = next.fetch_add(1, std::memory_order_relaxed)) < sums.size();)
            compute(i);
    };
    {
        const unsigned helpers = static_cast<unsigned>(std::min<std::size_t>(threads, sums.size() / 4 + 1)) - 1;
        CWorkerPool::Batch batch(CWorkerPool::Shared(), helpers, [&](unsigned) { work(); });
        work();
    }

    for (int c = 0; c < kComponents; ++c) {
        m_firstTerm[c] = static_cast<uint32_t>(m_columnTerms.size());
        for (const PendingTerm& term : pending) {
            if (term.c != c)
                continue;
            m_columnRows.push_back(m_series.get() + term.sum * m_paddedRows);
            m_columnTerms.push_back(term.factor);
        }
    }
    m_firstTerm[kComponents] = static_cast<uint32_t>(m_columnTerms.size());
}

void CContinuousPlan::ColumnWeights(int c, uint32_t x, uint32_t count, std::vector<double>& weights) const
{
    const uint32_t first = m_firstTerm[c], terms = m_firstTerm[c + 1] - first;
    const uint32_t harmonics = m_columns.Harmonics();
    weights.resize(std::size_t(terms) * count);
    for (uint32_t i = 0; i < count; ++i) {
        for (uint32_t t = 0; t < terms; ++t) {
            const uint32_t factor = m_columnTerms[first + t];
            weights[std::size_t(i) * terms + t] =
                factor < harmonics ? m_columns.Cos(x + i, factor) : m_columns.Sin(x + i, factor - harmonics);
        }
    }
}

void CContinuousPlan::BandSums(int c, const std::vector<double>& weights, uint32_t count, std::size_t start,
                               std::size_t length, uint32_t* out, std::size_t outStride) const
{
    const uint32_t first = m_firstTerm[c], terms = m_firstTerm[c + 1] - first;
    if (terms == 0) {
        for (uint32_t i = 0; i < count; ++i)
            std::fill_n(out + i * outStride, length, 0u);
        return;
    }
    CombineRowsTruncated(weights.data(), m_columnRows.data() + first, terms, start, length, count, out, outStride);
}

} // namespace quorrel::render
