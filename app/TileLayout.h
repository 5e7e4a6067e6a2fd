#pragma once
// The view's arithmetic: scroll sizes from the image size and zoom, the
// tiles that cover the client area, and the image pixel under the pointer.

#include <QPoint>
#include <QPointF>
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

// The same on a screen of `ratio` device pixels per logical pixel, where
// zoom counts device pixels per image pixel: the total in logical pixels is
// image size x zoom / ratio, rounded up.
ScrollSizes ComputeScrollSizes(uint32_t width, uint32_t height, int zoom, qreal ratio);

// Logical sizes and positions in the device pixels of a screen of `ratio`:
// a size rounded up (every device pixel it touches), a position rounded.
QSize ToDeviceSize(QSize logical, qreal ratio);
QPoint ToDevicePoint(QPoint logical, qreal ratio);

// Tiles of size `tile` from the logical origin, columns i = 0..cw/W and
// rows j = 0..ch/H inclusive (column by column), in logical coordinates.
std::vector<QRect> ScreenTileRects(QSize client, QSize tile);

// One visible piece of a tile: the source pixels it shows and where they
// go in client coordinates, each source pixel a scale x scale block.
struct TilePart {
    QRect source;
    QRect target;   // source x scale; may reach past the client edge by less than one block
};

// The pieces of the tiles (source size x scale each, laid from the logical
// origin) that a client area of `client` scrolled to `scroll` shows, row by
// row. Their number and size follow the client area, not the zoom.
std::vector<TilePart> VisibleTileParts(QSize client, QPoint scroll, QSize source, int scale);

// The image pixel under client point `point` with the view scrolled to `scroll`.
QPoint PointerToImage(QPoint point, QPoint scroll, int zoom, uint32_t width, uint32_t height);

// The same on a screen of `ratio`, where the tiles are laid in device
// pixels: the logical point (which may fall between device pixels) and
// scroll position are taken to the device pixel under them first.
QPoint PointerToImage(QPointF point, QPoint scroll, int zoom, uint32_t width, uint32_t height, qreal ratio);

} // namespace quorrel::app
