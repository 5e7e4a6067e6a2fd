#include "LoopTiming.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace quorrel::render::animation {

namespace {

// The shortest text that reads back as `value` (0.1, 3600).
std::string Number(double value)
{
    char text[32];
    const auto [end, failure] = std::to_chars(text, text + sizeof text, value);
    return failure == std::errc() ? std::string(text, end) : std::to_string(value);
}

} // namespace

std::optional<CLoopTiming> CLoopTiming::FromSeconds(double seconds, uint32_t fps, std::string& error)
{
    if (!(seconds >= kMinSeconds && seconds <= kMaxSeconds)) {
        error = "the loop lasts from " + Number(kMinSeconds) + " to " + Number(kMaxSeconds) + " seconds";
        return std::nullopt;
    }
    if (fps < kMinFps || fps > kMaxFps) {
        error =
            "the frame rate is from " + std::to_string(kMinFps) + " to " + std::to_string(kMaxFps) + " frames a second";
        return std::nullopt;
    }
    const double frames = std::round(seconds * fps);
    if (frames < kMinFrames || frames > kMaxFrames) {
        error = "a loop has from " + std::to_string(kMinFrames) + " to " + std::to_string(kMaxFrames) +
                " frames, not " + std::to_string(static_cast<uint64_t>(frames));
        return std::nullopt;
    }
    return CLoopTiming(static_cast<uint32_t>(frames), fps);
}

CLoopTiming::CLoopTiming(uint32_t frames, uint32_t fps) : m_frames(frames), m_fps(fps)
{
    if (frames < kMinFrames || frames > kMaxFrames || fps < kMinFps || fps > kMaxFps)
        throw std::invalid_argument("loop timing out of range");
}

uint64_t CLoopTiming::StartIn(uint64_t f, uint32_t units) const
{
    // f * units / fps, rounded half up, in integers.
    return (2 * f * units + m_fps) / (2 * uint64_t(m_fps));
}

uint32_t CLoopTiming::DurationIn(uint32_t f, uint32_t units) const
{
    return static_cast<uint32_t>(StartIn(uint64_t(f) + 1, units) - StartIn(f, units));
}

} // namespace quorrel::render::animation
