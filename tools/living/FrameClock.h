#pragma once
// The player's clock: frame n is due at start + n / fps, on absolute
// deadlines of a steady clock, so the rate never drifts however long each
// frame took. A player that falls behind (a suspended machine, a busy
// server) skips to the frame due now instead of hurrying through the ones
// it missed.

#include <chrono>
#include <cstdint>

namespace quorrel::living {

class CFrameClock final {
public:
    using Clock = std::chrono::steady_clock;

    CFrameClock(uint32_t fps, Clock::time_point start) : m_fps(fps), m_start(start) {}

    // When frame `n` (counted from the start, not wrapped) is due.
    Clock::time_point Due(uint64_t n) const
    {
        return m_start + std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(
                             int64_t(n / m_fps) * 1000000000 + int64_t(n % m_fps) * 1000000000 / m_fps));
    }
    // The last frame due at `now` (0 before the start).
    uint64_t DueAt(Clock::time_point now) const
    {
        if (now <= m_start)
            return 0;
        const auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(now - m_start).count();
        uint64_t n = uint64_t(elapsed / 1000000000) * m_fps + uint64_t(elapsed % 1000000000) * m_fps / 1000000000;
        // Rounding in either step: settle on the frame whose deadline has passed.
        while (Due(n + 1) <= now)
            ++n;
        while (n > 0 && Due(n) > now)
            --n;
        return n;
    }
    // The frame to show after `shown` at `now`: the next one, or the one due
    // now when more than one was missed.
    uint64_t Next(uint64_t shown, Clock::time_point now) const
    {
        const uint64_t due = DueAt(now);
        return due > shown + 1 ? due : shown + 1;
    }
    uint32_t Fps() const { return m_fps; }

private:
    uint32_t m_fps;
    Clock::time_point m_start;
};

} // namespace quorrel::living
