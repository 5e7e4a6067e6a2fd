#include "TileLayout.h"

#include <algorithm>
#include <cmath>

namespace quorrel::app {

ScrollSizes ComputeScrollSizes(uint32_t width, uint32_t height, int zoom)
{
    const QSize total(static_cast<int>(width) * zoom, static_cast<int>(height) * zoom);
    const QSize page(total.width() / 10, total.height() / 10);
    const QSize line(page.width() / 10, page.height() / 10);
    return {total, page, line};
}

ScrollSizes ComputeScrollSizes(uint32_t width, uint32_t height, int zoom, qreal ratio)
{
    if (!(ratio > 0) || ratio == 1.0)
        return ComputeScrollSizes(width, height, zoom);
    const auto logical = [&](uint32_t pixels) {
        return static_cast<int>(std::ceil(double(pixels) * zoom / ratio - 1e-9));
    };
    const QSize total(logical(width), logical(height));
    const QSize page(total.width() / 10, total.height() / 10);
    const QSize line(page.width() / 10, page.height() / 10);
    return {total, page, line};
}

QSize ToDeviceSize(QSize logical, qreal ratio)
{
    return {static_cast<int>(std::ceil(logical.width() * ratio - 1e-9)),
            static_cast<int>(std::ceil(logical.height() * ratio - 1e-9))};
}

QPoint ToDevicePoint(QPoint logical, qreal ratio)
{
    return {static_cast<int>(std::lround(logical.x() * ratio)), static_cast<int>(std::lround(logical.y() * ratio))};
}

std::vector<QRect> ScreenTileRects(QSize client, QSize tile)
{
    std::vector<QRect> rects;
    if (tile.width() <= 0 || tile.height() <= 0)
        return rects;
    const int nx = client.width() / tile.width();
    const int ny = client.height() / tile.height();
    rects.reserve(static_cast<std::size_t>(nx + 1) * static_cast<std::size_t>(ny + 1));
    for (int i = 0; i <= nx; ++i)
        for (int j = 0; j <= ny; ++j)
            rects.emplace_back(i * tile.width(), j * tile.height(), tile.width(), tile.height());
    return rects;
}

std::vector<TilePart> VisibleTileParts(QSize client, QPoint scroll, QSize source, int scale)
{
    std::vector<TilePart> parts;
    if (client.isEmpty() || source.isEmpty() || scale < 1 || scroll.x() < 0 || scroll.y() < 0)
        return parts;
    const int64_t w = int64_t(source.width()) * scale;
    const int64_t h = int64_t(source.height()) * scale;
    // The visible logical area, last pixel included.
    const int64_t left = scroll.x(), top = scroll.y();
    const int64_t right = left + client.width() - 1, bottom = top + client.height() - 1;
    for (int64_t j = top / h; j <= bottom / h; ++j) {
        for (int64_t i = left / w; i <= right / w; ++i) {
            // The source pixels whose blocks meet the visible area.
            const int64_t x0 = (std::max(left, i * w) - i * w) / scale;
            const int64_t x1 = (std::min(right, i * w + w - 1) - i * w) / scale;
            const int64_t y0 = (std::max(top, j * h) - j * h) / scale;
            const int64_t y1 = (std::min(bottom, j * h + h - 1) - j * h) / scale;
            const QRect src(int(x0), int(y0), int(x1 - x0 + 1), int(y1 - y0 + 1));
            const QRect target(int(i * w + x0 * scale - left), int(j * h + y0 * scale - top), src.width() * scale,
                               src.height() * scale);
            parts.push_back({src, target});
        }
    }
    return parts;
}

QPoint PointerToImage(QPoint point, QPoint scroll, int zoom, uint32_t width, uint32_t height)
{
    const int x = ((point.x() + scroll.x()) / zoom) % static_cast<int>(width);
    const int y = ((point.y() + scroll.y()) / zoom) % static_cast<int>(height);
    return {x, y};
}

QPoint PointerToImage(QPointF point, QPoint scroll, int zoom, uint32_t width, uint32_t height, qreal ratio)
{
    const QPoint origin = ToDevicePoint(scroll, ratio);
    const auto device = [&](qreal logical, int start) {
        return std::max(0, start + static_cast<int>(std::floor(logical * ratio + 1e-9)));
    };
    return PointerToImage(QPoint(device(point.x(), origin.x()), device(point.y(), origin.y())), QPoint(0, 0), zoom,
                          width, height);
}

} // namespace quorrel::app
