#include "output/RgbImageView.h"

namespace quorrel::output {

QImage ImageView(const render::CRgbImage& image)
{
    return QImage(image.Bytes().data(), int(image.Width()), int(image.Height()), qsizetype(image.Width()) * 3,
                  QImage::Format_RGB888);
}

} // namespace quorrel::output
