#include "TileRepeat.h"

#include <algorithm>
#include <cstring>

namespace quorrel::output {

QImage RepeatTile(const QImage& tile, int width, int height)
{
    if (tile.isNull() || width < 1 || height < 1 || width > kMaxRepeatSide || height > kMaxRepeatSide)
        return {};
    const QImage source = tile.convertToFormat(QImage::Format_RGB32);
    QImage filled(width, height, QImage::Format_RGB32);
    if (filled.isNull())
        return {};   // out of memory
    const int tileWidth = source.width();
    const int tileHeight = source.height();
    for (int y = 0; y < height; ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(y % tileHeight));
        auto* to = reinterpret_cast<QRgb*>(filled.scanLine(y));
        for (int x = 0; x < width; x += tileWidth)
            std::memcpy(to + x, from, sizeof(QRgb) * std::size_t(std::min(tileWidth, width - x)));
    }
    return filled;
}

} // namespace quorrel::output
