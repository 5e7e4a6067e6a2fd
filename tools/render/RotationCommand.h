#pragma once
// quorrel-render --rotate INTERVAL | off | status, and the check the
// rotation's timer runs first (--rotation-tick): the desktop rotation of
// output/rotation driven from the command line, waiting for its answer.

#include "CommandLine.h"

#include "model/TileParams.h"

#include <QImage>

#include <functional>
#include <string>

namespace quorrel::tools {

// Renders one image of the rotation from `params` (already generated), at
// the options' size, smoothing and fill.
using RotationImageMaker = std::function<QImage(const model::CTileParams& params)>;

// Runs --rotate; prints what was done on stdout. False with one line in `error`.
bool RunRotation(const RenderOptions& options, const model::CTileParams& params, const RotationImageMaker& make,
                 std::string& error);

// --rotation-tick, before anything is rendered: false with one line when
// no rotation is set up (the timer should not run) or no session is
// reachable; a rotation set up in another session is said on `notice`.
bool CheckRotationTick(std::string& error, std::string& notice);

// The timer's command: this program, the source and the rendering options,
// then what sets the wallpaper. `source`: the copied document, or empty.
QStringList TickCommand(const QString& program, const RenderOptions& options, const QString& source,
                        const QString& swaybgImage);

} // namespace quorrel::tools
