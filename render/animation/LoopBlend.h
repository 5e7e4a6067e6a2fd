#pragma once
// The coefficient tables of a loop at any frame: a periodic Catmull-Rom
// cubic through the keyframes, which are spaced evenly over the loop
// (keyframe j at time j / K) and come round again after the last. The curve
// passes through every keyframe exactly and its velocity is continuous, also
// where the loop closes; with two keyframes it is an eased cross-fade,
// A -> B -> A. Each cell is the same weighted sum of the keyframes' cells,
// scaled by one factor that keeps the waves' amplitude at the keyframes'
// (a plain weighted sum of independent keyframes is weaker between them),
// so a relation that holds in every keyframe (a cell equal to another, or
// its negation, or 0) holds in every frame bit for bit: frames keep the
// keyframes' symmetries.

#include "render/continuous/ContinuousRenderer.h"

#include <array>
#include <cstdint>
#include <vector>

namespace quorrel::render::animation {

// The weights of the four keyframes around a point a fraction u (0..1) of
// the way from keyframe j to j + 1: for j - 1, j, j + 1, j + 2. They add up
// to 1; u = 0 gives (0, 1, 0, 0) exactly.
std::array<double, 4> CatmullRomWeights(double u);

class CLoopBlend final {
public:
    // Two keyframes at least (std::invalid_argument otherwise).
    explicit CLoopBlend(std::vector<RealCoefficients> keyframes);

    std::size_t Keyframes() const { return m_keyframes.size(); }
    const RealCoefficients& Keyframe(std::size_t j) const { return m_keyframes[j]; }

    // The tables at frame f of a loop of `frames` frames (time f / frames;
    // f is taken modulo `frames`, so frame `frames` is frame 0). A frame at
    // a keyframe's time gets that keyframe's tables, bit for bit.
    void At(uint64_t f, uint64_t frames, RealCoefficients& out) const;

    // The root of the sum of squares of every cell but the constant ones.
    static double Amplitude(const RealCoefficients& tables);

private:
    std::vector<RealCoefficients> m_keyframes;
    std::vector<double> m_amplitudes;   // each keyframe's
};

} // namespace quorrel::render::animation
