#include "ImageSaver.h"

#include "ErrorMessage.h"
#include "ImageEncoders.h"
#include "StagedFileDevice.h"
#include "TileRepeat.h"

#include "model/StagedFile.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QMessageBox>

#include <algorithm>
#include <new>

namespace quorrel::output {

namespace {

uint32_t StatusOf(const model::CFileError& error) { return StatusFromErrno(error.code == 0 ? -1 : error.code); }

// Rows of the sample band a filled image's encoded size is estimated from.
constexpr int kSampleRows = 16;

qint64 EstimatedSize(const QImage& tile, int width, int height, const CImageEncoder& encoder)
{
    const int rows = std::min(height, kSampleRows);
    QBuffer band;
    band.open(QIODevice::WriteOnly);
    CRepeatedRows sample(tile, width, rows);
    if (!encoder.encodeRepeated || !encoder.encodeRepeated(sample, band))
        return 0;
    return band.size() * height / rows;
}

// Runs `encode` into `file` through a device; a failure to allocate is an
// encoder's failure like any other.
// Setting `cancel` (from any thread) stops the writing at its next piece.
template <typename Encode>
EncodeOutcome EncodeInto(model::CStagedFile& file, const std::function<void(qint64 size)>& written,
                         const std::atomic<bool>* cancel, Encode encode)
{
    bool encoded = false;
    try {
        CStagedFileDevice device(file, written, cancel);
        encoded = encode(device);
    } catch (const std::bad_alloc&) {
        encoded = false;   // the encoder's own buffers did not fit
    }
    if (cancel && cancel->load())
        return EncodeOutcome::Cancelled;
    if (file.Failed())
        return EncodeOutcome::WriteFailed;
    return encoded ? EncodeOutcome::Written : EncodeOutcome::EncoderFailed;
}

uint32_t Commit(model::CStagedFile& file, EncodeOutcome outcome)
{
    switch (outcome) {
    case EncodeOutcome::Cancelled:
        return kStatusCancelled;   // the temporary goes with `file`
    case EncodeOutcome::WriteFailed:
        return StatusOf(file.Failure());
    case EncodeOutcome::EncoderFailed:
        return kStatusUnspecifiedFailure;   // the temporary goes with `file`
    case EncodeOutcome::Written:
        break;
    }
    model::CFileError failure;
    if (!file.Commit(failure))
        return StatusOf(failure);
    return kStatusOk;
}

std::unique_ptr<model::CStagedFile> Stage(const QString& path, uint32_t& status)
{
    model::CFileError failure;
    auto file = model::CStagedFile::Create(QFile::encodeName(path).toStdString(), failure);
    if (!file)
        status = StatusOf(failure);
    return file;
}

} // namespace

const CImageEncoder* EncoderForPath(const QString& path)
{
    const std::span<const CImageEncoder> encoders = ImageEncoders();
    return EncoderById(FindEncoderForExtension(FileExtension(path), encoders.data(), encoders.size()));
}

EncodeOutcome EncodeToStagedFile(const QImage& image, const CImageEncoder& encoder, model::CStagedFile& file,
                                 const std::function<void(qint64 size)>& written, const std::atomic<bool>* cancel)
{
    if (image.isNull())
        return EncodeOutcome::EncoderFailed;   // an image that could not be made is never written
    return EncodeInto(file, written, cancel, [&](QIODevice& device) { return encoder.encode(image, device); });
}

EncodeOutcome EncodeRepeatedToStagedFile(const QImage& tile, int width, int height, const CImageEncoder& encoder,
                                         model::CStagedFile& file, const std::function<void(qint64 size)>& written,
                                         const std::atomic<bool>* cancel)
{
    if (!encoder.encodeRepeated) {
        // An encoder without rows: the whole image, when it fits.
        return EncodeToStagedFile(RepeatTile(tile, width, height, QImage::Format_RGB888), encoder, file, written,
                                  cancel);
    }
    return EncodeInto(file, written, cancel, [&](QIODevice& device) {
        CRepeatedRows rows(tile, width, height);
        return encoder.encodeRepeated(rows, device);
    });
}

uint32_t SaveImage(const QImage& tile, const QString& path)
{
    const CImageEncoder* encoder = EncoderForPath(path);
    if (!encoder || tile.isNull())
        return kStatusUnspecifiedFailure;
    uint32_t status = kStatusOk;
    const std::unique_ptr<model::CStagedFile> file = Stage(path, status);
    if (!file)
        return status;
    return Commit(*file, EncodeToStagedFile(tile, *encoder, *file));
}

uint32_t SaveFilledImage(const QImage& tile, int width, int height, const QString& path,
                         const SaveProgress& progress, const std::atomic<bool>* cancel)
{
    const CImageEncoder* encoder = EncoderForPath(path);
    if (tile.isNull() || width < 1 || height < 1 || width > kMaxRepeatSide || height > kMaxRepeatSide || !encoder)
        return kStatusUnspecifiedFailure;
    uint32_t status = kStatusOk;
    const std::unique_ptr<model::CStagedFile> file = Stage(path, status);
    if (!file)
        return status;
    if (cancel && cancel->load())
        return kStatusCancelled;
    // Written row by row as it is made: the filled image is never held whole.
    std::function<void(qint64)> written;
    const qint64 expected = progress ? EstimatedSize(tile, width, height, *encoder) : 0;
    if (expected > 0) {
        progress(0);
        written = [&progress, expected, shown = 0](qint64 size) mutable {
            const int percent = int(std::min<qint64>(99, size * 100 / expected));
            if (percent > shown)
                progress(shown = percent);
        };
    }
    status = Commit(*file, EncodeRepeatedToStagedFile(tile, width, height, *encoder, *file, written, cancel));
    if (status == kStatusOk && progress)
        progress(100);
    return status;
}

void ShowSaveImageFailure(QWidget* parent, uint32_t code)
{
    QMessageBox::warning(parent, QStringLiteral("Quorrel"), SaveImageFailedText(code));
}

} // namespace quorrel::output
