#pragma once
// The clock of a loop: F frames at a whole number of frames a second; frame
// f is shown at time f / F of the loop, and frame F is frame 0 again. Frame
// start times in milliseconds or centiseconds are rounded from the exact
// f / fps seconds, so the durations of a file's frames (which formats keep
// in whole units) alternate where needed and add up to the loop's length.

#include <cstdint>
#include <optional>
#include <string>

namespace quorrel::render::animation {

inline constexpr uint32_t kMinFps = 1;
inline constexpr uint32_t kMaxFps = 120;
inline constexpr double kMinSeconds = 0.1;
inline constexpr double kMaxSeconds = 3600.0;
inline constexpr uint32_t kMinFrames = 2;
inline constexpr uint32_t kMaxFrames = 100000;

class CLoopTiming final {
public:
    // `seconds` (kMinSeconds..kMaxSeconds) at `fps` (kMinFps..kMaxFps),
    // rounded to whole frames (kMinFrames..kMaxFrames); nothing, with the
    // reason in words in `error`, when they are out of range.
    static std::optional<CLoopTiming> FromSeconds(double seconds, uint32_t fps, std::string& error);
    // Exactly `frames` frames (kMinFrames..kMaxFrames) at `fps`.
    CLoopTiming(uint32_t frames, uint32_t fps);

    uint32_t Frames() const { return m_frames; }
    uint32_t Fps() const { return m_fps; }

    // When frame f (any f; f = Frames() is the end of the loop) starts, in
    // 1/units of a second: f / fps rounded to the nearest unit.
    uint64_t StartIn(uint64_t f, uint32_t units) const;
    // Frame f's duration in 1/units of a second (f < Frames()).
    uint32_t DurationIn(uint32_t f, uint32_t units) const;
    // The loop's length in milliseconds.
    uint64_t LengthMs() const { return StartIn(m_frames, 1000); }

private:
    uint32_t m_frames;
    uint32_t m_fps;
};

} // namespace quorrel::render::animation
