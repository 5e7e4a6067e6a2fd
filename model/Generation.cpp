// Random generation of coefficients: amplitude ranges, symmetries and the
// correlation rows of disabled components.

#include "NumericConversions.h"
#include "RandomSource.h"
#include "TileParams.h"

#include <algorithm>
#include <ctime>
#include <iterator>

namespace quorrel::model {

void CTileParams::SeedForGeneration(std::optional<uint32_t> seed)
{
    if (seed) {
        Srand(*seed);
        return;
    }
    // The clock is read first, then one value drawn from the current state,
    // so two generations within one second still differ.
    const auto now = static_cast<uint32_t>(std::time(nullptr));
    Srand(now + static_cast<uint32_t>(Rand()));
}

void CTileParams::GenerateRandom(std::optional<uint32_t> seed)
{
    SeedForGeneration(seed);
    for (int c = 0; c < kComponents; ++c) {
        if (m_bEnabled[c]) {
            FillRandom(c, GetSymmetryTables(c), 0, m_nHorzHarm[c], 0, m_nVertHarm[c]);
            ApplySymmetries(c);
        }
    }
    for (int c = 0; c < kComponents; ++c) {
        if (!m_bEnabled[c])
            ApplyCorrelation(c);
    }
}

void CTileParams::ExtendRandom(const CTileParams& previous, std::optional<uint32_t> seed)
{
    SeedForGeneration(seed);
    for (int c = 0; c < kComponents; ++c) {
        if (!m_bEnabled[c])
            continue;
        const TableMask mask = GetSymmetryTables(c);
        const uint32_t newH = m_nHorzHarm[c], newV = m_nVertHarm[c];
        if (previous.m_bEnabled[c]) {
            const uint32_t oldH = previous.m_nHorzHarm[c], oldV = previous.m_nVertHarm[c];
            // A lowered count leaves the component exactly as it was.
            if (oldH > newH || oldV > newV)
                continue;
            FillRandom(c, mask, 0, oldH, oldV, newV);
            FillRandom(c, mask, oldH, newH, 0, oldV);
            FillRandom(c, mask, oldH, newH, oldV, newV);
        } else {
            FillRandom(c, mask, 0, newH, 0, newV);
        }
        ApplySymmetries(c);
    }
    for (int c = 0; c < kComponents; ++c) {
        if (!m_bEnabled[c])
            ApplyCorrelation(c);
    }
}

TableMask CTileParams::GetSymmetryTables(int c) const
{
    const int32_t* s = m_nSymmetry[c];
    const int s0 = s[0], s1 = s[1];
    TableMask m;
    if (s1 == 0 && s0 == 0) {
        const int32_t prod = s[2] * s[3];
        if (prod == -1) {
            m.cosSin = m.sinCos = true;
        } else if (prod == 1 || s[5] != 0) {
            m.cosCos = m.sinSin = true;
        } else {
            m.cosCos = m.cosSin = m.sinCos = m.sinSin = true;
        }
        return m;
    }
    // s1 (horizontal mirror) picks cosines (+1) or sines (-1) horizontally,
    // s0 (vertical mirror) does the same vertically; 0 leaves both.
    const bool cosH = s1 >= 0, sinH = s1 <= 0;
    const bool cosV = s0 >= 0, sinV = s0 <= 0;
    m.cosCos = cosH && cosV;
    m.cosSin = cosH && sinV;
    m.sinCos = sinH && cosV;
    m.sinSin = sinH && sinV;
    return m;
}

void CTileParams::FillRandom(int c, TableMask mask, uint32_t h0, uint32_t h1, uint32_t k0, uint32_t k1)
{
    const uint32_t low = m_nAmplMin[c];
    const uint32_t span = m_nAmplMax[c] - low + 1;
    const bool flags[4] = {mask.cosCos, mask.cosSin, mask.sinCos, mask.sinSin};
    CoeffTable* tables[4] = {&m_nCosCos, &m_nCosSin, &m_nSinCos, &m_nSinSin};
    for (uint32_t h = h0; h < h1; ++h) {
        for (uint32_t k = k0; k < k1; ++k) {
            for (int t = 0; t < 4; ++t) {
                int32_t value = 0;
                if (flags[t]) {
                    const int sign = (Rand() & 1) ? 1 : -1;
                    const uint32_t magnitude = low + static_cast<uint32_t>(Rand()) % span;
                    value = static_cast<int32_t>(static_cast<uint32_t>(sign) * magnitude);
                }
                (*tables[t])[c][h][k] = value;
            }
        }
    }
}

void CTileParams::ApplySymmetries(int c)
{
    auto& CC = m_nCosCos[c];
    auto& CS = m_nCosSin[c];
    auto& SC = m_nSinCos[c];
    auto& SS = m_nSinSin[c];
    const uint32_t H = m_nHorzHarm[c], V = m_nVertHarm[c];
    const int32_t* s = m_nSymmetry[c];

    // Negation in two's complement with wrap, as the int32 cells do.
    auto neg = [](int32_t v) { return static_cast<int32_t>(0u - static_cast<uint32_t>(v)); };

    // Loops "for i < H: diagonal; for j > i (or j >= i): cell", where the
    // source X[j][i] has the larger horizontal index and the destination is
    // X[i][j].
    auto forPairs = [&](bool fromDiagonal, auto&& diagonal, auto&& cell) {
        for (uint32_t i = 0; i < H; ++i) {
            diagonal(i);
            for (uint32_t j = fromDiagonal ? i : i + 1; j < V; ++j)
                cell(i, j);
        }
    };
    auto none = [](uint32_t) {};

    // A. Anti-diagonal (s2) and diagonal (s3).
    const int s2 = s[2], s3 = s[3];
    if (s2 == -1 && s3 == -1) {
        forPairs(false,
                 [&](uint32_t i) { CC[i][i] = 0; CS[i][i] = 0; SC[i][i] = 0; SS[i][i] = 0; },
                 [&](uint32_t i, uint32_t j) { CC[i][j] = neg(CC[j][i]); SS[i][j] = neg(SS[j][i]); });
    } else if (s2 == -1 && s3 == 0) {
        forPairs(false,
                 [&](uint32_t i) { CC[i][i] = 0; SS[i][i] = 0; CS[i][i] = SC[i][i]; },
                 [&](uint32_t i, uint32_t j) {
                     CC[i][j] = neg(CC[j][i]);
                     CS[i][j] = SC[j][i];
                     SC[i][j] = CS[j][i];
                     SS[i][j] = neg(SS[j][i]);
                 });
    } else if (s2 == -1 && s3 == 1) {
        forPairs(true, none, [&](uint32_t i, uint32_t j) {
            CS[i][j] = SC[j][i];
            SC[i][j] = CS[j][i];
        });
    } else if (s2 == 0 && s3 == -1) {
        forPairs(false,
                 [&](uint32_t i) { CC[i][i] = 0; CS[i][i] = neg(SC[i][i]); SS[i][i] = 0; },
                 [&](uint32_t i, uint32_t j) {
                     CC[i][j] = neg(CC[j][i]);
                     CS[i][j] = neg(SC[j][i]);
                     SC[i][j] = neg(CS[j][i]);
                     SS[i][j] = neg(SS[j][i]);
                 });
    } else if (s2 == 0 && s3 == 1) {
        forPairs(false,
                 [&](uint32_t i) { CS[i][i] = SC[i][i]; },
                 [&](uint32_t i, uint32_t j) {
                     CC[i][j] = CC[j][i];
                     CS[i][j] = SC[j][i];
                     SC[i][j] = CS[j][i];
                     SS[i][j] = SS[j][i];
                 });
    } else if (s2 == 1 && s3 == -1) {
        forPairs(true, none, [&](uint32_t i, uint32_t j) {
            CS[i][j] = neg(SC[j][i]);
            SC[i][j] = neg(CS[j][i]);
        });
    } else if (s2 == 1 && s3 == 0) {
        forPairs(true, none, [&](uint32_t i, uint32_t j) {
            CC[i][j] = CC[j][i];
            CS[i][j] = neg(SC[j][i]);
            SC[i][j] = neg(CS[j][i]);
            SS[i][j] = SS[j][i];
        });
    } else if (s2 == 1 && s3 == 1) {
        forPairs(true, none, [&](uint32_t i, uint32_t j) {
            CC[i][j] = CC[j][i];
            SS[i][j] = SS[j][i];
        });
    }

    // B. Half turn, only when every other symmetry is off.
    if (s[0] == 0 && s[1] == 0 && s2 == 0 && s3 == 0 && s[5] == 0) {
        for (uint32_t i = 0; i < H; ++i) {
            for (uint32_t j = 0; j < V; ++j) {
                if (s[4] == -1) {
                    CC[i][j] = 0;
                    SS[i][j] = 0;
                } else if (s[4] == 1) {
                    CS[i][j] = 0;
                    SC[i][j] = 0;
                }
            }
        }
    }

    // C. Quarter turn, when neither mirror nor diagonal symmetry is set.
    if (s[0] == 0 && s[1] == 0 && s2 == 0 && s3 == 0) {
        if (s[5] == -1) {
            forPairs(false, [&](uint32_t i) { CC[i][i] = 0; },
                     [&](uint32_t i, uint32_t j) { CC[i][j] = neg(CC[j][i]); SS[i][j] = SS[j][i]; });
        } else if (s[5] == 1) {
            forPairs(false, [&](uint32_t i) { SS[i][i] = 0; },
                     [&](uint32_t i, uint32_t j) { CC[i][j] = CC[j][i]; SS[i][j] = neg(SS[j][i]); });
        }
    }
}

void CTileParams::ApplyCorrelation(int c)
{
    m_nHorzHarm[c] = 0;
    m_nHorzHarm[c] = *std::max_element(std::begin(m_nHorzHarm), std::end(m_nHorzHarm));
    m_nVertHarm[c] = 0;
    m_nVertHarm[c] = *std::max_element(std::begin(m_nVertHarm), std::end(m_nVertHarm));
    const uint32_t H = std::min<uint32_t>(m_nHorzHarm[c], kMaxHarmonics);
    const uint32_t V = std::min<uint32_t>(m_nVertHarm[c], kMaxHarmonics);
    CoeffTable* tables[4] = {&m_nCosCos, &m_nCosSin, &m_nSinCos, &m_nSinSin};
    for (uint32_t i = 0; i < H; ++i) {
        for (uint32_t j = 0; j < V; ++j) {
            for (CoeffTable* t : tables) {
                // C++ remainder keeps the sign of the dividend: -300 -> -44.
                (*t)[c][i][j] = CorrelatedCoeff(*t, c, i, j) % 256;
            }
        }
    }
}

int32_t CTileParams::CorrelatedCoeff(CoeffTable& table, int c, uint32_t h, uint32_t k)
{
    const double* w = m_dCorrel[c];
    double sum = 0.0;
    for (int s = 0; s < kComponents; ++s) {
        if (h < m_nHorzHarm[s] && k < m_nVertHarm[s])
            sum = sum + static_cast<double>(table[s][h][k]) * w[s];
    }
    sum = sum + w[6];
    const uint32_t d = static_cast<uint32_t>(TruncToInt64(w[7]));
    if (d != 0) {
        const uint32_t r = static_cast<uint32_t>(Rand());
        sum = (static_cast<double>(r % d) - static_cast<double>(d) * 0.5) + sum;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(TruncToInt64(sum)));
}

} // namespace quorrel::model
