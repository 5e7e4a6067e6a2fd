#include "FakeTools.h"

#include "platform/desktop/FileAssociation.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using quorrel::desktop::AssociationResult;
using quorrel::desktop::AssociationSetup;
using quorrel::desktop::FileAssociation;
using quorrel::test::FakeTools;
using Outcome = AssociationResult::Outcome;

namespace {

class FileAssociationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_setup.dataHome = m_dir.filePath("home-data");
        m_setup.dataDirs = {m_dir.filePath("system-data")};
        m_setup.executable = m_dir.filePath("bin/quorrel");
        m_setup.toolTimeoutMs = 2000;
        QDir().mkpath(m_dir.filePath("bin"));
        QFile exe(m_setup.executable);
        exe.open(QIODevice::WriteOnly);
        exe.close();
    }

    QString Read(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QTemporaryDir m_dir;
    AssociationSetup m_setup;
};

} // namespace

TEST_F(FileAssociationTest, RegistersOnceThenFindsItRegistered)
{
    FakeTools tools(m_dir.filePath("fake-bin"));
    tools.Add("update-mime-database");
    tools.Add("update-desktop-database");

    const FileAssociation association(m_setup);
    EXPECT_FALSE(association.IsRegistered());
    const AssociationResult first = association.RegisterIfMissing();
    ASSERT_EQ(first.outcome, Outcome::Registered) << first.error.toStdString();
    EXPECT_EQ(first.toolsRun, (QStringList{"update-mime-database", "update-desktop-database"}));

    // The caches of the user's folders were refreshed, nothing else.
    EXPECT_EQ(tools.LogLines(), (QStringList{"update-mime-database " + m_setup.dataHome + "/mime",
                                             "update-desktop-database " + m_setup.dataHome + "/applications"}));

    const QString entry = Read(m_setup.dataHome + "/applications/com.vantorel.Quorrel.desktop");
    EXPECT_TRUE(entry.contains("Exec=" + m_setup.executable + " %F\n")) << entry.toStdString();
    EXPECT_TRUE(entry.contains("MimeType=application/x-quorrel-document;"));
    EXPECT_TRUE(entry.contains("Icon=quorrel\n"));
    const QString mime = Read(m_setup.dataHome + "/mime/packages/quorrel.xml");
    EXPECT_TRUE(mime.contains("<glob pattern=\"*.wpp\" weight=\"60\"/>"));
    EXPECT_TRUE(mime.contains("application/x-quorrel-document"));
    for (const int size : {16, 32, 48, 256}) {
        const QString dir = QStringLiteral("%1/icons/hicolor/%2x%2/").arg(m_setup.dataHome).arg(size);
        EXPECT_EQ(QImage(dir + "apps/quorrel.png").size(), QSize(size, size));
        EXPECT_EQ(QImage(dir + "mimetypes/application-x-quorrel-document.png").size(), QSize(size, size));
    }

    // The next start finds everything in place and runs nothing.
    EXPECT_TRUE(association.IsRegistered());
    EXPECT_EQ(association.RegisterIfMissing().outcome, Outcome::AlreadyRegistered);
    EXPECT_EQ(tools.LogLines().size(), 2);
}

TEST_F(FileAssociationTest, AMovedEditorIsRegisteredAgain)
{
    ASSERT_EQ(FileAssociation(m_setup).RegisterIfMissing().outcome, Outcome::Registered);
    m_setup.executable = m_dir.filePath("other place/quorrel");
    const FileAssociation moved(m_setup);
    EXPECT_FALSE(moved.IsRegistered());
    EXPECT_EQ(moved.RegisterIfMissing().outcome, Outcome::Registered);
    EXPECT_TRUE(Read(moved.DesktopEntryPath()).contains("Exec=\"" + m_setup.executable + "\" %F"));
}

TEST_F(FileAssociationTest, AnInstalledCopyForThisEditorIsEnough)
{
    const QString system = m_setup.dataDirs.front();
    QDir().mkpath(system + "/applications");
    QDir().mkpath(system + "/mime/packages");
    QFile entry(system + "/applications/com.vantorel.Quorrel.desktop");
    entry.open(QIODevice::WriteOnly);
    entry.write(("[Desktop Entry]\nExec=" + m_setup.executable + " %F\n").toUtf8());
    entry.close();
    QFile mime(system + "/mime/packages/quorrel.xml");
    mime.open(QIODevice::WriteOnly);
    mime.write(FileAssociation::MimeTypeXml());
    mime.close();

    const FileAssociation association(m_setup);
    EXPECT_EQ(association.RegisterIfMissing().outcome, Outcome::AlreadyRegistered);
    EXPECT_FALSE(QFileInfo::exists(association.DesktopEntryPath()));

    // An installed copy of another editor does not count.
    m_setup.executable = m_dir.filePath("bin/quorrel-dev");
    QFile(m_setup.executable).open(QIODevice::WriteOnly);
    EXPECT_EQ(FileAssociation(m_setup).RegisterIfMissing().outcome, Outcome::Registered);
}

