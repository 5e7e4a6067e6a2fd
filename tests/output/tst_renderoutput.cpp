// quorrel-render writes through the editor's encoders; an extension they do
// not take is refused with the reason in words.

#include "QtPrinting.h"

#include <QDir>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

TEST(RenderOutput, UnknownExtensionFailsWithTheReason)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("tile.wpp");
    const CRun run = RunRender({"-q", "-o", path});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(run.stdErr, "quorrel-render: " + path +
                              ": unknown image extension \".wpp\" (known: .bmp .dib .rle .jpg .jpeg .jpe .jfif .gif "
                              ".tif .tiff .png)\n");
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
