#include "TileLayout.h"

namespace quorrel::app {

ScrollSizes ComputeScrollSizes(uint32_t width, uint32_t height, int zoom)
{
    const QSize total(static_cast<int>(width) * zoom, static_cast<int>(height) * zoom);
    const QSize page(total.width() / 10, total.height() / 10);
    const QSize line(page.width() / 10, page.height() / 10);
    return {total, page, line};
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

QPoint PointerToImage(QPoint point, QPoint scroll, int zoom, uint32_t width, uint32_t height)
{
    const int x = ((point.x() + scroll.x()) / zoom) % static_cast<int>(width);
    const int y = ((point.y() + scroll.y()) / zoom) % static_cast<int>(height);
    return {x, y};
}

} // namespace quorrel::app