TEST_F(FileAssociationTest, OnlyThisEditorsEntryUnderTheOldNameIsRemoved)
{
    FakeTools tools(m_dir.filePath("fake-bin"));
    tools.Add("update-mime-database");
    tools.Add("update-desktop-database");
    const FileAssociation association(m_setup);
    const QString legacy = association.LegacyDesktopEntryPath();
    EXPECT_EQ(QFileInfo(legacy).fileName(), "quorrel.desktop");
    const auto writeLegacy = [&](const QString& exec) {
        QDir().mkpath(QFileInfo(legacy).absolutePath());
        QFile file(legacy);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(("[Desktop Entry]\nType=Application\nExec=" + exec
                    + " %F\nMimeType=application/x-quorrel-document;\n").toUtf8());
    };

    // Written by this editor before the entry took the application id's
    // name: replaced by the new entry, not listed twice.
    writeLegacy(m_setup.executable);
    ASSERT_EQ(association.RegisterIfMissing().outcome, Outcome::Registered);
    EXPECT_FALSE(QFileInfo::exists(legacy));
    EXPECT_TRUE(QFileInfo::exists(association.DesktopEntryPath()));

    // Another program's file of that name stays.
    writeLegacy("/usr/bin/some-other-quorrel");
    EXPECT_EQ(association.RegisterIfMissing().outcome, Outcome::AlreadyRegistered);
    EXPECT_TRUE(QFileInfo::exists(legacy));

    // This editor's, appearing again while everything else is in place: it
    // goes, and the menu's cache is refreshed for it.
    writeLegacy(m_setup.executable);
    const int toolRunsBefore = tools.LogLines().size();
    const AssociationResult again = association.RegisterIfMissing();
    EXPECT_EQ(again.outcome, Outcome::AlreadyRegistered);
    EXPECT_FALSE(QFileInfo::exists(legacy));
    EXPECT_EQ(again.toolsRun, QStringList{"update-desktop-database"});
    EXPECT_EQ(tools.LogLines().mid(toolRunsBefore),
              QStringList{"update-desktop-database " + m_setup.dataHome + "/applications"});
}

TEST_F(FileAssociationTest, MissingOrHangingToolsDoNotStopTheEditor)
{
    // No tools on PATH at all.
    {
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(m_dir.filePath("empty")));
        const AssociationResult result = FileAssociation(m_setup).RegisterIfMissing();
        qputenv("PATH", oldPath);
        EXPECT_EQ(result.outcome, Outcome::Registered);
        EXPECT_TRUE(result.toolsRun.isEmpty());
    }
    // A tool that hangs is ended after the timeout; a failing one is not
    // counted as run.
    QDir(m_setup.dataHome).removeRecursively();
    FakeTools tools(m_dir.filePath("fake-bin"));
    tools.Add("update-mime-database", "exec sleep 30");
    tools.Add("update-desktop-database", "exit 1");
    m_setup.toolTimeoutMs = 300;
    QElapsedTimer clock;
    clock.start();
    const AssociationResult result = FileAssociation(m_setup).RegisterIfMissing();
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(result.outcome, Outcome::Registered);
    EXPECT_TRUE(result.toolsRun.isEmpty());
}

TEST_F(FileAssociationTest, AnUnwritableDataFolderIsAFailureNotACrash)
{
    QFile blocker(m_dir.filePath("blocker"));
    blocker.open(QIODevice::WriteOnly);
    blocker.close();
    m_setup.dataHome = m_dir.filePath("blocker/data");   // below a plain file
    const AssociationResult result = FileAssociation(m_setup).RegisterIfMissing();
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_FALSE(result.error.isEmpty());
}

TEST(ExecQuoting, FollowsTheDesktopEntryRules)
{
    EXPECT_EQ(FileAssociation::QuoteExecArgument("/usr/bin/quorrel"), "/usr/bin/quorrel");
    EXPECT_EQ(FileAssociation::QuoteExecArgument("/opt/my apps/quorrel"), "\"/opt/my apps/quorrel\"");
    // Inside quotes ", `, $ and \ are escaped with a backslash, and the
    // value's own escaping doubles every backslash again.
    EXPECT_EQ(FileAssociation::QuoteExecArgument("/a$b/q"), "\"/a\\\\$b/q\"");
    EXPECT_EQ(FileAssociation::QuoteExecArgument("/a\"b"), "\"/a\\\\\"b\"");
    // A literal percent sign is doubled so it is not a field code.
    EXPECT_EQ(FileAssociation::QuoteExecArgument("/100%/q"), "/100%%/q");
}
