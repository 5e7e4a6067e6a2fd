#pragma once
// Encodes a rendered image into a staged output file, in the format its
// extension selects (the editor's own encoders).

#include "model/StagedFile.h"
#include "render/PixelSurface.h"

#include <QImage>

#include <string>

namespace quorrel::tools {

// True when `path` has an extension an image encoder takes; otherwise false
// with the reason (the extensions known) in `reason`.
bool IsImageExtension(const std::string& path, std::string& reason);

// Writes `image` into `file` (not yet committed); false with a one-line
// message naming `path` when it could not be written.
bool WriteImage(const std::string& path, const QImage& image, model::CStagedFile& file, std::string& error);

// The same for `tile` repeated to width x height, written row by row: the
// filled image is never held whole.
bool WriteFilledImage(const std::string& path, const QImage& tile, uint32_t width, uint32_t height,
                      model::CStagedFile& file, std::string& error);

} // namespace quorrel::tools
