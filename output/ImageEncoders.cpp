#include "ImageEncoders.h"

#include "GifEncoder.h"
#include "RepeatedImageEncoders.h"

#include <QImage>
#include <QImageWriter>

#include <algorithm>
#include <array>

namespace quorrel::output {

namespace {

// Writes through one of Qt's image handlers. The tile is opaque: it goes out
// as 24-bit RGB whatever the caller's pixel format, so nothing depends on the
// display's depth. An image that could not be made (no memory for it or for
// its conversion) is a failure: Qt's handlers would write an empty picture
// and report success.
bool WriteWithQt(const QImage& image, QIODevice& device, const char* format, int quality = -1,
                 QImage::Format pixels = QImage::Format_RGB888)
{
    if (image.isNull())
        return false;
    const QImage converted = image.convertToFormat(pixels);
    if (converted.isNull())
        return false;
    QImageWriter writer(&device, format);
    if (quality >= 0)
        writer.setQuality(quality);
    return writer.write(converted);
}

// Qt's BMP writer turns anything but 32-bit pixels into a 32-bit copy of its
// own without telling when that fails: the copy is made here, and checked.
bool EncodeBmp(const QImage& image, QIODevice& device)
{
    return WriteWithQt(image, device, "bmp", -1, QImage::Format_RGB32);
}

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
                      &EncodeBmp, &WriteRepeatedBmp},
        CImageEncoder{QUuid(QStringLiteral("{6c1f4a20-5b7e-4d0e-9a51-0b6d2f3e7a02}")),
                      QStringLiteral("*.JPG;*.JPEG;*.JPE;*.JFIF"), &EncodeJpeg, &WriteRepeatedJpeg},
        CImageEncoder{QUuid(QStringLiteral("{6c1f4a20-5b7e-4d0e-9a51-0b6d2f3e7a03}")), QStringLiteral("*.GIF"),
                      &WriteGif, &WriteRepeatedGif},
        CImageEncoder{QUuid(QStringLiteral("{6c1f4a20-5b7e-4d0e-9a51-0b6d2f3e7a04}")), QStringLiteral("*.TIF;*.TIFF"),
                      &EncodeTiff, &WriteRepeatedTiff},
        CImageEncoder{QUuid(QStringLiteral("{6c1f4a20-5b7e-4d0e-9a51-0b6d2f3e7a05}")), QStringLiteral("*.PNG"),
                      &EncodePng, &WriteRepeatedPng},
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
