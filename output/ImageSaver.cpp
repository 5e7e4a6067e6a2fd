#include "ImageSaver.h"

#include "ErrorMessage.h"
#include "ImageEncoders.h"

#include <QImage>
#include <QMessageBox>
#include <QSaveFile>

namespace quorrel::output {

uint32_t SaveImage(const QImage& tile, const QString& path)
{
    const std::span<const CImageEncoder> encoders = ImageEncoders();
    const QUuid id = FindEncoderForExtension(FileExtension(path), encoders.data(), encoders.size());
    const CImageEncoder* encoder = EncoderById(id);
    if (!encoder || tile.isNull())
        return kStatusUnspecifiedFailure;

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return kStatusUnspecifiedFailure;
    if (!encoder->encode(tile, file)) {
        file.cancelWriting();
        return kStatusUnspecifiedFailure;
    }
    return file.commit() ? kStatusOk : kStatusUnspecifiedFailure;
}

void ShowSaveImageFailure(QWidget* parent, uint32_t code)
{
    QMessageBox::warning(parent, QStringLiteral("Quorrel"), SaveImageFailedText(code));
}

} // namespace quorrel::output
