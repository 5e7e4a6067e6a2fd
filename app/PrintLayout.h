#pragma once
// The size of the image on a printed page: the tile as the screen shows it,
// scaled by the ratio of printer to screen resolution per direction.

#include <QSize>

namespace quorrel::app {

// `tile` is W x H on the screen (image size x zoom). The ratios are single
// precision and each product is truncated, as on the screen's own pages.
QSize PrintedTileSize(QSize tile, int printerDpiX, int printerDpiY, int screenDpiX, int screenDpiY);

} // namespace quorrel::app
