#pragma once
// Writes a rendered tile to an image file whose format follows the file's
// extension. The file appears whole or not at all.

#include "render/PixelSurface.h"

#include <string>

namespace quorrel::tools {

bool WriteImageFile(const std::string& path, const render::CRgbImage& image, std::string& error);

} // namespace quorrel::tools
