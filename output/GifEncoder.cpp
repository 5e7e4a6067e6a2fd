#include "GifEncoder.h"

#include "TileRepeat.h"

#include <QIODevice>
#include <QImage>

#include <gif_lib.h>
#include <libimagequant.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace quorrel::output {

namespace {

struct CLiqDeleter {
    void operator()(liq_attr* p) const { liq_attr_destroy(p); }
    void operator()(liq_image* p) const { liq_image_destroy(p); }
    void operator()(liq_result* p) const { liq_result_destroy(p); }
};

struct CGifMapDeleter {
    void operator()(ColorMapObject* p) const { GifFreeMapObject(p); }
};

int WriteToDevice(GifFileType* gif, const GifByteType* bytes, int length)
{
    auto* device = static_cast<QIODevice*>(gif->UserData);
    const qint64 written = device->write(reinterpret_cast<const char*>(bytes), length);
    return written < 0 ? 0 : static_cast<int>(written);
}

// The palette and one index a pixel.
struct CIndexedImage {
    std::vector<GifColorType> palette;
    std::vector<GifByteType> indices;
};

bool Quantize(const QImage& image, CIndexedImage& out)
{
    const QImage rgba = image.convertToFormat(QImage::Format_RGBX8888);
    if (rgba.isNull())
        return false;   // no memory for the copy
    const int width = rgba.width();
    const int height = rgba.height();
    // The quantiser reads the rows only; it just does not say so in its types.
    std::vector<void*> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[static_cast<std::size_t>(y)] = const_cast<uchar*>(rgba.constScanLine(y));

    std::unique_ptr<liq_attr, CLiqDeleter> attr(liq_attr_create());
    if (!attr || liq_set_max_colors(attr.get(), 256) != LIQ_OK || liq_set_speed(attr.get(), 3) != LIQ_OK)
        return false;
    std::unique_ptr<liq_image, CLiqDeleter> liqImage(
        liq_image_create_rgba_rows(attr.get(), rows.data(), width, height, 0));
    if (!liqImage)
        return false;
    liq_result* rawResult = nullptr;
    if (liq_image_quantize(liqImage.get(), attr.get(), &rawResult) != LIQ_OK)
        return false;
    std::unique_ptr<liq_result, CLiqDeleter> result(rawResult);
    if (liq_set_dithering_level(result.get(), 1.0f) != LIQ_OK)
        return false;

    out.indices.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    if (liq_write_remapped_image(result.get(), liqImage.get(), out.indices.data(), out.indices.size()) != LIQ_OK)
        return false;
    // Read after remapping: the remap may refine the palette.
    const liq_palette* palette = liq_get_palette(result.get());
    if (!palette || palette->count == 0)
        return false;
    out.palette.clear();
    for (unsigned i = 0; i < palette->count; ++i)
        out.palette.push_back(GifColorType{palette->entries[i].r, palette->entries[i].g, palette->entries[i].b});
    return true;
}

// GIF colour tables hold a power of two entries, at least two.
int TableSize(std::size_t colours)
{
    int size = 2;
    while (static_cast<std::size_t>(size) < colours)
        size *= 2;
    return size;
}

// `row(y)` gives the palette indices of row y.
bool Encode(const std::vector<GifColorType>& palette, int width, int height,
            const std::function<GifByteType*(int y)>& row, QIODevice& device)
{
    std::vector<GifColorType> table = palette;
    const int tableSize = TableSize(table.size());
    table.resize(static_cast<std::size_t>(tableSize), GifColorType{0, 0, 0});
    std::unique_ptr<ColorMapObject, CGifMapDeleter> map(GifMakeMapObject(tableSize, table.data()));
    if (!map)
        return false;

    int error = 0;
    GifFileType* gif = EGifOpen(&device, &WriteToDevice, &error);
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
    if (!Quantize(image, indexed))
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
    if (!Quantize(tile, indexed))
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
