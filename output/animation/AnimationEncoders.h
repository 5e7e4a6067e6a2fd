#pragma once
// The encoders behind CreateAnimationEncoder, one a format; the settings
// have been checked against the format's bounds.

#include "AnimationEncoder.h"

namespace quorrel::output::animation {

std::unique_ptr<CAnimationEncoder> MakeGifEncoder(const AnimationSettings& settings, model::CStagedFile& file);
std::unique_ptr<CAnimationEncoder> MakeWebpEncoder(const AnimationSettings& settings, model::CStagedFile& file);
std::unique_ptr<CAnimationEncoder> MakeWebmEncoder(const AnimationSettings& settings, model::CStagedFile& file);

} // namespace quorrel::output::animation
