#pragma once
// quorrel-render --animate SECONDS --set-wallpaper, --living off and
// --living status: the living wallpaper of output/living driven from the
// command line, waiting for its answer. A living wallpaper and a desktop
// rotation exclude each other: starting one stops the other.

#include "CommandLine.h"

#include "model/TileParams.h"

#include <functional>
#include <string>
#include <vector>

namespace quorrel::tools {

// Parses `arg` (its value through `value`) when it is --living or --period; false
// when it is neither. Sets `error` on a bad value.
bool ParseLivingArgument(const std::string& arg, const std::function<bool(std::string&)>& value, RenderOptions& options,
                         std::string& error);
// What the living options say with the others; empty when they agree.
std::string CheckLivingCombination(const RenderOptions& options);
// Whether the run is the living wallpaper's: --living, or --animate with --set-wallpaper.
bool LivingRun(const RenderOptions& options);

// Runs it; prints what was done on stdout. False with one line in `error`.
bool RunLiving(const RenderOptions& options, const model::CTileParams& input, const std::string& inputName,
               std::string& error);

// Stops a living wallpaper for a rotation about to start: true when there
// was none or it stopped (said on stdout); false with the reason.
bool StopLivingForRotation(std::string& error);

std::string LivingUsage();

} // namespace quorrel::tools
