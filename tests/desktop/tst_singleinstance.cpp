#include "platform/desktop/SingleInstance.h"

#include <QDataStream>
#include <QDir>
#include <QProcessEnvironment>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
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
    QString warning;
    const QString name = SingleInstance::DefaultServerName(&warning);
    ASSERT_FALSE(name.isEmpty()) << warning.toStdString();
    EXPECT_EQ(name, SingleInstance::DefaultServerName());
    // Never a bare name (a socket in /tmp that anyone may take first): a
    // path in a folder only the user may enter.
    ASSERT_TRUE(QDir::isAbsolutePath(name)) << name.toStdString();
    const QFileInfo folder(QFileInfo(name).absolutePath());
    EXPECT_EQ(folder.ownerId(), ::getuid());
    EXPECT_FALSE(folder.permissions() & (QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther |
                                         QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup));
}

namespace {

class PrivateFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_env.insert("HOME", m_dir.filePath("home"));
        m_env.insert("XDG_CACHE_HOME", m_dir.filePath("cache"));
    }
    QString Name(QString* warning = nullptr) const { return SingleInstance::ServerNameFor(m_env, warning); }
    QString Folder() const { return m_dir.filePath("cache/quorrel"); }
    static mode_t Mode(const QString& path)
    {
        struct stat st {};
        EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &st), 0);
        return st.st_mode & 07777;
    }

    QTemporaryDir m_dir;
    QProcessEnvironment m_env;
};

} // namespace

TEST_F(PrivateFolderTest, WithoutARuntimeFolderTheUserGetsAFolderOfTheirOwn)
{
    QString warning;
    const QString name = Name(&warning);
    ASSERT_FALSE(name.isEmpty()) << warning.toStdString();
    EXPECT_TRUE(warning.isEmpty());
    EXPECT_EQ(QFileInfo(name).absolutePath(), Folder());
    EXPECT_TRUE(QFileInfo(name).fileName().startsWith("editor-"));
    EXPECT_EQ(Mode(Folder()), 0700u);
    EXPECT_EQ(Mode(m_dir.filePath("cache")), 0700u);
    EXPECT_EQ(Name(), name);   // the same again

    // Without a cache folder: under the home folder.
    m_env.remove("XDG_CACHE_HOME");
    ASSERT_TRUE(QDir().mkpath(m_dir.filePath("home")));
    EXPECT_EQ(QFileInfo(Name()).absolutePath(), m_dir.filePath("home/.cache/quorrel"));

    // A runtime folder of the user's own is used as it is.
    const QString runtime = m_dir.filePath("runtime");
    ASSERT_TRUE(QDir().mkpath(runtime));
    ASSERT_TRUE(QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    m_env.insert("XDG_RUNTIME_DIR", runtime);
    EXPECT_EQ(Name(), runtime + "/quorrel-editor");
}

TEST_F(PrivateFolderTest, AFolderOthersMayEnterOrOwnGivesNoNameAndAWarning)
{
    auto refused = [&](const std::string& reason) {
        QString warning;
        EXPECT_TRUE(Name(&warning).isEmpty());
        EXPECT_TRUE(warning.contains(QString::fromStdString(reason))) << warning.toStdString();
        EXPECT_TRUE(warning.startsWith("no private folder for the editor's socket")) << warning.toStdString();
    };
    ASSERT_TRUE(QDir().mkpath(Folder()));
    ASSERT_EQ(::chmod(QFile::encodeName(Folder()).constData(), 0755), 0);
    refused("other users may enter it");
    EXPECT_EQ(Mode(Folder()), 0755u);   // looked at, not changed

    ASSERT_EQ(::chmod(QFile::encodeName(Folder()).constData(), 0700), 0);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(QFile::encodeName(Folder()).constData(), 65534, 65534), 0);
        refused("owned by another user");
    }
    // A link in its place, even to a private folder.
    ASSERT_TRUE(QDir(Folder()).removeRecursively());
    const QString elsewhere = m_dir.filePath("elsewhere");
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    ASSERT_EQ(::chmod(QFile::encodeName(elsewhere).constData(), 0700), 0);
    ASSERT_TRUE(QFile::link(elsewhere, Folder()));
    refused("not a folder");

    m_env.insert("XDG_RUNTIME_DIR", elsewhere);
    ASSERT_EQ(::chmod(QFile::encodeName(elsewhere).constData(), 0711), 0);
    refused("other users may enter it");

    m_env.remove("XDG_RUNTIME_DIR");
    m_env.remove("XDG_CACHE_HOME");
    m_env.remove("HOME");
    refused("not set");

    // Without a name there is no hand-over and no listening.
    SingleInstance none{QString()};
    EXPECT_FALSE(none.Listen());
    EXPECT_FALSE(none.SendToRunning({"/a.wpp"}, 200));
}

