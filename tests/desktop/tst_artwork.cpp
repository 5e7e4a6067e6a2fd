#include "platform/desktop/Artwork.h"
#include "platform/desktop/ToolbarCommands.h"

#include "controls/Contrast.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QSvgRenderer>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace quorrel::desktop;

namespace {

int OpaquePixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 128;
    return count;
}

// Largest difference of any channel between two images of one size.
int MaxDifference(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    int worst = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    return worst;
}

// The bounding box of the pixels for which `keep` holds.
template <typename Keep>
QRect BoundingBox(const QImage& image, Keep keep)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (keep(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

struct ToolbarOnPalette {
    int id;
    bool dark;
};

class ToolbarImagesOnLightAndDarkPalettes : public ::testing::TestWithParam<ToolbarOnPalette> {
protected:
    void SetUp() override { m_saved = QApplication::palette(); }
    void TearDown() override { QApplication::setPalette(m_saved); }
    QPalette m_saved;
};

TEST_P(ToolbarImagesOnLightAndDarkPalettes, StandOutFromTheBarToTheirOuterEdge)
{
    const ToolbarOnPalette& c = GetParam();
    QPalette palette;
    const QColor bar = c.dark ? QColor(0x35, 0x35, 0x35) : QColor(0xef, 0xef, 0xef);
    palette.setColor(QPalette::Window, bar);
    palette.setColor(QPalette::Button, bar);
    QApplication::setPalette(palette);

    // The image as the toolbar shows it, over the bar's colour.
    QImage shown(32, 32, QImage::Format_RGB32);
    shown.fill(bar);
    {
        QPainter painter(&shown);
        painter.drawPixmap(0, 0, ToolbarIcon(c.id).pixmap(QSize(32, 32)));
    }
    // Everything drawn, and what of it a user can make out (3 : 1 against
    // the bar): the two reach as far, or a part such as a magnifier's
    // handle has vanished into the bar.
    const QRect drawn = BoundingBox(shown, [&](QRgb p) { return QColor(p) != bar; });
    const QRect seen =
        BoundingBox(shown, [&](QRgb p) { return quorrel::controls::ContrastRatio(QColor(p), bar) >= 3.0; });
    ASSERT_FALSE(drawn.isEmpty());
    // Antialiased edges may fade for a unit of the 16 x 16 grid.
    const int worst = std::max({std::abs(seen.left() - drawn.left()), std::abs(seen.top() - drawn.top()),
                                std::abs(seen.right() - drawn.right()), std::abs(seen.bottom() - drawn.bottom())});
    EXPECT_LE(worst, 2) << "command " << c.id << (c.dark ? " on dark" : " on light") << ": drawn " << drawn.left()
                        << "," << drawn.top() << "-" << drawn.right() << "," << drawn.bottom() << " seen "
                        << seen.left() << "," << seen.top() << "-" << seen.right() << "," << seen.bottom();
}

std::vector<ToolbarOnPalette> EveryImageOnBoth()
{
    std::vector<ToolbarOnPalette> cases;
    for (const int id : kToolbarCommands)
        for (const bool dark : {false, true})
            cases.push_back({id, dark});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Commands, ToolbarImagesOnLightAndDarkPalettes, ::testing::ValuesIn(EveryImageOnBoth()),
                         [](const ::testing::TestParamInfo<ToolbarOnPalette>& info) {
                             return std::to_string(info.param.id) + (info.param.dark ? "_dark" : "_light");
                         });

} // namespace

TEST(Artwork, EveryToolbarCommandHasAnImageAtOneAndTwoTimes)
{
    std::set<QByteArray> seen;
    for (const int id : kToolbarCommands) {
        const QIcon icon = ToolbarIcon(id);
        ASSERT_FALSE(icon.isNull()) << id;
        for (const QSize size : {QSize(16, 15), QSize(32, 30)}) {
            const QPixmap pm = icon.pixmap(size);
            ASSERT_FALSE(pm.isNull()) << id;
            EXPECT_EQ(pm.size(), size) << id;
            // Something is drawn, and not just a few stray pixels.
            EXPECT_GT(OpaquePixels(pm.toImage()), size.width() * size.height() / 8) << id;
        }
        // On a 2x screen the 16 x 15 image is painted with 32 x 30 pixels.
        const QPixmap hiDpi = icon.pixmap(QSize(16, 15), 2.0);
        EXPECT_EQ(hiDpi.size(), QSize(32, 30)) << id;
        EXPECT_DOUBLE_EQ(hiDpi.devicePixelRatio(), 2.0) << id;

        const QImage image = icon.pixmap(QSize(32, 30)).toImage().convertToFormat(QImage::Format_ARGB32);
        seen.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
    }
    // Twenty different images.
    EXPECT_EQ(seen.size(), kToolbarCommands.size());
}

TEST(Artwork, DisabledImagesAreGrey)
{
    const QImage image = ToolbarIcon(ID_FILE_SAVE).pixmap(QSize(32, 30), QIcon::Disabled).toImage();
    ASSERT_FALSE(image.isNull());
    int coloured = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            coloured += qRed(p) != qGreen(p) || qGreen(p) != qBlue(p);
        }
    EXPECT_EQ(coloured, 0);
    EXPECT_GT(OpaquePixels(ToolbarIcon(ID_FILE_SAVE).pixmap(QSize(32, 30)).toImage()), 0);
}

