#pragma once
// The view's arithmetic: scroll sizes from the image size and zoom, the
// tiles that cover the client area, and the image pixel under the pointer.

#include <QPoint>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <vector>

namespace quorrel::app {

struct ScrollSizes {
    QSize total;
    QSize page;
    QSize line;
};

// Total = image size x zoom; page = total / 10; line = page / 10.
ScrollSizes ComputeScrollSizes(uint32_t width, uint32_t height, int zoom);

// Tiles of size `tile` from the logical origin, columns i = 0..cw/W and
// rows j = 0..ch/H inclusive (column by column), in logical coordinates.
std::vector<QRect> ScreenTileRects(QSize client, QSize tile);

// The image pixel under client point `point` with the view scrolled to `scroll`.
QPoint PointerToImage(QPoint point, QPoint scroll, int zoom, uint32_t width, uint32_t height);

} // namespace quorrel::app