// Another local user: root runs the other side as "nobody".
class OtherUserTest : public SingleInstanceTest {
protected:
    void SetUp() override
    {
        SingleInstanceTest::SetUp();
        if (::geteuid() != 0)
            GTEST_SKIP() << "needs root to run a process as another user";
        // A folder both users may use, as one opened up by mistake would be.
        ASSERT_TRUE(QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                            QFileDevice::ExeOwner | QFileDevice::ExeOther));
        ASSERT_TRUE(QDir(m_dir.path()).mkdir("shared"));
        ASSERT_EQ(::chmod(QFile::encodeName(m_dir.filePath("shared")).constData(), 0777), 0);
    }
    QString SharedName() const { return m_dir.filePath("shared/editor.sock"); }
    static QStringList AsNobody(const QStringList& args)
    {
        return QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", "--", QUORREL_SECOND_INSTANCE_EXE} + args;
    }
};

TEST_F(OtherUserTest, PathsAreNeverSentToAnotherUsersEditor)
{
    QProcess theirs;
    theirs.start("setpriv", AsNobody({"--serve", SharedName()}));
    ASSERT_TRUE(theirs.waitForStarted(5000));
    ASSERT_TRUE(theirs.waitForReadyRead(5000)) << theirs.readAllStandardError().toStdString();
    ASSERT_EQ(theirs.readLine().trimmed(), "listening");

    SingleInstance mine(SharedName());
    EXPECT_FALSE(mine.SendToRunning({"/home/me/secret.wpp"}));
    // Their editor got nothing and is still waiting.
    EXPECT_FALSE(theirs.waitForReadyRead(500));
    EXPECT_EQ(theirs.state(), QProcess::Running);
    theirs.kill();
    theirs.waitForFinished();
    EXPECT_TRUE(theirs.readAllStandardOutput().isEmpty());
}

TEST_F(OtherUserTest, RequestsFromAnotherUserAreDropped)
{
    SingleInstance mine(SharedName());
    ASSERT_TRUE(mine.Listen());
    ASSERT_EQ(::chmod(QFile::encodeName(SharedName()).constData(), 0777), 0);   // reachable by anyone
    QSignalSpy requested(&mine, &SingleInstance::filesRequested);

    QProcess theirs;
    QSignalSpy finished(&theirs, &QProcess::finished);
    theirs.start("setpriv", AsNobody({"--raw", SharedName(), "/etc/shadow"}));
    ASSERT_TRUE(theirs.waitForStarted(5000));
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_EQ(theirs.exitCode(), 3) << theirs.readAllStandardError().toStdString();
    EXPECT_EQ(requested.size(), 0);

    // The same request from this user is served, so the drop above was
    // the check's doing.
    QProcess own;
    QSignalSpy ownFinished(&own, &QProcess::finished);
    own.start(QUORREL_SECOND_INSTANCE_EXE, {"--raw", SharedName(), "/home/me/sky.wpp"});
    ASSERT_TRUE(ownFinished.wait(10000));
    EXPECT_EQ(own.exitCode(), 0);
    ASSERT_EQ(requested.size(), 1);
    EXPECT_EQ(requested.at(0).at(0).toStringList(), QStringList{"/home/me/sky.wpp"});
}
