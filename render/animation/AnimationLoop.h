#pragma once
// A living wallpaper's loop: its keyframes (parameter sets that share their
// settings), its timing, and its frames rendered through the continuous
// renderer from the blended coefficient tables.

#include "LoopBlend.h"
#include "LoopTiming.h"

#include "model/TileParams.h"
#include "render/PixelSurface.h"
#include "render/TileRenderer.h"

#include <memory>
#include <vector>

namespace quorrel::render::animation {

class CAnimationLoop final {
public:
    // Keyframes that do not share their settings (KeyframeMismatch), or
    // fewer than two, throw std::invalid_argument with the reason; the
    // first keyframe's name in messages is "keyframe 1", and so on.
    CAnimationLoop(const std::vector<model::CTileParams>& keyframes, CLoopTiming timing);

    const CLoopTiming& Timing() const { return m_timing; }
    // The settings every frame is rendered with (the first keyframe's).
    const model::CTileParams& Settings() const { return *m_settings; }
    const CLoopBlend& Blend() const { return m_blend; }

    // The tables of frame f (modulo the frame count).
    void Coefficients(uint64_t f, RealCoefficients& out) const;

    // Renders frame f with the continuous renderer (size and threads as
    // `settings` says). May run on several threads at once.
    void RenderFrame(uint64_t f, IPixelSurface& surface, const RenderSettings& settings,
                     const ProgressSink& progress = {}) const;

private:
    std::unique_ptr<model::CTileParams> m_settings;
    CLoopBlend m_blend;
    CLoopTiming m_timing;
};

} // namespace quorrel::render::animation
