#include "LoopBlend.h"

#include "Keyframes.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace quorrel::render::animation {

namespace {

// The most a blend is scaled up (where keyframes nearly cancel).
constexpr double kMaxAmplitudeScale = 2.0;

} // namespace

std::array<double, 4> CatmullRomWeights(double u)
{
    const double u2 = u * u;
    const double u3 = u2 * u;
    return {(-u3 + 2.0 * u2 - u) * 0.5, (3.0 * u3 - 5.0 * u2 + 2.0) * 0.5, (-3.0 * u3 + 4.0 * u2 + u) * 0.5,
            (u3 - u2) * 0.5};
}

CLoopBlend::CLoopBlend(std::vector<RealCoefficients> keyframes) : m_keyframes(std::move(keyframes))
{
    if (m_keyframes.size() < kMinKeyframes)
        throw std::invalid_argument("a loop needs two keyframes at least");
    for (const RealCoefficients& keyframe : m_keyframes)
        m_amplitudes.push_back(Amplitude(keyframe));
}

void CLoopBlend::At(uint64_t f, uint64_t frames, RealCoefficients& out) const
{
    if (frames == 0)
        throw std::invalid_argument("a loop has frames");
    const uint64_t count = m_keyframes.size();
    // Position f * K / F in keyframes, split into the keyframe before it and
    // the fraction past it in whole numbers, so a keyframe's time is exact.
    const unsigned __int128 scaled = static_cast<unsigned __int128>(f % frames) * count;
    const uint64_t j = static_cast<uint64_t>(scaled / frames);
    const uint64_t remainder = static_cast<uint64_t>(scaled % frames);
    if (remainder == 0) {
        out = m_keyframes[j];
        return;
    }
    const std::array<double, 4> w = CatmullRomWeights(double(remainder) / double(frames));
    const RealCoefficients* p[4] = {&m_keyframes[(j + count - 1) % count], &m_keyframes[j],
                                    &m_keyframes[(j + 1) % count], &m_keyframes[(j + 2) % count]};
    using Table = RealCoefficients::Table;
    auto blend = [&](Table RealCoefficients::*table) {
        Table& result = out.*table;
        for (int c = 0; c < model::kComponents; ++c) {
            for (int h = 0; h < model::kMaxHarmonics; ++h) {
                for (int k = 0; k < model::kMaxHarmonics; ++k) {
                    result[c][h][k] = w[0] * (p[0]->*table)[c][h][k] + w[1] * (p[1]->*table)[c][h][k] +
                                      w[2] * (p[2]->*table)[c][h][k] + w[3] * (p[3]->*table)[c][h][k];
                }
            }
        }
    };
    blend(&RealCoefficients::cosCos);
    blend(&RealCoefficients::cosSin);
    blend(&RealCoefficients::sinCos);
    blend(&RealCoefficients::sinSin);

    // Independent keyframes' waves partly cancel in a weighted sum, so a
    // blend's amplitude sinks between keyframes (by up to a third midway
    // between two): the colours would dim and flatten there. The blend is
    // scaled back to the keyframes' amplitude, interpolated with the same
    // weights. One factor for every cell but the constant ones keeps each
    // relation between cells (equal, negated, zero) exact.
    double amplitude = 0;
    for (int i = 0; i < 4; ++i)
        amplitude += w[std::size_t(i)] * m_amplitudes[(j + count - 1 + uint64_t(i)) % count];
    const double blended = Amplitude(out);
    if (blended > 0 && amplitude > blended) {
        const double scale = std::min(amplitude / blended, kMaxAmplitudeScale);
        auto rescale = [&](Table RealCoefficients::*table) {
            Table& result = out.*table;
            for (int c = 0; c < model::kComponents; ++c)
                for (int h = 0; h < model::kMaxHarmonics; ++h)
                    for (int k = 0; k < model::kMaxHarmonics; ++k)
                        if (h != 0 || k != 0)
                            result[c][h][k] *= scale;
        };
        rescale(&RealCoefficients::cosCos);
        rescale(&RealCoefficients::cosSin);
        rescale(&RealCoefficients::sinCos);
        rescale(&RealCoefficients::sinSin);
    }
}

double CLoopBlend::Amplitude(const RealCoefficients& tables)
{
    double sum = 0;
    for (const auto* table : {&tables.cosCos, &tables.cosSin, &tables.sinCos, &tables.sinSin})
        for (int c = 0; c < model::kComponents; ++c)
            for (int h = 0; h < model::kMaxHarmonics; ++h)
                for (int k = 0; k < model::kMaxHarmonics; ++k)
                    if (h != 0 || k != 0)
                        sum += (*table)[c][h][k] * (*table)[c][h][k];
    return std::sqrt(sum);
}

} // namespace quorrel::render::animation
