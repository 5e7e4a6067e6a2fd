#include "output/ErrorMessage.h"
#include "output/ImageSaver.h"
#include "QtPrinting.h"
#include "WhenModal.h"

#include "model/TileParams.h"
#include "render/TileRenderer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QMessageBox>
#include <QTest>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <memory>

using namespace quorrel;
using namespace quorrel::output;

namespace {

// A generated tile as the view would hold it: smooth gradients.
QImage GeneratedTile(uint32_t seed, uint32_t width, uint32_t height)
{
    auto params = std::make_unique<model::CTileParams>();
    params->m_nWidth = width;
    params->m_nHeight = height;
    params->GenerateRandom(seed);
    render::CRgbImage rgb(width, height);
    render::RenderTile(*params, rgb);
    return QImage(rgb.Bytes().data(), int(width), int(height), int(width) * 3, QImage::Format_RGB888)
        .convertToFormat(QImage::Format_RGB32);
}

// Every channel value in every position: any lossy step shows.
QImage NoiseTile(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    uint32_t state = 12345;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            image.setPixel(x, y, 0xff000000u | (state >> 8));
        }
    }
    return image;
}

double Psnr(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row);
            const QRgb q = y.pixel(col, row);
            for (int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)})
                sum += double(d) * d;
        }
    }
    const double mse = sum / (3.0 * x.width() * x.height());
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

