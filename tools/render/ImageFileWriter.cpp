#include "ImageFileWriter.h"

#include "output/ImageEncoders.h"
#include "output/ImageSaver.h"

namespace quorrel::tools {

namespace {

const output::CImageEncoder* EncoderFor(const std::string& path)
{
    return output::EncoderForPath(QString::fromStdString(path));
}

// ".bmp .dib .rle .jpg ...", from the encoders' own lists.
std::string KnownExtensions()
{
    QStringList all;
    for (const output::CImageEncoder& encoder : output::ImageEncoders()) {
        for (const QString& pattern : encoder.patterns.split(u';', Qt::SkipEmptyParts))
            all << output::FileExtension(pattern).toLower();
    }
    return all.join(u' ').toStdString();
}

} // namespace

bool IsImageExtension(const std::string& path, std::string& reason)
{
    if (EncoderFor(path))
        return true;
    const QString extension = output::FileExtension(QString::fromStdString(path));
    reason = (extension.isEmpty() ? std::string("no image extension")
                                  : "unknown image extension \"" + extension.toStdString() + "\"") +
             " (known: " + KnownExtensions() + ")";
    return false;
}

namespace {

// Encodes with the encoder `path` selects through `encode`.
template <typename Encode>
bool Write(const std::string& path, model::CStagedFile& file, std::string& error, Encode encode)
{
    const output::CImageEncoder* encoder = EncoderFor(path);
    if (!encoder) {
        std::string reason;
        IsImageExtension(path, reason);
        error = path + ": " + reason;
        return false;
    }
    switch (encode(*encoder)) {
    case output::EncodeOutcome::Written:
        return true;
    case output::EncodeOutcome::WriteFailed:
        error = file.Failure().message;
        return false;
    case output::EncodeOutcome::EncoderFailed:
    case output::EncodeOutcome::Cancelled:   // no cancel is given here
        break;
    }
    error = path + ": the image could not be encoded (not enough memory?)";
    return false;
}

} // namespace

bool WriteImage(const std::string& path, const QImage& image, model::CStagedFile& file, std::string& error)
{
    return Write(path, file, error, [&](const output::CImageEncoder& encoder) {
        return output::EncodeToStagedFile(image, encoder, file);
    });
}

bool WriteFilledImage(const std::string& path, const QImage& tile, uint32_t width, uint32_t height,
                      model::CStagedFile& file, std::string& error)
{
    return Write(path, file, error, [&](const output::CImageEncoder& encoder) {
        return output::EncodeRepeatedToStagedFile(tile, int(width), int(height), encoder, file);
    });
}

} // namespace quorrel::tools
