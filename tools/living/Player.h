#pragma once
// The player's loop: the frames shown on the background at the loop's
// rate on absolute deadlines, nothing drawn while nothing of it can be
// seen, every wait bounded and woken by the window system or a signal.

#include "Background.h"
#include "FrameClock.h"

#include "output/living/FramesFile.h"

#include <string>

namespace quorrel::living {

struct CPlayStats {
    uint64_t shown = 0;
    uint64_t skipped = 0;     // frames missed and not drawn
    double meanMs = 0;        // between frames shown one after the other
    double spreadMs = 0;      // their standard deviation
    double shortestMs = 0;
    double longestMs = 0;
};

// Plays `frames` on `background` at `fps` until a signal in `signalFd`
// arrives (0) or the background fails (2, with the reason).
int Play(IBackground& background, const output::living::CFramesFile& frames, uint32_t fps, int signalFd,
         std::string& error, CPlayStats* stats = nullptr);

} // namespace quorrel::living
