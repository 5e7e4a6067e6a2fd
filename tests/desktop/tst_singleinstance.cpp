#include "platform/desktop/SingleInstance.h"

#include <QDataStream>
#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using quorrel::desktop::SingleInstance;

namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    // A socket path of the test's own, so no real editor is ever reached.
    QString Name() const { return m_dir.filePath("editor.sock"); }

    // Runs the second start as its own process while this one keeps
    // serving events; returns its exit code.
    int SecondStart(const QStringList& files, const QString& name)
    {
        QProcess process;
        process.setWorkingDirectory(m_dir.path());
        QSignalSpy finished(&process, &QProcess::finished);
        process.start(QUORREL_SECOND_INSTANCE_EXE, QStringList{name} + files);
        if (!process.waitForStarted(5000))
            return -1;
        if (!finished.wait(15000)) {
            process.kill();
            process.waitForFinished();
            return -2;
        }
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -3;
    }

    QTemporaryDir m_dir;
};

// Leaves a socket file behind as an editor that crashed would.
bool MakeStaleSocket(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray bytes = QFile::encodeName(path);
    if (size_t(bytes.size()) >= sizeof(addr.sun_path)) {
        ::close(fd);
        return false;
    }
    std::memcpy(addr.sun_path, bytes.constData(), size_t(bytes.size()));
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0;
    ::close(fd);
    return bound && QFileInfo::exists(path);
}

} // namespace

TEST_F(SingleInstanceTest, FilesFromASecondStartOpenInTheFirst)
{
    SingleInstance first(Name());
    ASSERT_TRUE(first.Listen());
    QSignalSpy requested(&first, &SingleInstance::filesRequested);

    EXPECT_EQ(SecondStart({"sky.wpp", "/elsewhere/sea wave.wpp"}, Name()), 0);
    ASSERT_EQ(requested.size(), 1);
    // Relative names are resolved in the second start's folder, which the
    // running editor does not share.
    const QStringList expected = {QDir(m_dir.path()).filePath("sky.wpp"), "/elsewhere/sea wave.wpp"};
    EXPECT_EQ(requested.at(0).at(0).toStringList(), expected);

    // A later start is served as well.
    EXPECT_EQ(SecondStart({"/x/ünïcödé.wpp"}, Name()), 0);
    ASSERT_EQ(requested.size(), 2);
    EXPECT_EQ(requested.at(1).at(0).toStringList(), QStringList{"/x/ünïcödé.wpp"});
}

TEST_F(SingleInstanceTest, WithoutARunningEditorTheSecondStartCarriesOn)
{
    EXPECT_EQ(SecondStart({"sky.wpp"}, Name()), 3);
}

TEST_F(SingleInstanceTest, ASocketLeftByACrashedEditorIsTakenOver)
{
    ASSERT_TRUE(MakeStaleSocket(Name()));
    SingleInstance first(Name());
    ASSERT_TRUE(first.Listen());
    QSignalSpy requested(&first, &SingleInstance::filesRequested);
    EXPECT_EQ(SecondStart({"/a.wpp"}, Name()), 0);
    ASSERT_EQ(requested.size(), 1);
}

TEST_F(SingleInstanceTest, ALiveEditorKeepsItsName)
{
    SingleInstance first(Name());
    ASSERT_TRUE(first.Listen());
    SingleInstance second(Name());
    EXPECT_FALSE(second.Listen());
    EXPECT_FALSE(second.IsListening());

    QSignalSpy firstGot(&first, &SingleInstance::filesRequested);
    EXPECT_EQ(SecondStart({"/a.wpp"}, Name()), 0);
    EXPECT_EQ(firstGot.size(), 1);
}

TEST_F(SingleInstanceTest, GarbageIsDroppedAndARequestInPiecesArrives)
{
    SingleInstance first(Name());
    ASSERT_TRUE(first.Listen());
    QSignalSpy requested(&first, &SingleInstance::filesRequested);

    {
        QLocalSocket intruder;
        intruder.connectToServer(Name());
        ASSERT_TRUE(intruder.waitForConnected(2000));
        intruder.write(QByteArray(64, 'x'));
        intruder.flush();
        QSignalSpy gone(&intruder, &QLocalSocket::disconnected);
        EXPECT_TRUE(gone.wait(3000));
    }
    EXPECT_EQ(requested.size(), 0);

    // A valid request written in two parts with a pause between them.
    QByteArray payload = QByteArray("/one.wpp") + '\0' + QByteArray("/two.wpp") + '\0';
    QByteArray header;
    {
        QDataStream out(&header, QIODevice::WriteOnly);
        out << quint32(0x51524c31) << quint32(payload.size());
    }
    QLocalSocket client;
    client.connectToServer(Name());
    ASSERT_TRUE(client.waitForConnected(2000));
    client.write(header + payload.left(5));
    client.flush();
    QTest::qWait(50);
    EXPECT_EQ(requested.size(), 0);
    client.write(payload.mid(5));
    client.flush();
    ASSERT_TRUE(requested.wait(3000));
    EXPECT_EQ(requested.at(0).at(0).toStringList(), (QStringList{"/one.wpp", "/two.wpp"}));

    // And an oversized announcement is refused without reading on.
    QLocalSocket greedy;
    greedy.connectToServer(Name());
    ASSERT_TRUE(greedy.waitForConnected(2000));
    QByteArray big;
    {
        QDataStream out(&big, QIODevice::WriteOnly);
        out << quint32(0x51524c31) << quint32(0x7fffffff);
    }
    greedy.write(big);
    greedy.flush();
    QSignalSpy greedyGone(&greedy, &QLocalSocket::disconnected);
    EXPECT_TRUE(greedyGone.wait(3000));
    EXPECT_EQ(requested.size(), 1);
}

TEST(SingleInstanceName, IsPrivateToTheUser)
{
    const QString name = SingleInstance::DefaultServerName();
    EXPECT_FALSE(name.isEmpty());
    EXPECT_EQ(name, SingleInstance::DefaultServerName());
    if (QDir::isAbsolutePath(name)) {
        // In the user's runtime folder, which only the user may enter.
        const QFileInfo folder(QFileInfo(name).absolutePath());
        EXPECT_EQ(folder.ownerId(), ::getuid());
        EXPECT_FALSE(folder.permissions() & (QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther));
    } else {
        EXPECT_TRUE(name.contains(QString::number(::getuid())));
    }
}
