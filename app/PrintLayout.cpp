#include "PrintLayout.h"

namespace quorrel::app {

QSize PrintedTileSize(QSize tile, int printerDpiX, int printerDpiY, int screenDpiX, int screenDpiY)
{
    if (screenDpiX <= 0 || screenDpiY <= 0)
        return tile;
    const float rx = static_cast<float>(printerDpiX) / static_cast<float>(screenDpiX);
    const float ry = static_cast<float>(printerDpiY) / static_cast<float>(screenDpiY);
    return {static_cast<int>(static_cast<float>(tile.width()) * rx),
            static_cast<int>(static_cast<float>(tile.height()) * ry)};
}

} // namespace quorrel::app
