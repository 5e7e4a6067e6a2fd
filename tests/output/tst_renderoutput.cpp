// quorrel-render writes through the editor's encoders; a failure is one line
// with the path and the system's reason in words (an extension the encoders
// do not take, a folder one may not write, a missing folder, a full disk).

#include "QtPrinting.h"

#include <QDir>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <grp.h>
#include <qplatformdefs.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct CRun {
    int exitCode = -1;
    QString stdErr;
};

CRun RunRender(const QStringList& args, bool asNobody = false)
{
    QProcess process;
    if (asNobody) {
        // Root passes every permission: the tool then runs as "nobody".
        process.setChildProcessModifier([] {
            if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(99);
        });
    }
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

TEST(RenderOutput, AFolderWithoutWriteAccessIsReportedAsSuch)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("locked"));
    const QString locked = dir.filePath("locked");
    const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
                          | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), readOnly | QFile::WriteOwner));
    ASSERT_TRUE(QFile::setPermissions(locked, readOnly));
    const QString path = locked + "/t.png";
    const CRun run = RunRender({"-q", "-o", path}, true);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.stdErr, "quorrel-render: " + path + ": Permission denied\n");
    EXPECT_TRUE(QDir(locked).isEmpty());
    QFile::setPermissions(locked, readOnly | QFile::WriteOwner);
}

TEST(RenderOutput, AMissingFolderIsReportedAsSuch)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("no/such/folder/t.png");
    const CRun run = RunRender({"-q", "-o", path});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.stdErr, "quorrel-render: " + path + ": No such file or directory\n");
}

TEST(RenderOutput, AFullDiskIsReportedAsSuch)
{
    // A link to the device that is always full: every write fails with "no
    // space left". The tool runs as "nobody" when the test runs as root, so
    // no implementation, however wrong, can replace the device itself.
    QT_STATBUF device;
    ASSERT_EQ(QT_STAT("/dev/full", &device), 0);
    ASSERT_TRUE(S_ISCHR(device.st_mode)) << "/dev/full is not the full device";
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                      | QFile::ReadOther | QFile::ExeOther));
    const QString path = dir.filePath("full.bmp");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), path));
    const CRun run = RunRender({"-q", "-o", path}, true);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.stdErr, "quorrel-render: " + path + ": No space left on device\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System),
              QStringList{"full.bmp"});
    ASSERT_EQ(QT_STAT("/dev/full", &device), 0);
    EXPECT_TRUE(S_ISCHR(device.st_mode));
}
