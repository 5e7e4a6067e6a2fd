#include "output/ErrorMessage.h"
#include "output/ImageSaver.h"
#include "output/RgbImageView.h"
#include "output/TileRepeat.h"
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

#include <atomic>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <future>
#include <vector>
#include <algorithm>
#include <memory>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
    return output::ImageView(rgb).convertToFormat(QImage::Format_RGB32);
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
    QStringList Entries() const { return QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot); }

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

TEST_F(SaveImageTest, SavingAgainKeepsEveryHardLinkAndTheMode)
{
    ASSERT_EQ(SaveImage(NoiseTile(30, 20), PathOf("a.png")), kStatusOk);
    ASSERT_TRUE(QFile::setPermissions(PathOf("a.png"), QFile::ReadOwner | QFile::WriteOwner));
    ASSERT_EQ(::link(QFile::encodeName(PathOf("a.png")).constData(), QFile::encodeName(PathOf("b.png")).constData()), 0);
    const QImage second = NoiseTile(9, 4);
    ASSERT_EQ(SaveImage(second, PathOf("a.png")), kStatusOk);
    EXPECT_TRUE(SamePixels(Decode(PathOf("b.png")).image, second));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(PathOf("a.png")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(st.st_nlink, 2u);
    EXPECT_EQ(Entries(), (QStringList{"a.png", "b.png"}));
}

// A pipe (no reader) or a device at the chosen name is refused at once: the
// editor's window never waits in open() for a reader that never comes.
TEST_F(SaveImageTest, APipeOrADeviceIsRefusedWithoutWaiting)
{
    const QByteArray fifo = QFile::encodeName(PathOf("pipe.png"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), PathOf("null.bmp")));
    const QImage tile = NoiseTile(20, 10);
    for (const QString name : {"pipe.png", "null.bmp"}) {
        SCOPED_TRACE(name.toStdString());
        auto saving = std::async(std::launch::async, [&] { return SaveImage(tile, PathOf(name)); });
        if (saving.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            // It waits for a reader: give it one so the test ends.
            const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
            char sink[4096];
            while (saving.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
                (void)::read(reader, sink, sizeof sink);
            ::close(reader);
            ADD_FAILURE() << "the save waited for a reader";
        }
        EXPECT_NE(saving.get(), kStatusOk);
    }
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(Entries(), (QStringList{"null.bmp", "pipe.png"}));
}

// A process that dies while the image is being written (here: killed by
// the file size limit after the first 4 KiB) leaves no temporary file, and
// the old file is as it was.
TEST_F(SaveImageTest, DyingWhileWritingLeavesNoTemporaryAndTheOldFile)
{
    const QImage tile = NoiseTile(200, 100);   // 60 KB as a BMP
    ASSERT_EQ(SaveImage(NoiseTile(10, 10), PathOf("t.bmp")), kStatusOk);   // also loads the encoders
    QFile old(PathOf("t.bmp"));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    const QByteArray before = old.readAll();
    old.close();
    ASSERT_LT(before.size(), 4096);

    for (const QString name : {"t.bmp", "new.bmp"}) {
        SCOPED_TRACE(name.toStdString());
        const QString path = PathOf(name);
        const pid_t child = ::fork();
        if (child == 0) {
            const rlimit size{4096, 4096};
            const rlimit core{0, 0};
            ::setrlimit(RLIMIT_CORE, &core);
            ::setrlimit(RLIMIT_FSIZE, &size);
            ::signal(SIGXFSZ, SIG_DFL);
            SaveImage(tile, path);
            ::_exit(0);
        }
        ASSERT_GT(child, 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "status " << status;
        EXPECT_EQ(Entries(), QStringList{"t.bmp"});
    }
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), before);
}

