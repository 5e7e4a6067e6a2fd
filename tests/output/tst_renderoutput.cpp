#include "QtPrinting.h"

#include "tools/render/ImageFileWriter.h"

#include <QDir>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quorrel;

namespace {

struct CRun {
    int exitCode = -1;
    QString stdErr;
};

CRun RunRender(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(QUORREL_RENDER_EXE), args);
    CRun run;
    if (!process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.stdErr = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

} // namespace

TEST(RenderOutput, WritesEveryExportFormatAtTheTileSize)
{
    QTemporaryDir dir;
    render::CRgbImage image(40, 30);
    for (uint32_t y = 0; y < 30; ++y)
        for (uint32_t x = 0; x < 40; ++x)
            image.SetPixel(x, y, uint8_t(x * 6), uint8_t(y * 8), uint8_t(x * y));
    const struct {
        const char* name;
        const char* format;
    } cases[] = {{"a.bmp", "bmp"}, {"a.dib", "bmp"}, {"a.jpg", "jpeg"}, {"a.jfif", "jpeg"}, {"a.png", "png"},
                 {"a.gif", "gif"}, {"a.tif", "tiff"}, {"a.tiff", "tiff"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        const QString path = dir.filePath(c.name);
        ASSERT_TRUE(tools::WriteImageFile(path.toStdString(), image, error)) << error;
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        EXPECT_EQ(reader.format(), c.format);
        EXPECT_EQ(reader.read().size(), QSize(40, 30));
    }
}

TEST(RenderOutput, UnknownExtensionFailsWithTheEditorsText)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("tile.wpp");
    const CRun run = RunRender({"-q", "-o", path});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(run.stdErr, "quorrel-render: " + path + ": Save image failed: 80004005 - Unspecified error\n");
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST(RenderOutput, CommandLineWritesAGif)
{
    QTemporaryDir dir;
    const CRun run = RunRender({"-q", "--generate", "--seed", "7", "-o", dir.filePath("t.GIF")});
    EXPECT_EQ(run.exitCode, 0) << run.stdErr.toStdString();
    QImageReader reader(dir.filePath("t.GIF"));
    EXPECT_EQ(reader.format(), "gif");
    EXPECT_EQ(reader.size(), QSize(125, 125));
}
