#include "GifEncoder.h"

#include "GifPalette.h"
#include "TileRepeat.h"

#include <QIODevice>
#include <QImage>

#include <gif_lib.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace quorrel::output {

namespace {

// `row(y)` gives the palette indices of row y.
bool Encode(const std::vector<GifColorType>& palette, int width, int height,
            const std::function<GifByteType*(int y)>& row, QIODevice& device)
{
    const GifColorMap map = MakeGifColorMap(palette);
    if (!map)
        return false;

    int error = 0;
    GifFileType* gif = EGifOpen(&device, &WriteGifToDevice, &error);
    if (!gif)
        return false;
    bool ok = EGifPutScreenDesc(gif, width, height, 8, 0, map.get()) == GIF_OK
        && EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < height; ++y)
        ok = EGifPutLine(gif, row(y), width) == GIF_OK;
    // Closing writes the trailer and frees the encoder, also after a failure.
    const bool closed = EGifCloseFile(gif, &error) == GIF_OK;
    return ok && closed;
}

} // namespace

bool WriteGif(const QImage& image, QIODevice& device)
{
    if (image.isNull() || image.width() > 65535 || image.height() > 65535)
        return false;
    CIndexedImage indexed;
    if (!QuantizeForGif(image, indexed))
        return false;
    const auto row = [&indexed, width = image.width()](int y) {
        return &indexed.indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(width)];
    };
    return Encode(indexed.palette, image.width(), image.height(), row, device);
}

bool WriteRepeatedGif(CRepeatedRows& rows, QIODevice& device)
{
    if (rows.IsNull() || rows.Width() > 65535 || rows.Height() > 65535)
        return false;
    // The tile's colours are all the picture's: its palette and its
    // dithered indices, laid across like its pixels.
    const QImage& tile = rows.Tile();
    CIndexedImage indexed;
    if (!QuantizeForGif(tile, indexed))
        return false;
    const int width = rows.Width();
    const std::size_t tileWidth = static_cast<std::size_t>(tile.width());
    std::vector<GifByteType> line(static_cast<std::size_t>(width));
    int lineTileRow = -1;
    const auto row = [&](int y) {
        const int tileRow = y % tile.height();
        if (tileRow != lineTileRow) {
            const GifByteType* from = &indexed.indices[static_cast<std::size_t>(tileRow) * tileWidth];
            for (std::size_t x = 0; x < line.size(); x += tileWidth)
                std::copy_n(from, std::min(tileWidth, line.size() - x), line.begin() + std::ptrdiff_t(x));
            lineTileRow = tileRow;
        }
        return line.data();
    };
    return Encode(indexed.palette, width, rows.Height(), row, device);
}

} // namespace quorrel::output
