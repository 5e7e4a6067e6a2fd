#pragma once
// Lets the renderer write straight into a view's off-screen bitmap.

#include "render/PixelSurface.h"

#include <QImage>

namespace quorrel::app {

class CBitmapSurface final : public render::IPixelSurface {
public:
    explicit CBitmapSurface(QImage& image) : m_image(image) {}

    void SetPixel(uint32_t x, uint32_t y, uint8_t red, uint8_t green, uint8_t blue) override
    {
        reinterpret_cast<QRgb*>(m_image.scanLine(static_cast<int>(y)))[x] = qRgb(red, green, blue);
    }

private:
    QImage& m_image;
};

} // namespace quorrel::app
