#include "ImageSaver.h"

#include "ErrorMessage.h"
#include "ImageEncoders.h"
#include "WholeFileWriter.h"

#include <QImage>
#include <QMessageBox>

namespace quorrel::output {

uint32_t SaveImage(const QImage& tile, const QString& path)
{
    const std::span<const CImageEncoder> encoders = ImageEncoders();
    const QUuid id = FindEncoderForExtension(FileExtension(path), encoders.data(), encoders.size());
    const CImageEncoder* encoder = EncoderById(id);
    if (!encoder || tile.isNull())
        return kStatusUnspecifiedFailure;
    const int error = WriteWholeFile(path, [&](QIODevice& device) { return encoder->encode(tile, device); });
    return error == 0 ? kStatusOk : StatusFromErrno(error);
}

void ShowSaveImageFailure(QWidget* parent, uint32_t code)
{
    QMessageBox::warning(parent, QStringLiteral("Quorrel"), SaveImageFailedText(code));
}

} // namespace quorrel::output
