#pragma once
// The colour reduction of the GIF output, shared by the still image and the
// animation: a palette of up to 256 colours fitted to the pixels (one
// image's own, or one learned from several images and shared by them), and
// the image remapped to it with dithering, so smooth gradients do not break
// into bands.

#include <gif_lib.h>

#include <memory>
#include <vector>

class QImage;
class QIODevice;

namespace quorrel::output {

// The palette and one index a pixel.
struct CIndexedImage {
    std::vector<GifColorType> palette;
    std::vector<GifByteType> indices;
};

// `image` with a palette of its own; false when the quantiser fails.
bool QuantizeForGif(const QImage& image, CIndexedImage& out);

// One palette for many images: learned from samples, then each image is
// remapped to it.
class CSharedGifPalette final {
public:
    // At most `maxColours` (2..256) colours.
    explicit CSharedGifPalette(int maxColours = 256);
    ~CSharedGifPalette();
    CSharedGifPalette(const CSharedGifPalette&) = delete;
    CSharedGifPalette& operator=(const CSharedGifPalette&) = delete;

    // Adds an image's colours to what the palette is fitted to (before Fit).
    bool Learn(const QImage& sample);
    // Fits the palette to every sample learned; false when it cannot.
    bool Fit();
    // `image` remapped to the fitted palette (out.palette is that palette).
    bool Remap(const QImage& image, CIndexedImage& out) const;
    // The fitted palette (empty before Fit).
    std::vector<GifColorType> Palette() const;

private:
    struct CState;
    std::unique_ptr<CState> m_state;
};

// GIF colour tables hold a power of two entries, at least two.
int GifTableSize(std::size_t colours);

struct CGifMapDeleter {
    void operator()(ColorMapObject* p) const { GifFreeMapObject(p); }
};
using GifColorMap = std::unique_ptr<ColorMapObject, CGifMapDeleter>;

// A colour table holding `palette`, padded with black to its table size;
// nullptr when giflib cannot make one.
GifColorMap MakeGifColorMap(const std::vector<GifColorType>& palette);

// A giflib output function writing to the QIODevice in gif->UserData.
int WriteGifToDevice(GifFileType* gif, const GifByteType* bytes, int length);

} // namespace quorrel::output
