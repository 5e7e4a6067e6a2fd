#include "TileParams.h"

#include "Archive.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace quorrel::model {

namespace {

void CopyRecordFields(const CTileParams& from, CTileParams& to)
{
    to.m_nWidth = from.m_nWidth;
    to.m_nHeight = from.m_nHeight;
    for (int c = 0; c < kComponents; ++c) {
        to.m_nHorzHarm[c] = from.m_nHorzHarm[c];
        to.m_nVertHarm[c] = from.m_nVertHarm[c];
        to.m_nAmplMin[c] = from.m_nAmplMin[c];
        to.m_nAmplMax[c] = from.m_nAmplMax[c];
        to.m_nWrapMode[c] = from.m_nWrapMode[c];
        to.m_nTileStyle[c] = from.m_nTileStyle[c];
        to.m_nColorLow[c] = from.m_nColorLow[c];
        to.m_nColorHigh[c] = from.m_nColorHigh[c];
        to.m_bEnabled[c] = from.m_bEnabled[c];
        for (int s = 0; s < kSymmetries; ++s)
            to.m_nSymmetry[c][s] = from.m_nSymmetry[c][s];
        for (int e = 0; e < kCorrelEntries; ++e)
            to.m_dCorrel[c][e] = from.m_dCorrel[c][e];
    }
}

// Walks the 656-byte record in file order; `Io` stores or loads one field.
template <typename P, typename Io>
void WalkRecord(P& p, Io&& io)
{
    io.u32(p.m_nWidth);
    io.u32(p.m_nHeight);
    for (int c = 0; c < kComponents; ++c) {
        io.u32(p.m_nHorzHarm[c]);
        io.u32(p.m_nVertHarm[c]);
        io.u32(p.m_nAmplMin[c]);
        io.u32(p.m_nAmplMax[c]);
        io.i16(p.m_nWrapMode[c]);
        io.i16(p.m_nTileStyle[c]);
        io.u32(p.m_nColorLow[c]);
        io.u32(p.m_nColorHigh[c]);
        io.i32(p.m_bEnabled[c]);
        for (int s = 0; s < kSymmetries; ++s)
            io.i16(p.m_nSymmetry[c][s]);
        for (int e = 0; e < kCorrelEntries; ++e)
            io.f64(p.m_dCorrel[c][e]);
    }
}

struct Storer {
    CArchive& ar;
    void u32(const uint32_t& v) { ar.WriteU32(v); }
    void i32(const int32_t& v) { ar.WriteU32(static_cast<uint32_t>(v)); }
    void i16(const int32_t& v) { ar.WriteU16(static_cast<uint16_t>(v)); }   // low 16 bits
    void f64(const double& v) { ar.WriteF64(v); }
};

struct Loader {
    CArchive& ar;
    void u32(uint32_t& v) { v = ar.ReadU32(); }
    void i32(int32_t& v) { v = static_cast<int32_t>(ar.ReadU32()); }
    void i16(int32_t& v) { v = static_cast<int16_t>(ar.ReadU16()); }  // sign-extended
    void f64(double& v) { v = ar.ReadF64(); }
};

} // namespace

CTileParams::CTileParams()
{
    std::memset(m_nCosCos, 0, sizeof m_nCosCos);
    std::memset(m_nCosSin, 0, sizeof m_nCosSin);
    std::memset(m_nSinCos, 0, sizeof m_nSinCos);
    std::memset(m_nSinSin, 0, sizeof m_nSinSin);
    for (int c = 0; c < kComponents; ++c) {
        m_bEnabled[c] = c >= Hue ? 1 : 0;
        for (int e = 0; e < kCorrelEntries; ++e)
            m_dCorrel[c][e] = 0.0;
        m_nHorzHarm[c] = 3;
        m_nVertHarm[c] = 3;
        m_nColorHigh[c] = 255;
        m_nColorLow[c] = 0;
        m_nAmplMin[c] = 0;
        m_nAmplMax[c] = 60;
        for (int s = 0; s < kSymmetries; ++s)
            m_nSymmetry[c][s] = 1;
        m_nTileStyle[c] = 0;
        m_nWrapMode[c] = 1;
    }
    m_nColorHigh[Saturation] = 225;
    m_nColorLow[Saturation] = 69;
    m_nColorHigh[Luminosity] = 182;
    m_nColorLow[Luminosity] = 70;
    const int32_t hueRow[kSymmetries] = {0, 0, 0, 0, 1, 1};
    std::copy(std::begin(hueRow), std::end(hueRow), m_nSymmetry[Hue]);
    m_nWidth = 125;
    m_nHeight = 125;
}

CTileParams::CTileParams(const CTileParams& other) : CTileParams()
{
    *this = other;
}

