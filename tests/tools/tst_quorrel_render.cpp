// quorrel-render driven from outside, as scripts use it.

#include "model/TileParams.h"
#include "model/WppFile.h"
#include "support/Golden.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using quorrel::test::GoldenDir;

namespace {

struct ToolRun {
    int exitCode = -1;
    QString stdErr;
    QString stdOut;
};

ToolRun RenderTool(const QStringList& args, const QString& workDir)
{
    QProcess process;
    process.setWorkingDirectory(workDir);
    process.start(QStringLiteral(QUORREL_RENDER_EXE), args);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardError()),
            QString::fromLocal8Bit(process.readAllStandardOutput())};
}

class QuorrelRender : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path(const QString& name) const { return dir.filePath(name); }
    QStringList Entries() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
};

} // namespace

TEST_F(QuorrelRender, SeededGenerationIsReproducibleAndRoundTripsThroughWpp)
{
    ASSERT_EQ(RenderTool({"--generate", "--seed", "7", "-o", "t.png", "--save-wpp", "t.wpp"}, dir.path()).exitCode, 0);
    ASSERT_EQ(RenderTool({"t.wpp", "-o", "again.png"}, dir.path()).exitCode, 0);
    const QImage first(Path("t.png")), again(Path("again.png"));
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first.size(), QSize(125, 125));
    EXPECT_EQ(first, again);

    // The same seed gives the same document; another seed another one.
    ASSERT_EQ(RenderTool({"--generate", "--seed", "7", "--save-wpp", "same.wpp"}, dir.path()).exitCode, 0);
    ASSERT_EQ(RenderTool({"--generate", "--seed", "8", "--save-wpp", "other.wpp"}, dir.path()).exitCode, 0);
    QFile a(Path("t.wpp")), b(Path("same.wpp")), c(Path("other.wpp"));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly) && c.open(QIODevice::ReadOnly));
    const QByteArray bytes = a.readAll();
    EXPECT_EQ(bytes.size(), 1520);
    EXPECT_EQ(bytes, b.readAll());
    EXPECT_NE(bytes, c.readAll());
}

TEST_F(QuorrelRender, RendersAReferenceDocumentExactly)
{
    const QString input = QString::fromStdString((GoldenDir() / "render" / "example-4x4.wpp").string());
    ASSERT_EQ(RenderTool({input, "-o", "ex.bmp"}, dir.path()).exitCode, 0);
    const QImage image(Path("ex.bmp"));
    ASSERT_EQ(image.size(), QSize(4, 4));
    const QRgb row[] = {qRgb(77, 203, 121), qRgb(203, 77, 77), qRgb(77, 118, 203), qRgb(203, 77, 77)};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(image.pixel(x, y) & 0xFFFFFF, row[x] & 0xFFFFFF) << x << "," << y;

    // No input: the built-in defaults, one colour.
    ASSERT_EQ(RenderTool({"-o", "defaults.png"}, dir.path()).exitCode, 0);
    EXPECT_EQ(QImage(Path("defaults.png")).pixel(60, 99) & 0xFFFFFF, qRgb(203, 77, 77) & 0xFFFFFF);
}

TEST_F(QuorrelRender, BadInputFailsWithOneLineAndNoOutput)
{
    QFile cut(Path("cut.wpp"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(QByteArray(700, '\0'));
    cut.close();
    auto bad = std::make_unique<quorrel::model::CTileParams>();
    auto bytes = quorrel::model::SaveWpp(*bad);
    bytes[8] = 31;   // 31 horizontal harmonics for Red
    QFile invalid(Path("invalid.wpp"));
    ASSERT_TRUE(invalid.open(QIODevice::WriteOnly));
    invalid.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    invalid.close();

    const QStringList before = Entries();
    const QList<QStringList> cases = {
        {"missing.wpp", "-o", "out.png"},
        {"cut.wpp", "-o", "out.png"},
        {"invalid.wpp", "-o", "out.png"},
        {"-o", "out.xyz"},
        {"-o", "no-such-folder/out.png"},
        {"--seed", "3", "-o", "out.png"},
        {"--generate", "--seed", "-1", "-o", "out.png"},
        {"--frobnicate"},
        {"a.wpp", "b.wpp"},
        {"-o"},
    };
    for (const auto& args : cases) {
        const ToolRun run = RenderTool(args, dir.path());
        EXPECT_NE(run.exitCode, 0) << args.join(' ').toStdString();
        EXPECT_EQ(run.stdErr.trimmed().count('\n'), 0) << run.stdErr.toStdString();
        EXPECT_TRUE(run.stdErr.startsWith("quorrel-render: ")) << run.stdErr.toStdString();
        EXPECT_EQ(Entries(), before) << args.join(' ').toStdString();
    }
    EXPECT_TRUE(RenderTool({"cut.wpp"}, dir.path()).stdErr.contains("Unexpected file format."));
    EXPECT_TRUE(RenderTool({"missing.wpp"}, dir.path()).stdErr.contains("Cannot find this file."));
}

TEST_F(QuorrelRender, HelpDocumentsTheOptions)
{
    const ToolRun run = RenderTool({"--help"}, dir.path());
    EXPECT_EQ(run.exitCode, 0);
    for (const char* option : {"--generate", "--seed", "--save-wpp", "--threads", "--quiet", "-o"})
        EXPECT_TRUE(run.stdOut.contains(option)) << option;
}
