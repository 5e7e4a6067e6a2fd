#include "GifPalette.h"

#include <algorithm>

#include <QIODevice>
#include <QImage>

#include <libimagequant.h>

namespace quorrel::output {

namespace {

struct CLiqDeleter {
    void operator()(liq_attr* p) const { liq_attr_destroy(p); }
    void operator()(liq_image* p) const { liq_image_destroy(p); }
    void operator()(liq_result* p) const { liq_result_destroy(p); }
    void operator()(liq_histogram* p) const { liq_histogram_destroy(p); }
};

template <typename T>
using LiqPtr = std::unique_ptr<T, CLiqDeleter>;

// The quantiser's settings: 256 colours (or fewer), a fair speed.
LiqPtr<liq_attr> MakeAttributes(int maxColours = 256)
{
    LiqPtr<liq_attr> attr(liq_attr_create());
    if (!attr || liq_set_max_colors(attr.get(), maxColours) != LIQ_OK || liq_set_speed(attr.get(), 3) != LIQ_OK)
        return nullptr;
    return attr;
}

// The image's rows as the quantiser reads them; `rgba` must outlive them.
struct CLiqImage {
    QImage rgba;
    std::vector<void*> rows;
    LiqPtr<liq_image> image;

    CLiqImage(liq_attr* attr, const QImage& source)
        : rgba(source.convertToFormat(QImage::Format_RGBX8888)), rows(static_cast<std::size_t>(rgba.height()))
    {
        if (rgba.isNull())
            return;   // no memory for the copy: no image, a failure
        // The quantiser reads the rows only; it just does not say so in its types.
        for (int y = 0; y < rgba.height(); ++y)
            rows[static_cast<std::size_t>(y)] = const_cast<uchar*>(rgba.constScanLine(y));
        image.reset(liq_image_create_rgba_rows(attr, rows.data(), rgba.width(), rgba.height(), 0));
    }
};

// Remaps with dithering and reads the palette afterwards (the remap may
// refine it).
bool Remap(liq_result* result, liq_image* image, std::size_t pixels, CIndexedImage& out)
{
    if (liq_set_dithering_level(result, 1.0f) != LIQ_OK)
        return false;
    out.indices.resize(pixels);
    if (liq_write_remapped_image(result, image, out.indices.data(), out.indices.size()) != LIQ_OK)
        return false;
    const liq_palette* palette = liq_get_palette(result);
    if (!palette || palette->count == 0)
        return false;
    out.palette.clear();
    for (unsigned i = 0; i < palette->count; ++i)
        out.palette.push_back(GifColorType{palette->entries[i].r, palette->entries[i].g, palette->entries[i].b});
    return true;
}

std::size_t Pixels(const QImage& image) { return std::size_t(image.width()) * std::size_t(image.height()); }

} // namespace

bool QuantizeForGif(const QImage& image, CIndexedImage& out)
{
    const LiqPtr<liq_attr> attr = MakeAttributes();
    if (!attr)
        return false;
    CLiqImage liqImage(attr.get(), image);
    if (!liqImage.image)
        return false;
    liq_result* rawResult = nullptr;
    if (liq_image_quantize(liqImage.image.get(), attr.get(), &rawResult) != LIQ_OK)
        return false;
    const LiqPtr<liq_result> result(rawResult);
    return Remap(result.get(), liqImage.image.get(), Pixels(image), out);
}

struct CSharedGifPalette::CState {
    explicit CState(int maxColours) : attr(MakeAttributes(maxColours)) {}
    LiqPtr<liq_attr> attr;
    LiqPtr<liq_histogram> histogram{attr ? liq_histogram_create(attr.get()) : nullptr};
    LiqPtr<liq_result> result;
};

CSharedGifPalette::CSharedGifPalette(int maxColours)
    : m_state(std::make_unique<CState>(std::clamp(maxColours, 2, 256)))
{
}

std::vector<GifColorType> CSharedGifPalette::Palette() const
{
    std::vector<GifColorType> colours;
    const liq_palette* palette = m_state->result ? liq_get_palette(m_state->result.get()) : nullptr;
    for (unsigned i = 0; palette && i < palette->count; ++i)
        colours.push_back(GifColorType{palette->entries[i].r, palette->entries[i].g, palette->entries[i].b});
    return colours;
}

CSharedGifPalette::~CSharedGifPalette() = default;

bool CSharedGifPalette::Learn(const QImage& sample)
{
    if (!m_state->histogram || m_state->result)
        return false;
    CLiqImage liqImage(m_state->attr.get(), sample);
    return liqImage.image &&
           liq_histogram_add_image(m_state->histogram.get(), m_state->attr.get(), liqImage.image.get()) == LIQ_OK;
}

bool CSharedGifPalette::Fit()
{
    if (!m_state->histogram || m_state->result)
        return false;
    liq_result* rawResult = nullptr;
    if (liq_histogram_quantize(m_state->histogram.get(), m_state->attr.get(), &rawResult) != LIQ_OK)
        return false;
    m_state->result.reset(rawResult);
    return true;
}

bool CSharedGifPalette::Remap(const QImage& image, CIndexedImage& out) const
{
    if (!m_state->result)
        return false;
    CLiqImage liqImage(m_state->attr.get(), image);
    return liqImage.image && output::Remap(m_state->result.get(), liqImage.image.get(), Pixels(image), out);
}

int GifTableSize(std::size_t colours)
{
    int size = 2;
    while (static_cast<std::size_t>(size) < colours)
        size *= 2;
    return size;
}

GifColorMap MakeGifColorMap(const std::vector<GifColorType>& palette)
{
    std::vector<GifColorType> table = palette;
    const int tableSize = GifTableSize(table.size());
    table.resize(static_cast<std::size_t>(tableSize), GifColorType{0, 0, 0});
    return GifColorMap(GifMakeMapObject(tableSize, table.data()));
}

int WriteGifToDevice(GifFileType* gif, const GifByteType* bytes, int length)
{
    auto* device = static_cast<QIODevice*>(gif->UserData);
    const qint64 written = device->write(reinterpret_cast<const char*>(bytes), length);
    return written < 0 ? 0 : static_cast<int>(written);
}

} // namespace quorrel::output
