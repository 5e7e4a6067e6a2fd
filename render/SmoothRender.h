#pragma once
// Smooth rendering: the series computed at factor x factor samples a pixel
// (the same continuous series at factor times the width and height), each
// pixel written as the rounded mean of its samples' colours, channel by
// channel; every sample goes through the whole colour pipeline first. With
// factor 1 it is the exact rendering itself.
//
// The samples arrive column by column from either renderer and a pixel
// column is averaged and passed on as soon as its last sample column is in:
// only one column of sums is held, never the enlarged image, so the memory
// grows with factor (the renderer's tables) and not with factor squared.

#include "PixelSurface.h"
#include "TileRenderer.h"
#include "model/TileParams.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace quorrel::render {

inline constexpr uint32_t kMaxSupersample = 8;

// The surface a renderer draws the enlarged image into; it writes the
// averaged pixels into `target` (width and height `factor` times smaller).
// Sample columns must come in order of their pixel column, as both
// renderers deliver them; within a pixel column any order will do.
class CSupersampleSurface final : public IPixelSurface {
public:
    CSupersampleSurface(IPixelSurface& target, uint32_t factor, uint32_t height);

    void SetPixel(uint32_t x, uint32_t y, uint8_t red, uint8_t green, uint8_t blue) override;
    void SetColumn(uint32_t x, uint32_t height, const uint8_t* rgb) override;

private:
    void Begin(uint32_t x);
    void Counted(uint64_t samples);

    IPixelSurface& m_target;
    uint32_t m_factor;
    uint32_t m_height;
    uint32_t m_column = 0;        // the pixel column being summed
    uint64_t m_samples = 0;       // its samples so far
    std::vector<uint32_t> m_sums;   // red, green, blue sums of each pixel
    std::vector<uint8_t> m_means;
};

// Renders the samples of a smooth rendering: the series at the size
// `settings` gives, into `surface`.
using SampleRenderer =
    std::function<void(IPixelSurface& surface, const RenderSettings& settings, const ProgressSink& progress)>;

// `render` at `factor` times width x height, each factor x factor block of
// samples averaged into one pixel of `surface` (factor 1: rendered
// directly). std::invalid_argument for a factor outside 1..kMaxSupersample.
void RenderSmoothWith(const SampleRenderer& render, uint32_t width, uint32_t height, IPixelSurface& surface,
                      const RenderSettings& settings, uint32_t factor, const ProgressSink& progress = {});

// RenderTile with `factor` x `factor` samples a pixel (1 to
// kMaxSupersample; std::invalid_argument otherwise), at the size `settings`
// gives. Progress as RenderTile reports it.
void RenderTileSmooth(const model::CTileParams& params, IPixelSurface& surface, const RenderSettings& settings,
                      uint32_t factor, const ProgressSink& progress = {});

} // namespace quorrel::render
