#pragma once
// The complete description of one tile image: its size and, per colour
// component, a 2-D trigonometric series plus the settings that shape how
// coefficients are generated and how the series becomes colour levels.

#include <cstdint>
#include <optional>

namespace quorrel::model {

class CArchive;

// Colour components, in their fixed order. 0..2 are the RGB group, 3..5 HSL.
enum Component : int { Red = 0, Green, Blue, Hue, Saturation, Luminosity };
inline constexpr int kComponents = 6;
inline constexpr int kMaxHarmonics = 30;
inline constexpr uint32_t kMaxSize = 1024;
inline constexpr int kCorrelEntries = 8;   // six weights, "+" and "Free"
inline constexpr int kSymmetries = 6;

// Which coefficient tables a component gets random values in, in table order
// CosCos, CosSin, SinCos, SinSin.
struct TableMask {
    bool cosCos = false, cosSin = false, sinCos = false, sinSin = false;
    bool operator==(const TableMask&) const = default;
};

using CoeffTable = int32_t[kComponents][kMaxHarmonics][kMaxHarmonics];

class CTileParams {
public:
    CTileParams();
    CTileParams(const CTileParams& other);
    CTileParams& operator=(const CTileParams& other);
    virtual ~CTileParams() = default;

    // Fields, in declaration order. Index [c] is the component, then
    // [h][k] = [horizontal harmonic][vertical harmonic].
    CoeffTable m_nCosCos;
    CoeffTable m_nCosSin;
    CoeffTable m_nSinCos;
    CoeffTable m_nSinSin;
    int32_t m_bEnabled[kComponents];
    double m_dCorrel[kComponents][kCorrelEntries];
    uint32_t m_nHorzHarm[kComponents];
    uint32_t m_nVertHarm[kComponents];
    uint32_t m_nColorHigh[kComponents];
    uint32_t m_nColorLow[kComponents];
    uint32_t m_nAmplMin[kComponents];
    uint32_t m_nAmplMax[kComponents];
    int32_t m_nSymmetry[kComponents][kSymmetries];
    int32_t m_nTileStyle[kComponents];
    int32_t m_nWrapMode[kComponents];
    uint32_t m_nWidth;
    uint32_t m_nHeight;

    // Record and coefficient block of a "*.wpp" file (and of the stored
    // defaults, record only). Loading the record refuses values that break
    // the invariants below with CArchiveException::badFormat.
    void SerializeParams(CArchive& ar);
    void SerializeCoeffs(CArchive& ar);
    void StoreParams(CArchive& ar) const;
    void StoreCoeffs(CArchive& ar) const;

    // Random generation. Both reseed the process's generator from the clock
    // plus one draw; a given seed replaces that (tests, batch rendering).
    void GenerateRandom(std::optional<uint32_t> seed = std::nullopt);
    void ExtendRandom(const CTileParams& previous, std::optional<uint32_t> seed = std::nullopt);

    TableMask GetSymmetryTables(int c) const;
    void FillRandom(int c, TableMask mask, uint32_t h0, uint32_t h1, uint32_t k0, uint32_t k1);
    void ApplySymmetries(int c);
    void ApplyCorrelation(int c);
    int32_t CorrelatedCoeff(CoeffTable& table, int c, uint32_t h, uint32_t k);

    // Ties the vertical count to the horizontal one where an enabled
    // component's diagonal, anti-diagonal or quarter-turn symmetry is set.
    void SquareHarmonics();

    // The invariants the renderer and generator rely on: counts <= 30,
    // size 1..1024, wrap mode 0..2, tile style 0..1, symmetries -1..+1,
    // colour bounds <= 255, a non-empty amplitude range.
    bool IsValid() const;

    bool IsCorrelated(int c) const;

private:
    void SeedForGeneration(std::optional<uint32_t> seed);
};

// Two sets are equal when every field and every cell of the active part is.
bool SameParams(const CTileParams& a, const CTileParams& b);

} // namespace quorrel::model