bool SamePixels(const QImage& a, const QImage& b)
{
    return a.size() == b.size() && a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

struct CDecoded {
    QByteArray format;
    QImage image;
};

CDecoded Decode(const QString& path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    CDecoded decoded;
    decoded.format = reader.format();
    decoded.image = reader.read();
    return decoded;
}

class SaveImageTest : public ::testing::Test {
protected:
    QString PathOf(const QString& name) const { return m_dir.filePath(name); }
    QStringList Entries() const { return QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(SaveImageTest, LosslessFormatsDecodeBackPixelForPixel)
{
    const QImage tile = NoiseTile(125, 97);
    const struct {
        const char* name;
        const char* format;
    } cases[] = {{"t.bmp", "bmp"}, {"t.DIB", "bmp"}, {"t.rle", "bmp"}, {"t.png", "png"},
                 {"t.tif", "tiff"}, {"t.TIFF", "tiff"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(SaveImage(tile, PathOf(c.name)), kStatusOk);
        const CDecoded decoded = Decode(PathOf(c.name));
        EXPECT_EQ(decoded.format, c.format);
        EXPECT_TRUE(SamePixels(decoded.image, tile));
    }
}

TEST_F(SaveImageTest, LossyFormatsKeepSizeAndStayCloseToTheTile)
{
    const QImage tile = GeneratedTile(7, 200, 150);
    const struct {
        const char* name;
        const char* format;
        double minPsnr;
    } cases[] = {{"t.jpg", "jpeg", 38}, {"t.JPEG", "jpeg", 38}, {"t.jpe", "jpeg", 38}, {"t.jfif", "jpeg", 38},
                 {"t.gif", "gif", 30}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(SaveImage(tile, PathOf(c.name)), kStatusOk);
        const CDecoded decoded = Decode(PathOf(c.name));
        EXPECT_EQ(decoded.format, c.format);
        ASSERT_EQ(decoded.image.size(), tile.size());
        EXPECT_GT(Psnr(decoded.image, tile), c.minPsnr);
    }
}

TEST_F(SaveImageTest, GifKeepsAFewColoursExactly)
{
    QImage tile(64, 48, QImage::Format_RGB32);
    const QRgb colours[] = {0xff102030u, 0xffffffffu, 0xff000000u, 0xffc08040u};
    for (int y = 0; y < tile.height(); ++y)
        for (int x = 0; x < tile.width(); ++x)
            tile.setPixel(x, y, colours[(x / 8 + y / 8) % 4]);
    ASSERT_EQ(SaveImage(tile, PathOf("few.gif")), kStatusOk);
    EXPECT_TRUE(SamePixels(Decode(PathOf("few.gif")).image, tile));
}

TEST_F(SaveImageTest, SinglePixelAndLargestTile)
{
    for (const QString name : {"p.bmp", "p.jpg", "p.png", "p.gif", "p.tif"}) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_EQ(SaveImage(NoiseTile(1, 1), PathOf(name)), kStatusOk);
        EXPECT_EQ(Decode(PathOf(name)).image.size(), QSize(1, 1));
    }
    const QImage big = GeneratedTile(3, 1024, 1024);
    ASSERT_EQ(SaveImage(big, PathOf("big.gif")), kStatusOk);
    EXPECT_EQ(Decode(PathOf("big.gif")).image.size(), QSize(1024, 1024));
}

TEST_F(SaveImageTest, TheExtensionDecidesNotAnythingElse)
{
    const QImage tile = NoiseTile(20, 10);
    ASSERT_EQ(SaveImage(tile, PathOf("x.PNG")), kStatusOk);
    EXPECT_EQ(Decode(PathOf("x.PNG")).format, "png");
    ASSERT_EQ(SaveImage(tile, PathOf("dotted.name.jpg")), kStatusOk);
    EXPECT_EQ(Decode(PathOf("dotted.name.jpg")).format, "jpeg");
}

TEST_F(SaveImageTest, UnknownOrMissingExtensionFailsAndWritesNothing)
{
    const QImage tile = NoiseTile(20, 10);
    for (const QString name : {"tile.wpp", "tile", "tile.", "x.png.wpp", "png"}) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(SaveImage(tile, PathOf(name)), kStatusUnspecifiedFailure);
    }
    EXPECT_TRUE(Entries().isEmpty()) << Entries().join(", ").toStdString();
}

TEST_F(SaveImageTest, UnwritablePathFailsWithTheCauseAndWritesNothing)
{
    const QImage tile = NoiseTile(20, 10);
    EXPECT_EQ(SaveImage(tile, PathOf("missing/t.png")), kStatusPathNotFound);
    ASSERT_TRUE(QFile::copy(QStringLiteral("/etc/hostname"), PathOf("plain")) || QFile(PathOf("plain")).open(QIODevice::WriteOnly));
    EXPECT_EQ(SaveImage(tile, PathOf("plain/t.png")), kStatusPathNotFound);   // a file where a folder should be
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("sub.png"));
    EXPECT_EQ(SaveImage(tile, PathOf("sub.png")), kStatusAccessDenied);   // a folder, not a file
    EXPECT_EQ(SaveImage(tile, PathOf(QString(300, 'n') + ".png")), kStatusNameTooLong);
    EXPECT_EQ(Entries(), (QStringList{"plain", "sub.png"}));
    EXPECT_TRUE(QDir(PathOf("sub.png")).isEmpty());
    EXPECT_EQ(SaveImageFailedText(kStatusPathNotFound),
              "Save image failed:\n80070003 - The system cannot find the path specified.");
    EXPECT_EQ(SaveImageFailedText(kStatusAccessDenied), "Save image failed:\n80070005 - Access is denied.");
}

TEST_F(SaveImageTest, ALinkIsFollowedAndItsTargetReplacedWithItsPermissions)
{
    ASSERT_EQ(SaveImage(NoiseTile(8, 8), PathOf("real.png")), kStatusOk);
    ASSERT_TRUE(QFile::setPermissions(PathOf("real.png"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(QFile::link(PathOf("real.png"), PathOf("link.png")));
    const QImage second = NoiseTile(5, 3);
    ASSERT_EQ(SaveImage(second, PathOf("link.png")), kStatusOk);
    EXPECT_TRUE(QFileInfo(PathOf("link.png")).isSymLink());
    EXPECT_TRUE(SamePixels(Decode(PathOf("real.png")).image, second));
    const auto kept = QFile::permissions(PathOf("real.png"));
    EXPECT_TRUE(kept.testFlag(QFile::ReadGroup) && !kept.testFlag(QFile::WriteGroup) && !kept.testFlag(QFile::ReadOther));
    EXPECT_EQ(Entries(), (QStringList{"link.png", "real.png"}));
}

TEST(StatusFromErrno, SystemErrorsMapToThePlatformsCodes)
{
    EXPECT_EQ(StatusFromErrno(ENOENT), 0x80070003u);
    EXPECT_EQ(StatusFromErrno(ENOTDIR), 0x80070003u);
    EXPECT_EQ(StatusFromErrno(EACCES), 0x80070005u);
    EXPECT_EQ(StatusFromErrno(EPERM), 0x80070005u);
    EXPECT_EQ(StatusFromErrno(EISDIR), 0x80070005u);
    EXPECT_EQ(StatusFromErrno(EROFS), 0x80070013u);
    EXPECT_EQ(StatusFromErrno(ENOSPC), 0x80070070u);
    EXPECT_EQ(StatusFromErrno(EDQUOT), 0x80070070u);
    EXPECT_EQ(StatusFromErrno(ENAMETOOLONG), 0x800700CEu);
    EXPECT_EQ(StatusFromErrno(EFBIG), 0x800700DFu);
    EXPECT_EQ(StatusFromErrno(ENOMEM), 0x8007000Eu);
    EXPECT_EQ(StatusFromErrno(EIO), kStatusUnspecifiedFailure);
    EXPECT_EQ(StatusFromErrno(-1), kStatusUnspecifiedFailure);
    EXPECT_EQ(ErrorMessageText(kStatusWriteProtected), "The media is write protected.");
    EXPECT_EQ(ErrorMessageText(kStatusNameTooLong), "The filename or extension is too long.");
}

TEST_F(SaveImageTest, FailedEncodingLeavesTheOldFileAndNoTemporary)
{
    ASSERT_EQ(SaveImage(NoiseTile(20, 10), PathOf("t.gif")), kStatusOk);
    QFile old(PathOf("t.gif"));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    const QByteArray before = old.readAll();
    old.close();

    // A GIF cannot be wider than 65535 pixels: the encoder refuses after the
    // file has been opened.
    EXPECT_EQ(SaveImage(NoiseTile(70000, 1), PathOf("t.gif")), kStatusUnspecifiedFailure);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), before);
    EXPECT_EQ(Entries(), QStringList{"t.gif"});
}

TEST_F(SaveImageTest, NullImageFails)
{
    EXPECT_EQ(SaveImage(QImage(), PathOf("t.png")), kStatusUnspecifiedFailure);
    EXPECT_TRUE(Entries().isEmpty());
}

TEST_F(SaveImageTest, SavingAgainReplacesTheFile)
{
    ASSERT_EQ(SaveImage(NoiseTile(30, 20), PathOf("w.bmp")), kStatusOk);
    const QImage second = NoiseTile(7, 5);
    ASSERT_EQ(SaveImage(second, PathOf("w.bmp")), kStatusOk);
    EXPECT_TRUE(SamePixels(Decode(PathOf("w.bmp")).image, second));
    EXPECT_EQ(Entries(), QStringList{"w.bmp"});
}

TEST(ShowSaveImageFailure, WarningBoxWithTheFailureText)
{
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        QTest::keyClick(box, Qt::Key_Return);
    });
    ShowSaveImageFailure(nullptr, kStatusUnspecifiedFailure);
    EXPECT_EQ(caption, "Quorrel");
    EXPECT_EQ(text, "Save image failed:\n80004005 - Unspecified error");
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}
