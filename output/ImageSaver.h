#pragma once
// Writes an image to an image file whose format follows the file's
// extension. The bytes go through a staged file (model/StagedFile): written
// beside the target, put in place whole at the end, never left behind.

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>

class QImage;
class QWidget;

namespace quorrel::model { class CStagedFile; }

namespace quorrel::output {

struct CImageEncoder;

// The encoder the extension of `path` selects, or nullptr.
const CImageEncoder* EncoderForPath(const QString& path);

enum class EncodeOutcome {
    Written,
    WriteFailed,     // the staged file holds the system's reason
    EncoderFailed,   // the encoder gave up with no system error behind it
    Cancelled,       // `cancel` was set while it wrote
};

// Receives whole percentages of a long write, rising, up to 100 at the end.
using SaveProgress = std::function<void(int percent)>;

// Encodes `image` into `file` (not yet committed) with `encoder`.
// `written`, when given, hears the size written so far as it grows.
EncodeOutcome EncodeToStagedFile(const QImage& image, const CImageEncoder& encoder, model::CStagedFile& file,
                                 const std::function<void(qint64 size)>& written = {},
                                 const std::atomic<bool>* cancel = nullptr);

// The same for `tile` repeated to width x height, encoded row by row so the
// filled image is never held whole.
EncodeOutcome EncodeRepeatedToStagedFile(const QImage& tile, int width, int height, const CImageEncoder& encoder,
                                         model::CStagedFile& file,
                                         const std::function<void(qint64 size)>& written = {},
                                         const std::atomic<bool>* cancel = nullptr);

// Writes `tile` (the rendered tile at its width x height) to `path` with the
// encoder its extension selects. The file appears whole or not at all, and
// an existing file keeps its mode, owner and hard links (a symbolic link is
// written through). Only a regular file or a new name is written: a pipe or
// a device at `path` is refused without being opened, so the call never
// waits for a reader. Returns kStatusOk; the code of the system's reason when
// writing failed (path not found, access denied, disk full...);
// kStatusUnspecifiedFailure for an extension no encoder lists, a name that is
// not a regular file, or an encoding that failed without a system error.
uint32_t SaveImage(const QImage& tile, const QString& path);

// The tile repeated from the top-left corner to width x height (each 1 to
// kMaxRepeatSide), written like SaveImage, row by row: what is held is the
// tile and a row, never the filled image (GIF's palette and dithering are
// the tile's, repeated). `progress` follows the bytes written against the
// size a band of a few rows encodes to (the image repeats, so every band
// encodes alike); an encoder that works on the whole image first (GIF's
// palette) holds it at 0 meanwhile. Setting `cancel` (from any thread) stops
// the writing at its next piece: kStatusCancelled, and no file is left (an
// existing one stays as it was).
uint32_t SaveFilledImage(const QImage& tile, int width, int height, const QString& path,
                         const SaveProgress& progress = {}, const std::atomic<bool>* cancel = nullptr);

// The warning message box of a failed save: caption "Quorrel", OK button,
// text SaveImageFailedText(code).
void ShowSaveImageFailure(QWidget* parent, uint32_t code);

} // namespace quorrel::output
