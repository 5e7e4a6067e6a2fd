#include "AnimationLoop.h"

#include "Keyframes.h"

#include <stdexcept>

namespace quorrel::render::animation {

namespace {

// The keyframes' tables, once they are known to fit together (the blend
// refuses fewer than two).
std::vector<RealCoefficients> TablesOf(const std::vector<model::CTileParams>& keyframes)
{
    for (std::size_t k = 1; k < keyframes.size(); ++k) {
        const std::string mismatch =
            KeyframeMismatch(keyframes[0], "keyframe 1", keyframes[k], "keyframe " + std::to_string(k + 1));
        if (!mismatch.empty())
            throw std::invalid_argument(mismatch);
    }
    std::vector<RealCoefficients> tables;
    tables.reserve(keyframes.size());
    for (const model::CTileParams& keyframe : keyframes)
        tables.push_back(RealCoefficients::FromParams(keyframe));
    return tables;
}

} // namespace

CAnimationLoop::CAnimationLoop(const std::vector<model::CTileParams>& keyframes, CLoopTiming timing)
    : m_settings(std::make_unique<model::CTileParams>(keyframes.empty() ? model::CTileParams() : keyframes[0])),
      m_blend(TablesOf(keyframes)),
      m_timing(timing)
{}

void CAnimationLoop::Coefficients(uint64_t f, RealCoefficients& out) const { m_blend.At(f, m_timing.Frames(), out); }

void CAnimationLoop::RenderFrame(uint64_t f, IPixelSurface& surface, const RenderSettings& settings,
                                 const ProgressSink& progress) const
{
    auto tables = std::make_unique<RealCoefficients>();
    Coefficients(f, *tables);
    RenderTileContinuous(*m_settings, *tables, surface, settings, progress);
}

} // namespace quorrel::render::animation
