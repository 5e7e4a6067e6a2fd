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

#include <clocale>
#include <locale.h>

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

namespace {

ToolRun RenderToolIn(const char* locale, const QStringList& args, const QString& workDir)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(locale));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(workDir);
    process.start(QStringLiteral(QUORREL_RENDER_EXE), args);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError()), QString::fromUtf8(process.readAllStandardOutput())};
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The options, the texts and the files are the same under a comma-decimal
// locale as under C: no number is read or written through the locale.
TEST_F(QuorrelRender, NumbersAreTheSameUnderACommaDecimalLocale)
{
    locale_t german = newlocale(LC_ALL_MASK, "de_DE.UTF-8", locale_t(0));
    ASSERT_NE(german, locale_t(0)) << "the de_DE.UTF-8 locale is missing: scripts/setup.sh quorrel_generate_locales";
    freelocale(german);

    QStringList seen;
    for (const char* locale : {"de_DE.UTF-8", "C"}) {
        SCOPED_TRACE(locale);
        const QString tag = QString::fromLatin1(locale).left(1);
        const ToolRun run = RenderToolIn(locale, {"--generate", "--seed", "4000000000", "--size", "1000x700", "--threads",
                                                  "2", "-q", "-o", tag + ".bmp", "--save-wpp", tag + ".wpp"},
                                         dir.path());
        ASSERT_EQ(run.exitCode, 0) << run.stdErr.toStdString();
        EXPECT_EQ(QImage(Path(tag + ".bmp")).size(), QSize(1000, 700));

        // Grouped or comma numbers are refused alike, with the same texts.
        const ToolRun grouped = RenderToolIn(locale, {"--size", "1.000x700", "-o", "x.png"}, dir.path());
        const ToolRun comma = RenderToolIn(locale, {"--generate", "--seed", "1,5"}, dir.path());
        const ToolRun help = RenderToolIn(locale, {"--help"}, dir.path());
        EXPECT_NE(grouped.exitCode, 0);
        EXPECT_NE(comma.exitCode, 0);
        EXPECT_EQ(help.exitCode, 0);
        seen << grouped.stdErr + comma.stdErr + help.stdOut;
    }
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_TRUE(seen[0].contains("--size takes WIDTHxHEIGHT, each from 1 to 8192, not '1.000x700'")) << seen[0].toStdString();
    EXPECT_TRUE(seen[0].contains("--seed takes a whole number from 0 to 4294967295, not '1,5'"));
    EXPECT_EQ(FileBytes(Path("d.bmp")), FileBytes(Path("C.bmp")));
    EXPECT_EQ(FileBytes(Path("d.wpp")), FileBytes(Path("C.wpp")));
    EXPECT_EQ(FileBytes(Path("d.wpp")).size(), 1520);
}
