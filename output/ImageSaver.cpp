#include "ImageSaver.h"

#include "ErrorMessage.h"
#include "ImageEncoders.h"
#include "StagedFileDevice.h"
#include "TileRepeat.h"

#include "model/StagedFile.h"

#include <QFile>
#include <QImage>
#include <QMessageBox>

namespace quorrel::output {

namespace {

uint32_t StatusOf(const model::CFileError& error) { return StatusFromErrno(error.code == 0 ? -1 : error.code); }

} // namespace

const CImageEncoder* EncoderForPath(const QString& path)
{
    const std::span<const CImageEncoder> encoders = ImageEncoders();
    return EncoderById(FindEncoderForExtension(FileExtension(path), encoders.data(), encoders.size()));
}

EncodeOutcome EncodeToStagedFile(const QImage& image, const CImageEncoder& encoder, model::CStagedFile& file)
{
    bool encoded = false;
    {
        CStagedFileDevice device(file);
        encoded = encoder.encode(image, device);
    }
    if (file.Failed())
        return EncodeOutcome::WriteFailed;
    return encoded ? EncodeOutcome::Written : EncodeOutcome::EncoderFailed;
}

uint32_t SaveImage(const QImage& tile, const QString& path)
{
    const CImageEncoder* encoder = EncoderForPath(path);
    if (!encoder || tile.isNull())
        return kStatusUnspecifiedFailure;
    model::CFileError failure;
    const std::unique_ptr<model::CStagedFile> file =
        model::CStagedFile::Create(QFile::encodeName(path).toStdString(), failure);
    if (!file)
        return StatusOf(failure);
    switch (EncodeToStagedFile(tile, *encoder, *file)) {
    case EncodeOutcome::WriteFailed:
        return StatusOf(file->Failure());
    case EncodeOutcome::EncoderFailed:
        return kStatusUnspecifiedFailure;   // the temporary goes with `file`
    case EncodeOutcome::Written:
        break;
    }
    return file->Commit(failure) ? kStatusOk : StatusOf(failure);
}

uint32_t SaveFilledImage(const QImage& tile, int width, int height, const QString& path)
{
    if (tile.isNull() || width < 1 || height < 1 || width > kMaxRepeatSide || height > kMaxRepeatSide ||
        !EncoderForPath(path))
        return kStatusUnspecifiedFailure;
    // 24-bit from the start: the encoders write RGB888, so no second copy.
    const QImage filled = RepeatTile(tile, width, height, QImage::Format_RGB888);
    if (filled.isNull())
        return kStatusOutOfMemory;
    return SaveImage(filled, path);
}

void ShowSaveImageFailure(QWidget* parent, uint32_t code)
{
    QMessageBox::warning(parent, QStringLiteral("Quorrel"), SaveImageFailedText(code));
}

} // namespace quorrel::output
