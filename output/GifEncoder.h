#pragma once
// GIF output: a 256-colour palette fitted to the image with dithering, so the
// smooth gradients of a tile do not break into bands.

class QImage;
class QIODevice;

namespace quorrel::output {

// Writes `image` (any format, alpha ignored) as a single-frame GIF; false on
// any failure of the quantiser, the encoder or the device.
bool WriteGif(const QImage& image, QIODevice& device);

class CRepeatedRows;

// The filled image `rows` as a GIF, row by row: the palette and the dithered
// indices are those of its tile (whose colours are all the image's), laid
// across like its pixels, so neither the image nor its indices are held
// whole.
bool WriteRepeatedGif(CRepeatedRows& rows, QIODevice& device);

} // namespace quorrel::output
