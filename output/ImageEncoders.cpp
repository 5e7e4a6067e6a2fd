#include "ImageEncoders.h"

#include "GifEncoder.h"

#include <QImage>
#include <QImageWriter>

#include <algorithm>
#include <array>

namespace quorrel::output {

namespace {

// Writes through one of Qt's image handlers. The tile is opaque: it goes out
// as 24-bit RGB whatever the caller's pixel format, so nothing depends on the
// display's depth.
bool WriteWithQt(const QImage& image, QIODevice& device, const char* format, int quality = -1)
{
    QImageWriter writer(&device, format);
    if (quality >= 0)
        writer.setQuality(quality);
    return writer.write(image.convertToFormat(QImage::Format_RGB888));
}

bool EncodeBmp(const QImage& image, QIODevice& device) { return WriteWithQt(image, device, "bmp"); }

// The tiles are smooth gradients: a high quality keeps them free of blocks.
bool EncodeJpeg(const QImage& image, QIODevice& device) { return WriteWithQt(image, device, "jpeg", 95); }

bool EncodePng(const QImage& image, QIODevice& device) { return WriteWithQt(image, device, "png"); }

// Uncompressed: LZW without a predictor makes the noisy-smooth tiles larger,
// not smaller.
bool EncodeTiff(const QImage& image, QIODevice& device) { return WriteWithQt(image, device, "tiff"); }

const std::array<CImageEncoder, 5>& EncoderTable()
{
    static const std::array<CImageEncoder, 5> table = {
        CImageEncoder{QUuid(QStringLiteral("{6c1f4a20-5b7e-4d0e-9a51-0b6d2f3e7a01}")), QStringLiteral("*.BMP;*.DIB;*.RLE"),
                      &EncodeBmp},
        CImageEncoder{QUuid(QStringLiteral("{6c1f4a20-5b7e-4d0e-9a51-0b6d2f3e7a02}")),
                      QStringLiteral("*.JPG;*.JPEG;*.JPE;*.JFIF"), &EncodeJpeg},
        CImageEncoder{QUuid(QStringLiteral("{6c1f4a20-5b7e-4d0e-9a51-0b6d2f3e7a03}")), QStringLiteral("*.GIF"),
                      &WriteGif},
        CImageEncoder{QUuid(QStringLiteral("{6c1f4a20-5b7e-4d0e-9a51-0b6d2f3e7a04}")), QStringLiteral("*.TIF;*.TIFF"),
                      &EncodeTiff},
        CImageEncoder{QUuid(QStringLiteral("{6c1f4a20-5b7e-4d0e-9a51-0b6d2f3e7a05}")), QStringLiteral("*.PNG"),
                      &EncodePng},
    };
    return table;
}

} // namespace

std::span<const CImageEncoder> ImageEncoders() { return EncoderTable(); }

QString FileExtension(const QString& path)
{
    qsizetype start = path.lastIndexOf(u'/') + 1;
#ifdef Q_OS_WIN
    start = std::max(start, path.lastIndexOf(u'\\') + 1);
#endif
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < start)
        return {};
    return path.mid(dot);
}

QUuid FindEncoderForExtension(const QString& extension, const CImageEncoder* encoders, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const QStringList pieces = encoders[i].patterns.split(u';', Qt::SkipEmptyParts);
        for (const QString& piece : pieces) {
            if (FileExtension(piece).compare(extension, Qt::CaseInsensitive) == 0)
                return encoders[i].id;
        }
    }
    return {};
}

const CImageEncoder* EncoderById(const QUuid& id)
{
    for (const CImageEncoder& encoder : EncoderTable()) {
        if (encoder.id == id)
            return &encoder;
    }
    return nullptr;
}

} // namespace quorrel::output
