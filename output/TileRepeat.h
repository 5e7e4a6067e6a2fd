#pragma once
// A picture of any size filled with a tile laid edge to edge from the
// top-left corner: what a desktop in tiled mode shows on a screen that size.

#include <QImage>

namespace quorrel::output {

// The largest width or height RepeatTile makes.
constexpr int kMaxRepeatSide = 16384;

// `tile` repeated to width × height, in `format` (RGB32 or RGB888). A null
// image when the tile is empty, a side is outside 1 to kMaxRepeatSide, the
// format is another one or the memory is short.
QImage RepeatTile(const QImage& tile, int width, int height, QImage::Format format = QImage::Format_RGB32);

// The same picture handed out one row at a time, so that an encoder that
// writes row by row never needs the whole of it: what it holds is the tile
// and one row.
class CRepeatedRows final {
public:
    // Null (IsNull) when the tile is empty, a side is outside 1 to
    // kMaxRepeatSide or the memory is short.
    CRepeatedRows(const QImage& tile, int width, int height);

    bool IsNull() const { return m_tile.isNull() || m_row.isEmpty(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The tile in 24-bit RGB; its colours are all the picture's colours.
    const QImage& Tile() const { return m_tile; }
    // Row `y` (0 to Height() - 1) as 3 x Width() bytes of RGB, valid until
    // the next call.
    const uchar* Row(int y);

private:
    QImage m_tile;
    int m_width = 0;
    int m_height = 0;
    QByteArray m_row;
    int m_rowTileRow = -1;   // the tile row m_row holds
};

} // namespace quorrel::output
