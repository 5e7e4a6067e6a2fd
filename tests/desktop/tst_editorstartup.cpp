#include "platform/NativePath.h"
#include "platform/desktop/EditorStartup.h"
#include "platform/desktop/SingleInstance.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

using namespace quorrel::desktop;
using quorrel::platform::PathFromNative;
using Action = EditorCommandLine::Action;

namespace {

class EditorStartupTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    StartupDecision Decide(const QStringList& args, SingleInstance& instance)
    {
        m_out.clear();
        m_err.clear();
        QTextStream out(&m_out), err(&m_err);
        return DecideStartup(args, instance, out, err);
    }

    QString Name() const { return m_dir.filePath("editor.sock"); }

    QTemporaryDir m_dir;
    QString m_out, m_err;
};

} // namespace

TEST_F(EditorStartupTest, HelpVersionAndMistakesEndAtOnce)
{
    SingleInstance instance(Name());
    auto d = Decide({"--help"}, instance);
    EXPECT_TRUE(d.quit);
    EXPECT_EQ(d.exitCode, 0);
    EXPECT_EQ(m_out, EditorUsage());

    d = Decide({"--version"}, instance);
    EXPECT_TRUE(d.quit);
    EXPECT_EQ(m_out, "Quorrel 1.0\n");

    d = Decide({"--print"}, instance);
    EXPECT_TRUE(d.quit);
    EXPECT_EQ(d.exitCode, 2);
    EXPECT_TRUE(m_err.startsWith("quorrel: the print switches need the document to print\n"));
    EXPECT_TRUE(m_out.isEmpty());
    EXPECT_FALSE(instance.IsListening());
}

TEST_F(EditorStartupTest, AFirstStartRunsAndServesLaterOnes)
{
    SingleInstance instance(Name());
    auto d = Decide({"sky.wpp"}, instance);
    EXPECT_FALSE(d.quit);
    EXPECT_EQ(d.commandLine.action, Action::Open);
    EXPECT_TRUE(instance.IsListening());

    SingleInstance fresh(m_dir.filePath("other.sock"));
    d = Decide({}, fresh);
    EXPECT_FALSE(d.quit);
    EXPECT_EQ(d.commandLine.action, Action::NewDocument);
    EXPECT_TRUE(fresh.IsListening());
}

TEST_F(EditorStartupTest, PrintingNeverTakesTheEditorsPlace)
{
    SingleInstance instance(Name());
    const auto d = Decide({"--print-to", "lp0", "sky.wpp"}, instance);
    EXPECT_FALSE(d.quit);
    EXPECT_EQ(d.commandLine.action, Action::PrintTo);
    EXPECT_FALSE(instance.IsListening());
}

TEST_F(EditorStartupTest, FilesGoToTheRunningEditorInAnotherProcess)
{
    QProcess running;
    running.start(QUORREL_SECOND_INSTANCE_EXE, {"--serve", Name()});
    ASSERT_TRUE(running.waitForStarted(5000));
    ASSERT_TRUE(running.waitForReadyRead(5000));
    ASSERT_EQ(running.readLine().trimmed(), "listening");

    SingleInstance instance(Name());
    const auto d = Decide({"/docs/sky.wpp", "sea.wpp"}, instance);
    EXPECT_TRUE(d.quit);
    EXPECT_EQ(d.exitCode, 0);
    EXPECT_FALSE(instance.IsListening());

    ASSERT_TRUE(running.waitForFinished(5000));
    EXPECT_EQ(running.exitCode(), 0);
    const QStringList received = QString::fromUtf8(running.readAll()).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(received, (QStringList{"/docs/sky.wpp", QDir::current().absoluteFilePath("sea.wpp")}));

    // A start without files is an editor of its own and leaves the name
    // to the one that has it.
    QProcess other;
    other.start(QUORREL_SECOND_INSTANCE_EXE, {"--serve", Name()});
    ASSERT_TRUE(other.waitForReadyRead(5000));
    SingleInstance second(Name());
    const auto plain = Decide({}, second);
    EXPECT_FALSE(plain.quit);
    EXPECT_FALSE(second.IsListening());
    other.kill();
    other.waitForFinished();
}

TEST_F(EditorStartupTest, NamesThatAreNotUtf8ReachTheRunningEditorWhole)
{
    QProcess running;
    running.start(QUORREL_SECOND_INSTANCE_EXE, {"--serve", Name()});
    ASSERT_TRUE(running.waitForStarted(5000));
    ASSERT_TRUE(running.waitForReadyRead(5000));
    ASSERT_EQ(running.readLine().trimmed(), "listening");

    const QString current = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    SingleInstance instance(Name());
    const auto d = Decide({PathFromNative("/docs/\xff\xfe.wpp"), PathFromNative("caf\xe9.wpp")}, instance);
    QDir::setCurrent(current);
    EXPECT_TRUE(d.quit);
    EXPECT_EQ(d.exitCode, 0);

    ASSERT_TRUE(running.waitForFinished(5000));
    EXPECT_EQ(running.exitCode(), 0);
    EXPECT_EQ(running.readAll(), QByteArray("/docs/\xff\xfe.wpp\n") + QFile::encodeName(m_dir.path()) + "/caf\xe9.wpp\n");
}
