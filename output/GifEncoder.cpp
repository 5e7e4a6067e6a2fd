#include "GifEncoder.h"

#include "GifPalette.h"

#include <QIODevice>
#include <QImage>

#include <gif_lib.h>

#include <memory>
#include <vector>

namespace quorrel::output {

namespace {

bool Encode(const CIndexedImage& indexed, int width, int height, QIODevice& device)
{
    const GifColorMap map = MakeGifColorMap(indexed.palette);
    if (!map)
        return false;

    int error = 0;
    GifFileType* gif = EGifOpen(&device, &WriteGifToDevice, &error);
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
    if (!QuantizeForGif(image, indexed))
        return false;
    return Encode(indexed, image.width(), image.height(), device);
}

} // namespace quorrel::output
