#pragma once
// GIF output: a 256-colour palette fitted to the image with dithering, so the
// smooth gradients of a tile do not break into bands.

class QImage;
class QIODevice;

namespace quorrel::output {

// Writes `image` (any format, alpha ignored) as a single-frame GIF; false on
// any failure of the quantiser, the encoder or the device.
bool WriteGif(const QImage& image, QIODevice& device);

} // namespace quorrel::output
