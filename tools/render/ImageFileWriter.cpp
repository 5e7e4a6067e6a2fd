#include "ImageFileWriter.h"

#include "output/ErrorMessage.h"
#include "output/ImageSaver.h"

#include <QImage>

namespace quorrel::tools {

bool WriteImageFile(const std::string& path, const render::CRgbImage& image, std::string& error)
{
    const QImage view(image.Bytes().data(), static_cast<int>(image.Width()), static_cast<int>(image.Height()),
                      static_cast<qsizetype>(image.Width()) * 3, QImage::Format_RGB888);
    // The editor's own export: same encoders, same failure text, kept on the
    // tool's one error line.
    const uint32_t status = output::SaveImage(view, QString::fromStdString(path));
    if (status != output::kStatusOk) {
        error = path + ": " + output::SaveImageFailedText(status).replace(u'\n', u' ').toStdString();
        return false;
    }
    return true;
}

} // namespace quorrel::tools
