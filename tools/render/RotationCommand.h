#pragma once
// quorrel-render --rotate INTERVAL | off | status, and the check the
// rotation's timer runs first (--rotation-tick): the desktop rotation of
// output/rotation driven from the command line, waiting for its answer.

#include "CommandLine.h"

#include "model/TileParams.h"
#include "output/rotation/DesktopRotation.h"

#include <QImage>

#include <string>

namespace quorrel::tools {

using RotationImageMaker = output::rotation::RotationRender;

// Runs --rotate; prints what was done on stdout. False with one line in `error`.
bool RunRotation(const RenderOptions& options, const model::CTileParams& params, const RotationImageMaker& make,
                 std::string& error);

// --rotation-tick, before anything is rendered: false with one line when
// no rotation is set up (the timer should not run) or no session is
// reachable; a rotation set up in another session is said on `notice`.
bool CheckRotationTick(std::string& error, std::string& notice);

// The rendering options a rotation's timer passes on.
QStringList TickRenderOptions(const RenderOptions& options);
// The timer's command: this program, the source and the rendering options,
// then what sets the wallpaper. `source`: the copied document, or empty.
QStringList TickCommand(const QString& program, const RenderOptions& options, const QString& source,
                        const QString& swaybgImage);

} // namespace quorrel::tools
