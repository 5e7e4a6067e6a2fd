// quorrel-artwork RESOURCES_DIR: writes the PNG and SVG exports of the
// painted application and document icons, and the pictures of the user guide
// (tiles rendered through the core under each symmetry, wrap mode and tile
// style, the toolbar images, a corner of each preset's wallpaper).

#include "model/TileParams.h"
#include "platform/desktop/Artwork.h"
#include "platform/desktop/ToolbarCommands.h"
#include "platform/presets/PresetLibrary.h"
#include "render/TileRenderer.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <cstdio>

using namespace quorrel;

namespace {

// The 25 symmetry choices of the Symmetries page, in list order.
constexpr int kSymmetryRows[25][6] = {
    {0, 0, 0, 0, 0, 0},     {1, 0, 0, 0, 0, 0},     {-1, 0, 0, 0, 0, 0},    {0, 1, 0, 0, 0, 0},
    {0, -1, 0, 0, 0, 0},    {1, 1, 0, 0, 1, 0},     {-1, 1, 0, 0, -1, 0},   {1, -1, 0, 0, -1, 0},
    {-1, -1, 0, 0, 1, 0},   {0, 0, 1, 0, 0, 0},     {0, 0, -1, 0, 0, 0},    {0, 0, 0, 1, 0, 0},
    {0, 0, 0, -1, 0, 0},    {0, 0, 1, 1, 1, 0},     {0, 0, 1, -1, -1, 0},   {0, 0, -1, 1, -1, 0},
    {0, 0, -1, -1, 1, 0},   {0, 0, 0, 0, 1, 0},     {0, 0, 0, 0, -1, 0},    {0, 0, 0, 0, 1, 1},
    {0, 0, 0, 0, 1, -1},    {1, 1, 1, 1, 1, 1},     {1, 1, -1, -1, 1, -1},  {-1, -1, 1, 1, 1, -1},
    {-1, -1, -1, -1, 1, 1},
};

class ImageSurface final : public render::IPixelSurface {
public:
    explicit ImageSurface(QImage& image) : m_image(image) {}
    void SetPixel(uint32_t x, uint32_t y, uint8_t r, uint8_t g, uint8_t b) override
    {
        m_image.setPixel(int(x), int(y), qRgb(r, g, b));
    }

private:
    QImage& m_image;
};

QImage Render(const model::CTileParams& params)
{
    QImage image(int(params.m_nWidth), int(params.m_nHeight), QImage::Format_RGB32);
    ImageSurface surface(image);
    render::RenderTile(params, surface);
    return image;
}

bool Save(const QImage& image, const QString& path)
{
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "quorrel-artwork: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

QImage Painted(int artworkId, int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    desktop::PaintArtwork(painter, artworkId, QRectF(0, 0, width, height));
    return image;
}

// The scalable icon: the same painting recorded as SVG on a 256-unit canvas
// (the border's width follows the scale, as in the 256-pixel PNG).
bool SaveSvg(int artworkId, const QString& title, const QString& path)
{
    constexpr int kSide = 256;
    QSvgGenerator generator;
    generator.setFileName(path);
    generator.setTitle(title);
    generator.setDescription(QStringLiteral("Exported from the painted artwork by quorrel-artwork"));
    generator.setSize(QSize(kSide, kSide));
    generator.setViewBox(QRect(0, 0, kSide, kSide));
    generator.setResolution(96);
    QPainter painter;
    if (!painter.begin(&generator)) {
        std::fprintf(stderr, "quorrel-artwork: cannot write %s\n", qPrintable(path));
        return false;
    }
    desktop::PaintArtwork(painter, artworkId, QRectF(0, 0, kSide, kSide));
    return painter.end();
}

// One Hue pattern, fully saturated, under the given symmetry row.
QImage SymmetryPicture(const int (&row)[6], uint32_t seed)
{
    model::CTileParams params;
    params.m_nWidth = params.m_nHeight = 96;
    for (int c = 0; c < model::kComponents; ++c)
        params.m_bEnabled[c] = 0;
    const int hue = model::Hue;
    params.m_bEnabled[hue] = 1;
    params.m_nHorzHarm[hue] = params.m_nVertHarm[hue] = 3;
    params.m_nAmplMin[hue] = 15;
    params.m_nAmplMax[hue] = 30;
    params.m_nColorLow[hue] = 0;
    params.m_nColorHigh[hue] = 255;
    for (int s = 0; s < model::kSymmetries; ++s)
        params.m_nSymmetry[hue][s] = row[s];
    params.SquareHarmonics();
    params.GenerateRandom(seed);
    return Render(params);
}

model::CTileParams Sample(uint32_t size, uint32_t seed)
{
    model::CTileParams params;
    params.m_nWidth = params.m_nHeight = size;
    params.GenerateRandom(seed);
    return params;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorrel-artwork RESOURCES_DIR\n");
        return 2;
    }
    const QDir resources(QString::fromLocal8Bit(argv[1]));
    const QString iconDir = resources.filePath(QStringLiteral("icons/app"));
    const QString pictureDir = resources.filePath(QStringLiteral("help/images"));
    QDir().mkpath(iconDir);
    QDir().mkpath(pictureDir);
    bool ok = true;

    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        ok &= Save(Painted(0, size, size), QStringLiteral("%1/quorrel-%2.png").arg(iconDir).arg(size));
        ok &= Save(Painted(-1, size, size), QStringLiteral("%1/application-x-quorrel-document-%2.png").arg(iconDir).arg(size));
    }
    ok &= SaveSvg(0, QStringLiteral("Quorrel"), iconDir + QStringLiteral("/quorrel.svg"));
    ok &= SaveSvg(-1, QStringLiteral("Quorrel document"), iconDir + QStringLiteral("/application-x-quorrel-document.svg"));

