// A filled image written row by row: the same picture, and for BMP, PNG and
// JPEG the same bytes, as the whole image through the tile's own encoders;
// GIF's palette and dithering are the tile's, repeated.

#include "output/ImageEncoders.h"
#include "output/ImageSaver.h"
#include "output/TileRepeat.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

using namespace quorrel::output;

namespace {

// A smooth tile with every channel changing, as rendered tiles are.
QImage Tile(int width, int height)
{
    QImage tile(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            tile.setPixel(x, y, qRgb(40 + x * 180 / width, 30 + y * 190 / height, (x * 7 + y * 11) % 256));
    return tile;
}

QByteArray Encoded(const CImageEncoder& encoder, const QImage& image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(encoder.encode(image, buffer));
    return buffer.data();
}

QByteArray EncodedByRows(const CImageEncoder& encoder, const QImage& tile, int width, int height)
{
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    CRepeatedRows rows(tile, width, height);
    EXPECT_FALSE(rows.IsNull());
    EXPECT_TRUE(encoder.encodeRepeated(rows, buffer));
    return buffer.data();
}

struct FillCase {
    const char* extension;
    int width;
    int height;
    bool sameBytes;   // as the whole image through Qt's writer
};

void PrintTo(const FillCase& c, std::ostream* os) { *os << c.extension << " " << c.width << "x" << c.height; }

class RepeatedEncoders : public ::testing::TestWithParam<FillCase> {};

} // namespace

TEST_P(RepeatedEncoders, WriteTheFilledPictureRowByRow)
{
    const FillCase& c = GetParam();
    const CImageEncoder* encoder = EncoderForPath(QString("x") + c.extension);
    ASSERT_TRUE(encoder && encoder->encodeRepeated);
    const QImage tile = Tile(13, 7);
    const QByteArray streamed = EncodedByRows(*encoder, tile, c.width, c.height);
    const QImage decoded = QImage::fromData(streamed).convertToFormat(QImage::Format_RGB888);
    ASSERT_EQ(decoded.size(), QSize(c.width, c.height)) << "not readable as an image";

    if (QString(c.extension) == ".gif") {
        // The tile's own GIF, laid across: the same palette and the same
        // dithered pixel at every repeat.
        const QImage tileGif = QImage::fromData(Encoded(*encoder, tile)).convertToFormat(QImage::Format_RGB888);
        ASSERT_EQ(tileGif.size(), tile.size());
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                ASSERT_EQ(decoded.pixel(x, y), tileGif.pixel(x % 13, y % 7)) << x << "," << y;
        return;
    }
    const QImage filled = RepeatTile(tile, c.width, c.height, QImage::Format_RGB888);
    const QByteArray whole = Encoded(*encoder, filled);
    if (c.sameBytes) {
        EXPECT_EQ(streamed, whole);
    }
    const QImage expected = QImage::fromData(whole).convertToFormat(QImage::Format_RGB888);
    EXPECT_EQ(decoded, expected);
    if (!QString(c.extension).startsWith(".jp")) {
        EXPECT_EQ(decoded, filled);   // lossless formats: the very pixels
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, RepeatedEncoders,
                         ::testing::Values(FillCase{".bmp", 37, 23, true}, FillCase{".bmp", 1, 40, true},
                                           FillCase{".dib", 40, 1, true}, FillCase{".png", 37, 23, true},
                                           FillCase{".png", 5, 3, true}, FillCase{".jpg", 37, 23, true},
                                           FillCase{".jpeg", 64, 48, true}, FillCase{".tif", 37, 23, false},
                                           FillCase{".tiff", 300, 700, false}, FillCase{".gif", 37, 23, false},
                                           FillCase{".gif", 3, 2, false}));

TEST(RepeatedRows, HoldTheTileAndOneRowOnly)
{
    const QImage tile = Tile(5, 3);
    CRepeatedRows rows(tile, 12, 7);
    ASSERT_FALSE(rows.IsNull());
    for (int y : {0, 6, 3, 3, 1}) {
        const uchar* row = rows.Row(y);
        for (int x = 0; x < 12; ++x) {
            const QRgb pixel = tile.pixel(x % 5, y % 3);
            EXPECT_EQ(row[3 * x], qRed(pixel));
            EXPECT_EQ(row[3 * x + 1], qGreen(pixel));
            EXPECT_EQ(row[3 * x + 2], qBlue(pixel));
        }
    }
    EXPECT_TRUE(CRepeatedRows(QImage(), 10, 10).IsNull());
    EXPECT_TRUE(CRepeatedRows(tile, 0, 10).IsNull());
    EXPECT_TRUE(CRepeatedRows(tile, kMaxRepeatSide + 1, 10).IsNull());
}

TEST(RepeatedEncoders, AnImageThatCouldNotBeMadeIsNeverWritten)
{
    // What a failed allocation leaves: a null image. It is a failure, not
    // an empty picture reported as written.
    for (const CImageEncoder& encoder : ImageEncoders()) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        EXPECT_FALSE(encoder.encode(QImage(), buffer)) << encoder.patterns.toStdString();
        EXPECT_TRUE(buffer.data().isEmpty()) << encoder.patterns.toStdString();
    }
}
