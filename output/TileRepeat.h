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

} // namespace quorrel::output