    // The toolbar as one strip at 1x and 2x, and each image for the guide.
    for (const int scale : {1, 2}) {
        const int w = 16 * scale, h = 15 * scale;
        QImage strip(w * int(desktop::kToolbarCommands.size()), h, QImage::Format_ARGB32_Premultiplied);
        strip.fill(Qt::transparent);
        QPainter painter(&strip);
        for (size_t i = 0; i < desktop::kToolbarCommands.size(); ++i)
            desktop::PaintArtwork(painter, desktop::kToolbarCommands[i], QRectF(int(i) * w, 0, w, h));
        painter.end();
        ok &= Save(strip, QStringLiteral("%1/toolbar-%2x.png").arg(resources.filePath(QStringLiteral("icons"))).arg(scale));
    }
    for (const int id : desktop::kToolbarCommands)
        ok &= Save(Painted(id, 24, 24), QStringLiteral("%1/cmd-%2.png").arg(pictureDir).arg(id));

    for (int item = 0; item < 25; ++item)
        ok &= Save(SymmetryPicture(kSymmetryRows[item], 1000 + item),
                   QStringLiteral("%1/symmetry-%2.png").arg(pictureDir).arg(item, 2, 10, QLatin1Char('0')));

    // A tile and the same tile repeated: no seams.
    const model::CTileParams tile = Sample(100, 7);
    const QImage single = Render(tile);
    ok &= Save(single, pictureDir + QStringLiteral("/tile.png"));
    QImage repeated(300, 200, QImage::Format_RGB32);
    {
        QPainter painter(&repeated);
        for (int x = 0; x < 3; ++x)
            for (int y = 0; y < 2; ++y)
                painter.drawImage(x * 100, y * 100, single);
    }
    ok &= Save(repeated, pictureDir + QStringLiteral("/tile-repeated.png"));

    // The same coefficients under each wrap mode and tile style.
    const char* const wrapNames[] = {"cycled", "reflected", "scaled"};
    for (int mode = 0; mode < 3; ++mode) {
        model::CTileParams params = Sample(96, 11);
        for (int c = 0; c < model::kComponents; ++c)
            params.m_nWrapMode[c] = mode;
        ok &= Save(Render(params), QStringLiteral("%1/wrap-%2.png").arg(pictureDir, QLatin1String(wrapNames[mode])));
    }
    for (int style = 0; style < 2; ++style) {
        model::CTileParams params = Sample(96, 23);
        for (int c = 0; c < model::kComponents; ++c)
            params.m_nTileStyle[c] = style;
        ok &= Save(Render(params), QStringLiteral("%1/style-%2.png").arg(pictureDir, style ? QStringLiteral("diamond") : QStringLiteral("normal")));
    }

    // Each preset as it looks on the desktop: the top-left corner of its
    // wallpaper, pixel for pixel.
    for (const model::PresetInfo& preset : model::Presets()) {
        model::CTileParams params;
        std::string error;
        if (!presets::LoadPreset(preset, params, error)) {
            std::fprintf(stderr, "quorrel-artwork: %s\n", error.c_str());
            ok = false;
            continue;
        }
        QImage corner(128, 128, QImage::Format_RGB32);
        QPainter painter(&corner);
        painter.fillRect(corner.rect(), QBrush(Render(params)));
        painter.end();
        ok &= Save(corner, QStringLiteral("%1/preset-%2.png").arg(pictureDir, QString::fromStdString(std::string(preset.id))));
    }
    return ok ? 0 : 1;
}
