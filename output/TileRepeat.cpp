#include "TileRepeat.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace quorrel::output {

QImage RepeatTile(const QImage& tile, int width, int height, QImage::Format format)
{
    if (tile.isNull() || width < 1 || height < 1 || width > kMaxRepeatSide || height > kMaxRepeatSide)
        return {};
    if (format != QImage::Format_RGB32 && format != QImage::Format_RGB888)
        return {};
    const QImage source = tile.convertToFormat(format);
    QImage filled(width, height, format);
    if (filled.isNull() || source.isNull())
        return {};   // out of memory
    const std::size_t pixelBytes = format == QImage::Format_RGB32 ? 4 : 3;
    const int tileWidth = source.width();
    const int tileHeight = source.height();
    // The first row of each tile row is laid across once; the rows below it
    // are copies of rows already made.
    for (int y = 0; y < height; ++y) {
        uchar* to = filled.scanLine(y);
        if (y >= tileHeight) {
            std::memcpy(to, filled.constScanLine(y - tileHeight), pixelBytes * std::size_t(width));
            continue;
        }
        const uchar* from = source.constScanLine(y);
        for (int x = 0; x < width; x += tileWidth)
            std::memcpy(to + pixelBytes * std::size_t(x), from, pixelBytes * std::size_t(std::min(tileWidth, width - x)));
    }
    return filled;
}

CRepeatedRows::CRepeatedRows(const QImage& tile, int width, int height)
{
    if (tile.isNull() || width < 1 || height < 1 || width > kMaxRepeatSide || height > kMaxRepeatSide)
        return;
    m_tile = tile.convertToFormat(QImage::Format_RGB888);
    m_width = width;
    m_height = height;
    try {
        m_row.resize(qsizetype(width) * 3);
    } catch (const std::bad_alloc&) {
        m_row.clear();
    }
}

const uchar* CRepeatedRows::Row(int y)
{
    const int tileRow = y % m_tile.height();
    if (tileRow != m_rowTileRow) {
        // The row of the tile laid across the width; the same tile row
        // comes back every tile height.
        const uchar* from = m_tile.constScanLine(tileRow);
        uchar* to = reinterpret_cast<uchar*>(m_row.data());
        const int tileWidth = m_tile.width();
        for (int x = 0; x < m_width; x += tileWidth)
            std::memcpy(to + 3 * std::size_t(x), from, 3 * std::size_t(std::min(tileWidth, m_width - x)));
        m_rowTileRow = tileRow;
    }
    return reinterpret_cast<const uchar*>(m_row.constData());
}

} // namespace quorrel::output
