#pragma once
// quorrel-render --animate: the keyframes made or read, the loop's frames
// rendered, filled and encoded into staged outputs, and every output put
// in place only when the whole loop (and each keyframe document) is written.

#include "CommandLine.h"

#include "model/TileParams.h"
#include "render/animation/AnimationLoop.h"

#include <memory>

#include <string>

namespace quorrel::tools {

// Runs the animation `options` ask for, starting from `input` (the
// document, preset or built-in settings, called `inputName` in messages).
// False with a one-line message in `error`; every existing file is then as
// it was.
bool RunAnimation(const RenderOptions& options, const model::CTileParams& input, const std::string& inputName,
                  std::string& error);

// The loop `options` ask for from `input`: its keyframes (generated from
// `seed` or read from the --morph documents) blended over --animate
// seconds at --fps. Nothing with a one-line reason.
std::unique_ptr<render::animation::CAnimationLoop> MakeAnimationLoop(const RenderOptions& options,
                                                                     const model::CTileParams& input,
                                                                     const std::string& inputName, uint32_t seed,
                                                                     std::string& error);

} // namespace quorrel::tools
