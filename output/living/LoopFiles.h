#pragma once
// The loop as the living wallpaper shows it, written into the living
// folder: every frame at the tile's own size into the player's frames
// file, or evenly spaced frames as the slides of slow living. Frames are
// the animation core's continuous renders, the same the export writes.

#include "render/animation/AnimationLoop.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

namespace quorrel::output::living {

struct CLoopSize {
    uint32_t width = 0;   // 0: the loop's own tile size
    uint32_t height = 0;
    unsigned threads = 0;
};

// Writes `folder`/loop.frames; false with the reason. `progress` hears
// whole percentages; `cancel` stops it (false, nothing written).
bool WriteFramesFile(const render::animation::CAnimationLoop& loop, const CLoopSize& size, const QString& folder,
                     QString& error, const std::function<void(int)>& progress = {},
                     const std::atomic<bool>* cancel = nullptr);

// How many slides slow living makes of a loop of `frames`.
int SlideCount(uint32_t frames);

// Writes the slides (PNG) into `slidesFolder`; their paths in `slides`.
bool WriteSlides(const render::animation::CAnimationLoop& loop, const CLoopSize& size, const QString& slidesFolder,
                 QStringList& slides, QString& error, const std::function<void(int)>& progress = {});

inline constexpr int kMostSlides = 48;

} // namespace quorrel::output::living