// The tile repeated to the size asked for, in every lossless format, at
// sizes that are and are not multiples of the tile.
TEST_F(SaveImageTest, FilledImagesAreTheTileRepeatedFromTheCorner)
{
    const QImage tile = NoiseTile(13, 7);
    for (const QString name : {"f.bmp", "f.png", "f.tif"}) {
        for (const QSize size : {QSize(130, 70), QSize(100, 45), QSize(5, 3)}) {
            SCOPED_TRACE(name.toStdString() + " " + std::to_string(size.width()) + "x" + std::to_string(size.height()));
            ASSERT_EQ(SaveFilledImage(tile, size.width(), size.height(), PathOf(name)), kStatusOk);
            const QImage decoded = Decode(PathOf(name)).image.convertToFormat(QImage::Format_RGB32);
            ASSERT_EQ(decoded.size(), size);
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x)
                    ASSERT_EQ(decoded.pixel(x, y), tile.pixel(x % 13, y % 7)) << x << "," << y;
        }
    }
    EXPECT_EQ(SaveFilledImage(tile, 0, 10, PathOf("zero.png")), kStatusUnspecifiedFailure);
    EXPECT_EQ(SaveFilledImage(tile, 10, kMaxRepeatSide + 1, PathOf("tall.png")), kStatusUnspecifiedFailure);
    EXPECT_EQ(SaveFilledImage(tile, 10, 10, PathOf("f.wpp")), kStatusUnspecifiedFailure);
    EXPECT_EQ(SaveFilledImage(tile, 10, 10, PathOf("missing/f.png")), kStatusPathNotFound);
    EXPECT_EQ(Entries(), (QStringList{"f.bmp", "f.png", "f.tif"}));
}

// A large filled image reports its progress as it is written: rising, in
// many steps, 100 at the end; a failure never reaches 100.
TEST_F(SaveImageTest, FilledImagesReportRisingProgressEndingAtOneHundred)
{
    const QImage tile = GeneratedTile(4, 125, 125);
    // TIFF's library writes the image in one piece: no steps between.
    const std::pair<const char*, std::size_t> cases[] = {{"p.bmp", 10}, {"p.png", 10}, {"p.jpg", 10}, {"p.gif", 10},
                                                         {"p.tif", 2}};
    for (const auto& [name, steps] : cases) {
        SCOPED_TRACE(name);
        std::vector<int> seen;
        ASSERT_EQ(SaveFilledImage(tile, 1500, 1000, PathOf(name), [&](int percent) { seen.push_back(percent); }),
                  kStatusOk);
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.back(), 100);
        for (std::size_t i = 1; i < seen.size(); ++i)
            EXPECT_LT(seen[i - 1], seen[i]);
        EXPECT_GE(seen.size(), steps);
        EXPECT_EQ(Decode(PathOf(name)).image.size(), QSize(1500, 1000));
    }
    std::vector<int> failed;
    EXPECT_EQ(SaveFilledImage(tile, 300, 200, PathOf("missing/p.png"), [&](int percent) { failed.push_back(percent); }),
              kStatusPathNotFound);
    EXPECT_TRUE(std::find(failed.begin(), failed.end(), 100) == failed.end());
}

namespace {

class CancelledSave : public SaveImageTest, public ::testing::WithParamInterface<const char*> {};

} // namespace

// Cancelling a long write stops it: no new file, no temporary left beside
// it, an existing file as it was, and never 100 %.
TEST_P(CancelledSave, LeavesNoFileAndTheOldOneAsItWas)
{
    const QImage tile = GeneratedTile(4, 125, 125);
    const QString name = QString::fromLatin1(GetParam());
    for (const bool existing : {false, true}) {
        SCOPED_TRACE(existing ? "over an existing file" : "a new file");
        const QString path = PathOf((existing ? "old-" : "new-") + name);
        if (existing) {
            QFile old(path);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("old");
        }
        std::atomic<bool> cancel{false};
        std::vector<int> seen;
        const uint32_t status = SaveFilledImage(tile, 1200, 900, path,
                                                [&](int percent) {
                                                    seen.push_back(percent);
                                                    if (percent > 0)
                                                        cancel = true;
                                                },
                                                &cancel);
        EXPECT_EQ(status, kStatusCancelled);
        EXPECT_TRUE(std::find(seen.begin(), seen.end(), 100) == seen.end());
        if (existing) {
            QFile old(path);
            ASSERT_TRUE(old.open(QIODevice::ReadOnly));
            EXPECT_EQ(old.readAll(), "old");
        } else {
            EXPECT_FALSE(QFile::exists(path));
        }
        EXPECT_EQ(QDir(PathOf("")).entryList(QDir::Files | QDir::Hidden).size(), existing ? 1 : 0);
        QFile::remove(path);
    }
    // Set before the writing starts, nothing is written at all.
    std::atomic<bool> early{true};
    EXPECT_EQ(SaveFilledImage(tile, 300, 200, PathOf(name), {}, &early), kStatusCancelled);
    EXPECT_FALSE(QFile::exists(PathOf(name)));
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, CancelledSave, ::testing::Values("c.bmp", "c.png", "c.jpg", "c.gif", "c.tif"));
