#pragma once
// Writes a tile to an image file whose format follows the file's extension.

#include <QString>

#include <cstdint>

class QImage;
class QWidget;

namespace quorrel::output {

// Writes `tile` (the rendered tile at its width x height) to `path` with the
// encoder its extension selects. The file appears whole or not at all: the
// image goes to a temporary beside it that is renamed over it on success.
// Returns kStatusOk; the code of the system's reason when writing failed
// (path not found, access denied, disk full...); kStatusUnspecifiedFailure
// for an extension no encoder lists or an encoding that failed without a
// system error. Nothing is left behind on failure.
uint32_t SaveImage(const QImage& tile, const QString& path);

// The warning message box of a failed save: caption "Quorrel", OK button,
// text SaveImageFailedText(code).
void ShowSaveImageFailure(QWidget* parent, uint32_t code);

} // namespace quorrel::output
