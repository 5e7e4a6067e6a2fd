#pragma once
// Renders a loop's frames and hands them to an animation encoder: each
// frame's tile through the continuous renderer, repeated to a screen size
// when asked, then encoded. Shared by quorrel-render and the editor's
// export; the caller owns the staged files and commits them only after a
// whole export.

#include "AnimationEncoder.h"

#include "render/animation/AnimationLoop.h"

#include <QSize>

#include <atomic>
#include <functional>
#include <optional>
#include <string>

namespace quorrel::output::animation {

struct FrameLayout {
    uint32_t tileWidth = 0;    // the rendered tile; 0: the loop's own size
    uint32_t tileHeight = 0;
    std::optional<QSize> fill;   // the tile repeated to this size
    unsigned threads = 0;        // render threads, 0: all cores

    // The size of the frames the encoder gets.
    QSize FrameSize(const render::animation::CAnimationLoop& loop) const;
};

// Where an export's time went, in seconds.
struct ExportTimes {
    double render = 0;
    double fill = 0;
    double encode = 0;
};

enum class ExportOutcome { Written, Cancelled, Failed };

// Renders every frame of `loop` and encodes it, then finishes the encoder.
// `progress` hears whole percentages, rising, 100 at the end; `cancel`,
// when set between frames, stops with Cancelled. Failed puts the reason in
// `error`.
ExportOutcome EncodeLoop(const render::animation::CAnimationLoop& loop, const FrameLayout& layout,
                         CAnimationEncoder& encoder, std::string& error,
                         const std::function<void(int percent)>& progress = {},
                         const std::atomic<bool>* cancel = nullptr, ExportTimes* times = nullptr);

// The whole export to `path` (a frame sequence's name holds {n}): staged
// files for the format the name asks for, the frames encoded, and the
// files put in place only when all is written; a cancelled or failed export
// leaves no file behind.
ExportOutcome ExportAnimation(const render::animation::CAnimationLoop& loop, const FrameLayout& layout,
                              const std::string& path, const AnimationSettings& options, std::string& error,
                              const std::function<void(int percent)>& progress = {},
                              const std::atomic<bool>* cancel = nullptr);

} // namespace quorrel::output::animation
