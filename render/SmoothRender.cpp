#include "SmoothRender.h"

#include <algorithm>
#include <stdexcept>

namespace quorrel::render {

CSupersampleSurface::CSupersampleSurface(IPixelSurface& target, uint32_t factor, uint32_t height)
    : m_target(target), m_factor(std::max(factor, 1u)), m_height(height), m_sums(std::size_t(height) * 3, 0),
      m_means(std::size_t(height) * 3, 0)
{
}

void CSupersampleSurface::Begin(uint32_t x)
{
    const uint32_t column = x / m_factor;
    if (column == m_column && m_samples > 0)
        return;
    if (m_samples > 0)
        std::fill(m_sums.begin(), m_sums.end(), 0u);   // an unfinished column is dropped
    m_column = column;
    m_samples = 0;
}

void CSupersampleSurface::Counted(uint64_t samples)
{
    m_samples += samples;
    const uint64_t square = uint64_t(m_factor) * m_factor;
    if (m_samples < square * m_height)
        return;
    const uint32_t half = uint32_t(square / 2);
    for (std::size_t i = 0; i < m_sums.size(); ++i)
        m_means[i] = static_cast<uint8_t>((m_sums[i] + half) / square);
    m_target.SetColumn(m_column, m_height, m_means.data());
    std::fill(m_sums.begin(), m_sums.end(), 0u);
    m_samples = 0;
}

void CSupersampleSurface::SetPixel(uint32_t x, uint32_t y, uint8_t red, uint8_t green, uint8_t blue)
{
    const uint32_t row = y / m_factor;
    if (row >= m_height)
        return;
    Begin(x);
    uint32_t* sum = &m_sums[std::size_t(row) * 3];
    sum[0] += red;
    sum[1] += green;
    sum[2] += blue;
    Counted(1);
}

void CSupersampleSurface::SetColumn(uint32_t x, uint32_t height, const uint8_t* rgb)
{
    height = std::min(height, m_height * m_factor);
    Begin(x);
    for (uint32_t y = 0; y < height; ++y, rgb += 3) {
        uint32_t* sum = &m_sums[std::size_t(y / m_factor) * 3];
        sum[0] += rgb[0];
        sum[1] += rgb[1];
        sum[2] += rgb[2];
    }
    Counted(height);
}

void RenderSmoothWith(const SampleRenderer& render, uint32_t width, uint32_t height, IPixelSurface& surface,
                      const RenderSettings& settings, uint32_t factor, const ProgressSink& progress)
{
    if (factor < 1 || factor > kMaxSupersample)
        throw std::invalid_argument("supersampling takes 1 to 8 samples a side");
    RenderSettings sized = settings;
    sized.width = width * factor;
    sized.height = height * factor;
    if (factor == 1) {
        render(surface, sized, progress);
        return;
    }
    CSupersampleSurface samples(surface, factor, height);
    render(samples, sized, progress);
}

void RenderTileSmooth(const model::CTileParams& params, IPixelSurface& surface, const RenderSettings& settings,
                      uint32_t factor, const ProgressSink& progress)
{
    const auto [width, height] = AreaOf(params, settings);
    RenderSmoothWith([&](IPixelSurface& to, const RenderSettings& sized,
                         const ProgressSink& sink) { RenderTile(params, to, sized, sink); },
                     width, height, surface, settings, factor, progress);
}

} // namespace quorrel::render