CTileParams& CTileParams::operator=(const CTileParams& other)
{
    if (this == &other)
        return *this;
    CopyRecordFields(other, *this);
    // Only the source's active part is copied; other cells keep their values.
    for (int c = 0; c < kComponents; ++c) {
        const uint32_t hn = std::min<uint32_t>(other.m_nHorzHarm[c], kMaxHarmonics);
        const uint32_t kn = std::min<uint32_t>(other.m_nVertHarm[c], kMaxHarmonics);
        for (uint32_t h = 0; h < hn; ++h) {
            for (uint32_t k = 0; k < kn; ++k) {
                m_nCosCos[c][h][k] = other.m_nCosCos[c][h][k];
                m_nCosSin[c][h][k] = other.m_nCosSin[c][h][k];
                m_nSinCos[c][h][k] = other.m_nSinCos[c][h][k];
                m_nSinSin[c][h][k] = other.m_nSinSin[c][h][k];
            }
        }
    }
    return *this;
}

void CTileParams::SerializeParams(CArchive& ar)
{
    if (ar.IsStoring()) {
        StoreParams(ar);
        return;
    }
    // Load into a scratch set first, so that a refused record leaves this one
    // untouched.
    auto loaded = std::make_unique<CTileParams>();
    WalkRecord(*loaded, Loader{ar});
    if (!loaded->IsValid())
        throw CArchiveException(CArchiveException::badFormat);
    CopyRecordFields(*loaded, *this);
}

void CTileParams::StoreParams(CArchive& ar) const
{
    WalkRecord(*this, Storer{ar});
}

// Visits the active part in file order: per component, h outer, k inner,
// the four tables per cell. Counts were validated when the record was
// loaded; clamping keeps a stray in-memory count from indexing past the tables.
template <typename P, typename Cell>
static void WalkCoeffs(P& p, Cell&& cell)
{
    for (int c = 0; c < kComponents; ++c) {
        const uint32_t hn = std::min<uint32_t>(p.m_nHorzHarm[c], kMaxHarmonics);
        const uint32_t kn = std::min<uint32_t>(p.m_nVertHarm[c], kMaxHarmonics);
        for (uint32_t h = 0; h < hn; ++h) {
            for (uint32_t k = 0; k < kn; ++k) {
                cell(p.m_nCosCos[c][h][k]);
                cell(p.m_nCosSin[c][h][k]);
                cell(p.m_nSinCos[c][h][k]);
                cell(p.m_nSinSin[c][h][k]);
            }
        }
    }
}

void CTileParams::StoreCoeffs(CArchive& ar) const
{
    WalkCoeffs(*this, [&](const int32_t& v) { ar.WriteU32(static_cast<uint32_t>(v)); });
}

void CTileParams::SerializeCoeffs(CArchive& ar)
{
    if (ar.IsStoring())
        StoreCoeffs(ar);
    else
        WalkCoeffs(*this, [&](int32_t& v) { v = static_cast<int32_t>(ar.ReadU32()); });
}

void CTileParams::SquareHarmonics()
{
    for (int c = 0; c < kComponents; ++c) {
        if (m_bEnabled[c] && (m_nSymmetry[c][2] || m_nSymmetry[c][3] || m_nSymmetry[c][5]))
            m_nVertHarm[c] = m_nHorzHarm[c];
    }
}

bool CTileParams::IsValid() const
{
    if (m_nWidth < 1 || m_nWidth > kMaxSize || m_nHeight < 1 || m_nHeight > kMaxSize)
        return false;
    for (int c = 0; c < kComponents; ++c) {
        if (m_nHorzHarm[c] > kMaxHarmonics || m_nVertHarm[c] > kMaxHarmonics)
            return false;
        if (m_nWrapMode[c] < 0 || m_nWrapMode[c] > 2)
            return false;
        if (m_nTileStyle[c] < 0 || m_nTileStyle[c] > 1)
            return false;
        if (m_nColorLow[c] > 255 || m_nColorHigh[c] > 255)
            return false;
        // The generator draws a remainder modulo (max - min + 1): that must
        // be a positive span.
        if (m_nAmplMax[c] < m_nAmplMin[c] || m_nAmplMax[c] - m_nAmplMin[c] == UINT32_MAX)
            return false;
        for (int s = 0; s < kSymmetries; ++s) {
            if (m_nSymmetry[c][s] < -1 || m_nSymmetry[c][s] > 1)
                return false;
        }
    }
    return true;
}

bool CTileParams::IsCorrelated(int c) const
{
    for (int e = 0; e < kCorrelEntries; ++e) {
        if (m_dCorrel[c][e] != 0.0)
            return true;
    }
    return false;
}

bool SameParams(const CTileParams& a, const CTileParams& b)
{
    CArchive ra, rb;
    a.StoreParams(ra);
    a.StoreCoeffs(ra);
    b.StoreParams(rb);
    b.StoreCoeffs(rb);
    return ra.Buffer() == rb.Buffer();
}

} // namespace quorrel::model
