#include "GifEncoder.h"

#include <QIODevice>
#include <QImage>

#include <gif_lib.h>
#include <libimagequant.h>

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

bool Encode(const CIndexedImage& indexed, int width, int height, QIODevice& device)
{
    std::vector<GifColorType> table = indexed.palette;
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
    for (int y = 0; ok && y < height; ++y) {
        auto* row = const_cast<GifByteType*>(&indexed.indices[static_cast<std::size_t>(y) * width]);
        ok = EGifPutLine(gif, row, width) == GIF_OK;
    }
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
    return Encode(indexed, image.width(), image.height(), device);
}

} // namespace quorrel::output
