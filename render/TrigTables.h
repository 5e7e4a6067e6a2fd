#pragma once
// cos((i * step) * n) and sin((i * step) * n) for every position i and every
// harmonic n in use, with step = 2*pi / size. The product is formed as
// position times step first, then times the harmonic.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorrel::render {

inline constexpr double kTwoPi = 6.283185307179586;

// The one place the angle of a table entry is formed; every table uses it so
// that all renderers read bit-identical factors.
inline double TableAngle(uint32_t pos, double step, uint32_t n)
{
    return static_cast<double>(pos) * step * static_cast<double>(n);
}

inline double TableStep(uint32_t size) { return kTwoPi / static_cast<double>(size); }

// Position-major: the harmonics of one position are adjacent.
class TrigTable final {
public:
    TrigTable(uint32_t size, uint32_t harmonics);

    uint32_t Harmonics() const { return m_harmonics; }
    double Cos(uint32_t pos, uint32_t n) const { return m_cos[std::size_t(pos) * m_harmonics + n]; }
    double Sin(uint32_t pos, uint32_t n) const { return m_sin[std::size_t(pos) * m_harmonics + n]; }

private:
    uint32_t m_harmonics;
    std::vector<double> m_cos;
    std::vector<double> m_sin;
};

} // namespace quorrel::render
