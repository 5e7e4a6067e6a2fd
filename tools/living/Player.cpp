#include "Player.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace quorrel::living {

namespace {

// While nothing can be seen, how often to ask again.
constexpr int kHiddenPollMs = 500;

} // namespace

int Play(IBackground& background, const output::living::CFramesFile& frames, uint32_t fps, int signalFd,
         std::string& error, CPlayStats* stats)
{
    using Clock = CFrameClock::Clock;
    const auto& header = frames.Header();
    CFrameClock clock(fps, Clock::now());
    uint64_t n = 0;
    bool shownBefore = false;
    Clock::time_point lastShown{};
    double sum = 0, sumSquares = 0;
    uint64_t intervals = 0;
    CPlayStats local;
    for (;;) {
        const Clock::time_point due = clock.Due(n);
        const Clock::time_point now = Clock::now();
        const bool visible = background.Visible();
        int waitMs = 0;
        if (now < due)
            waitMs = int(std::chrono::duration_cast<std::chrono::milliseconds>(due - now + std::chrono::microseconds(999))
                             .count());
        if (!visible)
            waitMs = std::max(waitMs, kHiddenPollMs);
        pollfd fds[2] = {{background.Fd(), POLLIN, 0}, {signalFd, POLLIN, 0}};
        if (waitMs > 0 || !visible) {
            const int ready = poll(fds, 2, waitMs);
            if (ready < 0 && errno != EINTR) {
                error = "poll failed";
                return 2;
            }
            if (fds[1].revents & POLLIN)
                break;
            if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
                if (!background.Dispatch(error))
                    return 2;
            }
            if (!visible) {
                // Nothing drawn; the loop goes on from the frame due now.
                shownBefore = false;
                n = clock.DueAt(Clock::now());
                continue;
            }
            if (Clock::now() < due)
                continue;   // woken early: wait on for the deadline
        }
        const CFrameView view{frames.Frame(uint32_t(n % header.frames)), int(header.width), int(header.height),
                              int(header.strideWords)};
        if (!background.Show(view, error))
            return 2;
        const Clock::time_point shownAt = Clock::now();
        if (shownBefore) {
            const double ms = std::chrono::duration<double, std::milli>(shownAt - lastShown).count();
            sum += ms;
            sumSquares += ms * ms;
            local.shortestMs = intervals ? std::min(local.shortestMs, ms) : ms;
            local.longestMs = std::max(local.longestMs, ms);
            ++intervals;
        }
        shownBefore = true;
        lastShown = shownAt;
        ++local.shown;
        const uint64_t next = clock.Next(n, shownAt);
        if (next > n + 1) {
            local.skipped += next - n - 1;
            shownBefore = false;   // a skip is no interval of the rate
        }
        n = next;
    }
    if (stats) {
        *stats = local;
        if (intervals) {
            stats->meanMs = sum / double(intervals);
            stats->spreadMs = std::sqrt(std::max(0.0, sumSquares / double(intervals) - stats->meanMs * stats->meanMs));
        }
    }
    return 0;
}

} // namespace quorrel::living
