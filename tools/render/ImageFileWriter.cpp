#include "ImageFileWriter.h"

#include "StagedFileDevice.h"

#include "output/ImageEncoders.h"

#include <QImage>

namespace quorrel::tools {

namespace {

const output::CImageEncoder* EncoderFor(const std::string& path)
{
    const auto encoders = output::ImageEncoders();
    const QUuid id = output::FindEncoderForExtension(output::FileExtension(QString::fromStdString(path)),
                                                     encoders.data(), encoders.size());
    return output::EncoderById(id);
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

bool WriteImage(const std::string& path, const render::CRgbImage& image, model::CStagedFile& file,
                std::string& error)
{
    const output::CImageEncoder* encoder = EncoderFor(path);
    if (!encoder) {
        std::string reason;
        IsImageExtension(path, reason);
        error = path + ": " + reason;
        return false;
    }
    const QImage view(image.Bytes().data(), int(image.Width()), int(image.Height()),
                      qsizetype(image.Width()) * 3, QImage::Format_RGB888);
    bool encoded = false;
    {
        CStagedFileDevice device(file);
        encoded = encoder->encode(view, device);
    }
    if (file.Failed()) {
        error = file.Failure().message;
        return false;
    }
    if (!encoded) {
        error = path + ": the image could not be encoded";
        return false;
    }
    return true;
}

} // namespace quorrel::tools
