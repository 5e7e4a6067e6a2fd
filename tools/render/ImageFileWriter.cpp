#include "ImageFileWriter.h"

#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

namespace quorrel::tools {

namespace {

// Extension (lower case) -> Qt image format.
QByteArray FormatForExtension(const QString& suffix)
{
    const QString s = suffix.toLower();
    if (s == "bmp" || s == "dib" || s == "rle")
        return "bmp";
    if (s == "png")
        return "png";
    return {};
}

} // namespace

bool WriteImageFile(const std::string& path, const render::CRgbImage& image, std::string& error)
{
    const QString file = QString::fromStdString(path);
    const QByteArray format = FormatForExtension(QFileInfo(file).suffix());
    if (format.isEmpty()) {
        error = path + ": unknown image file extension (use .bmp or .png)";
        return false;
    }
    const QImage view(image.Bytes().data(), static_cast<int>(image.Width()), static_cast<int>(image.Height()),
                      static_cast<qsizetype>(image.Width()) * 3, QImage::Format_RGB888);
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) {
        error = path + ": " + out.errorString().toStdString();
        return false;
    }
    QImageWriter writer(&out, format);
    if (!writer.write(view)) {
        error = path + ": " + writer.errorString().toStdString();
        out.cancelWriting();
        return false;
    }
    if (!out.commit()) {
        error = path + ": " + out.errorString().toStdString();
        return false;
    }
    return true;
}

} // namespace quorrel::tools
