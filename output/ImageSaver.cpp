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

namespace quorrel::output {

namespace {

uint32_t StatusOf(const model::CFileError& error) { return StatusFromErrno(error.code == 0 ? -1 : error.code); }

// Rows of the sample band a filled image's encoded size is estimated from.
constexpr int kSampleRows = 16;

qint64 EstimatedSize(const QImage& image, const CImageEncoder& encoder)
{
    const int rows = std::min(image.height(), kSampleRows);
    QBuffer band;
    band.open(QIODevice::WriteOnly);
    if (!encoder.encode(image.copy(0, 0, image.width(), rows), band))
        return 0;
    return band.size() * image.height() / rows;
}

uint32_t Save(const QImage& image, const QString& path, const CImageEncoder& encoder, const SaveProgress& progress,
              const std::atomic<bool>* cancel = nullptr)
{
    model::CFileError failure;
    const std::unique_ptr<model::CStagedFile> file =
        model::CStagedFile::Create(QFile::encodeName(path).toStdString(), failure);
    if (!file)
        return StatusOf(failure);
    std::function<void(qint64)> written;
    const qint64 expected = progress ? EstimatedSize(image, encoder) : 0;
    if (expected > 0) {
        progress(0);
        written = [&progress, expected, shown = 0](qint64 size) mutable {
            const int percent = int(std::min<qint64>(99, size * 100 / expected));
            if (percent > shown)
                progress(shown = percent);
        };
    }
    switch (EncodeToStagedFile(image, encoder, *file, written, cancel)) {
    case EncodeOutcome::Cancelled:
        return kStatusCancelled;   // the temporary goes with `file`
    case EncodeOutcome::WriteFailed:
        return StatusOf(file->Failure());
    case EncodeOutcome::EncoderFailed:
        return kStatusUnspecifiedFailure;   // the temporary goes with `file`
    case EncodeOutcome::Written:
        break;
    }
    if (!file->Commit(failure))
        return StatusOf(failure);
    if (progress)
        progress(100);
    return kStatusOk;
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
    bool encoded = false;
    {
        CStagedFileDevice device(file, written, cancel);
        encoded = encoder.encode(image, device);
    }
    if (cancel && cancel->load())
        return EncodeOutcome::Cancelled;
    if (file.Failed())
        return EncodeOutcome::WriteFailed;
    return encoded ? EncodeOutcome::Written : EncodeOutcome::EncoderFailed;
}

uint32_t SaveImage(const QImage& tile, const QString& path)
{
    const CImageEncoder* encoder = EncoderForPath(path);
    if (!encoder || tile.isNull())
        return kStatusUnspecifiedFailure;
    return Save(tile, path, *encoder, {});
}

uint32_t SaveFilledImage(const QImage& tile, int width, int height, const QString& path,
                         const SaveProgress& progress, const std::atomic<bool>* cancel)
{
    const CImageEncoder* encoder = EncoderForPath(path);
    if (tile.isNull() || width < 1 || height < 1 || width > kMaxRepeatSide || height > kMaxRepeatSide || !encoder)
        return kStatusUnspecifiedFailure;
    // 24-bit from the start: the encoders write RGB888, so no second copy.
    const QImage filled = RepeatTile(tile, width, height, QImage::Format_RGB888);
    if (filled.isNull())
        return kStatusOutOfMemory;
    if (cancel && cancel->load())
        return kStatusCancelled;
    return Save(filled, path, *encoder, progress, cancel);
}

void ShowSaveImageFailure(QWidget* parent, uint32_t code)
{
    QMessageBox::warning(parent, QStringLiteral("Quorrel"), SaveImageFailedText(code));
}

} // namespace quorrel::output
