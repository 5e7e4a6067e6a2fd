#pragma once
// The renderer's RGB buffer as a QImage, for the encoders and painters.

#include "render/PixelSurface.h"

#include <QImage>

namespace quorrel::output {

// A QImage over the pixels of `image` (no copy: it lives as long as `image`;
// take copy() or convertToFormat() to keep it longer).
QImage ImageView(const render::CRgbImage& image);

} // namespace quorrel::output
