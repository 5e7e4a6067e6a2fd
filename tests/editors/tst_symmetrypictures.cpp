// Each of the 25 symmetry pictures shows what the renderer does with its
// item: for every mirror and turn of the square, the picture is unchanged,
// changed into its opposite (blue and yellow swapped) or neither exactly as
// a tile rendered under that item is unchanged, inverted or neither. Both
// sides are read from pixels: the painted picture and the rendered tile.

#include "editors/EditorIcons.h"
#include "editors/SymmetryItems.h"

#include "model/TileParams.h"
#include "render/TileRenderer.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

using namespace quorrel;
using namespace quorrel::editors;

namespace {

// The seven mirrors and turns of the square other than the identity, as
// matrices on (x, y) with x to the right and y downwards:
// (x, y) -> (a x + b y, c x + d y).
struct Transform {
    const char* name;
    int a, b, c, d;
};
constexpr std::array<Transform, 7> kTransforms = {{
    {"mirror across the horizontal axis", 1, 0, 0, -1},
    {"mirror across the vertical axis", -1, 0, 0, 1},
    {"mirror across /", 0, -1, -1, 0},
    {"mirror across \\", 0, 1, 1, 0},
    {"half turn", -1, 0, 0, -1},
    {"quarter turn", 0, -1, 1, 0},
    {"three-quarter turn", 0, 1, -1, 0},
}};

enum class Effect { None, Same, Opposite };

const char* Name(Effect e)
{
    return e == Effect::Same ? "same" : e == Effect::Opposite ? "opposite" : "none";
}

// --- The renderer's side. ---

constexpr uint32_t kTile = 64;
constexpr int kOffset = 127;

// A Red-only tile under the item: small coefficients around a constant of
// 127, so every level stays inside 0..255 and the pixel is the series value.
// Then f(T p) = f(p) shows as equal pixels, f(T p) = -f(p) as 254 - level.
std::unique_ptr<render::CRgbImage> RenderedTile(int item)
{
    auto params = std::make_unique<model::CTileParams>();
    params->m_nWidth = params->m_nHeight = kTile;
    for (int c = 0; c < model::kComponents; ++c)
        params->m_bEnabled[c] = 0;
    const int red = model::Red;
    params->m_bEnabled[red] = 1;
    params->m_nHorzHarm[red] = params->m_nVertHarm[red] = 3;
    params->m_nAmplMin[red] = 5;
    params->m_nAmplMax[red] = 7;
    params->m_nColorLow[red] = 0;
    params->m_nColorHigh[red] = 255;
    params->m_nWrapMode[red] = 0;
    SymmetryValuesFromItem(item, params->m_nSymmetry[red]);
    params->GenerateRandom(uint32_t(500 + item));
    params->m_nCosCos[red][0][0] = kOffset;
    auto image = std::make_unique<render::CRgbImage>(kTile, kTile);
    render::RenderTile(*params, *image);
    // No level may have wrapped at either end of the range.
    for (uint32_t y = 0; y < kTile; ++y)
        for (uint32_t x = 0; x < kTile; ++x)
            EXPECT_TRUE(image->Pixel(x, y)[0] > 0 && image->Pixel(x, y)[0] < 254) << x << "," << y;
    return image;
}

Effect TileEffect(const render::CRgbImage& tile, const Transform& t)
{
    double same = 0, opposite = 0;
    const int n = int(kTile);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const int tx = ((t.a * x + t.b * y) % n + n) % n;
            const int ty = ((t.c * x + t.d * y) % n + n) % n;
            const int here = tile.Pixel(uint32_t(x), uint32_t(y))[0];
            const int there = tile.Pixel(uint32_t(tx), uint32_t(ty))[0];
            same += std::abs(there - here);
            opposite += std::abs(there - (2 * kOffset - here));
        }
    }
    same /= n * n;
    opposite /= n * n;
    // Every term is truncated by itself: a symmetry holds to a level or so.
    if (same < 1.5)
        return Effect::Same;
    if (opposite < 1.5)
        return Effect::Opposite;
    EXPECT_GT(std::min(same, opposite), 4.0) << "neither clearly kept nor clearly broken";
    return Effect::None;
}

// --- The picture's side. ---

constexpr int kPicture = 128;

QImage Picture(int item)
{
    return SymmetryPicture(item).pixmap(kPicture, kPicture).toImage().convertToFormat(QImage::Format_RGB32);
}