TEST(Artwork, OtherIdsHaveNoImage)
{
    EXPECT_TRUE(ToolbarIcon(0).isNull());
    EXPECT_TRUE(ToolbarIcon(-1).isNull());
    EXPECT_TRUE(ToolbarIcon(57602).isNull());   // Close: not on the toolbar
}

TEST(Artwork, ApplicationIconAtTheUsualSizesMatchesItsExports)
{
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QImage painted = ApplicationIcon().pixmap(size, size).toImage();
        ASSERT_EQ(painted.size(), QSize(size, size));
        EXPECT_GT(OpaquePixels(painted), size * size / 2);

        // The PNG exports installed for the desktop must be the current
        // artwork (re-run quorrel-artwork after changing it).
        const QString dir = QStringLiteral(QUORREL_RESOURCES_DIR "/icons/app/");
        const QImage exported(dir + QStringLiteral("quorrel-%1.png").arg(size));
        ASSERT_EQ(exported.size(), QSize(size, size)) << size;
        EXPECT_LE(MaxDifference(painted, exported), 8) << size;
        const QImage document(dir + QStringLiteral("application-x-quorrel-document-%1.png").arg(size));
        ASSERT_EQ(document.size(), QSize(size, size)) << size;
        EXPECT_LE(MaxDifference(DocumentIcon().pixmap(size, size).toImage(), document), 8) << size;
    }
}

// The scalable icons are the same painting recorded as SVG on a 256-unit
// canvas: drawn by an SVG renderer at 256 pixels they match the 256-pixel
// PNG exports (anti-aliasing may differ at edges, and Qt's SVG renderer reads
// the miter limit more strictly at one corner of the page). Smaller PNGs
// differ on purpose: their border stays about a pixel and a half wide.
TEST(Artwork, ScalableIconsMatchThePngExports)
{
    const QString dir = QStringLiteral(QUORREL_RESOURCES_DIR "/icons/app/");
    for (const QString& name : {QStringLiteral("quorrel"), QStringLiteral("application-x-quorrel-document")}) {
        QSvgRenderer svg(dir + name + QStringLiteral(".svg"));
        ASSERT_TRUE(svg.isValid()) << name.toStdString();
        EXPECT_EQ(svg.viewBox(), QRect(0, 0, 256, 256)) << name.toStdString();
        for (const int size : {256}) {
            QImage drawn(size, size, QImage::Format_ARGB32_Premultiplied);
            drawn.fill(Qt::transparent);
            QPainter painter(&drawn);
            svg.render(&painter, QRectF(0, 0, size, size));
            painter.end();
            const QImage exported(dir + QStringLiteral("%1-%2.png").arg(name).arg(size));
            ASSERT_EQ(exported.size(), drawn.size()) << name.toStdString();
            // Almost every pixel within a few levels.
            int far = 0;
            const QImage a = drawn.convertToFormat(QImage::Format_ARGB32);
            const QImage b = exported.convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
                    far += std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                     std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))}) > 24;
                }
            EXPECT_LE(far, size * size / 200) << name.toStdString() << " at " << size;
        }
    }
}