// Blue marks the motif where the value keeps its sign, yellow where it
// changes sign; edges blended with the white ground count as neither.
int Kind(QRgb p)
{
    const auto near = [p](int r, int g, int b) {
        return std::abs(qRed(p) - r) + std::abs(qGreen(p) - g) + std::abs(qBlue(p) - b) < 60;
    };
    if (near(40, 100, 210))
        return 1;
    if (near(245, 190, 20))
        return 2;
    return 0;
}

Effect PictureEffect(const QImage& picture, const Transform& t, int& motifPixels)
{
    int same = 0, opposite = 0;
    motifPixels = 0;
    for (int y = 0; y < kPicture; ++y) {
        for (int x = 0; x < kPicture; ++x) {
            const int kind = Kind(picture.pixel(x, y));
            if (kind == 0)
                continue;
            // Pixel centres about the picture's centre, mapped, and back.
            const double qx = x + 0.5 - kPicture / 2.0, qy = y + 0.5 - kPicture / 2.0;
            const int tx = int(std::lround(t.a * qx + t.b * qy + kPicture / 2.0 - 0.5));
            const int ty = int(std::lround(t.c * qx + t.d * qy + kPicture / 2.0 - 0.5));
            const int there = Kind(picture.pixel(tx, ty));
            ++motifPixels;
            same += there == kind;
            opposite += there == 3 - kind;
        }
    }
    if (same > 0.9 * motifPixels)
        return Effect::Same;
    if (opposite > 0.9 * motifPixels)
        return Effect::Opposite;
    EXPECT_LT(std::max(same, opposite), 0.5 * motifPixels) << "neither clearly kept nor clearly broken";
    return Effect::None;
}

// The tile for the contact sheet: its levels stretched to black..white and
// shifted by half a tile, so its centre of symmetry sits in the middle as
// the picture's does (the shift keeps every mirror and turn).
QImage ForTheEye(const render::CRgbImage& tile)
{
    int low = 255, high = 0;
    for (uint32_t y = 0; y < kTile; ++y)
        for (uint32_t x = 0; x < kTile; ++x) {
            low = std::min<int>(low, tile.Pixel(x, y)[0]);
            high = std::max<int>(high, tile.Pixel(x, y)[0]);
        }
    QImage image(static_cast<int>(kTile), static_cast<int>(kTile), QImage::Format_RGB32);
    for (uint32_t y = 0; y < kTile; ++y)
        for (uint32_t x = 0; x < kTile; ++x) {
            const int level = (tile.Pixel(x, y)[0] - low) * 255 / std::max(high - low, 1);
            image.setPixel(int((x + kTile / 2) % kTile), int((y + kTile / 2) % kTile), qRgb(level, level, level));
        }
    return image;
}

} // namespace

TEST(SymmetryPictures, EachPictureShowsTheMirrorsAndTurnsTheRendererMakes)
{
    // A contact sheet: each picture beside its rendered tile, kept next to
    // the test for a look.
    const int cell = 2 * kPicture + 24;
    QImage sheet(5 * cell, 5 * (kPicture + 12), QImage::Format_RGB32);
    sheet.fill(Qt::lightGray);
    QPainter painter(&sheet);

    int kept = 0, inverted = 0;
    for (int item = 0; item < kSymmetryItems; ++item) {
        SCOPED_TRACE("item " + std::to_string(item));
        const QImage picture = Picture(item);
        const auto tile = RenderedTile(item);
        for (const Transform& t : kTransforms) {
            int motifPixels = 0;
            const Effect drawn = PictureEffect(picture, t, motifPixels);
            const Effect rendered = TileEffect(*tile, t);
            ASSERT_GT(motifPixels, 200) << "the picture shows no motif";
            EXPECT_EQ(Name(drawn), std::string(Name(rendered))) << t.name;
            kept += rendered == Effect::Same;
            inverted += rendered == Effect::Opposite;
        }
        const QPoint at((item % 5) * cell + 8, (item / 5) * (kPicture + 12) + 6);
        painter.drawImage(at, picture);
        painter.drawImage(QRect(at + QPoint(kPicture + 8, 0), QSize(kPicture, kPicture)), ForTheEye(*tile));
        painter.setPen(Qt::black);
        painter.drawText(at + QPoint(3, 12), QString::number(item));
    }
    painter.end();
    sheet.save(QStringLiteral("symmetry-pictures.png"));
    // The check has teeth: mirrors and turns of both kinds occur.
    EXPECT_GT(kept, 20);
    EXPECT_GT(inverted, 10);
}
