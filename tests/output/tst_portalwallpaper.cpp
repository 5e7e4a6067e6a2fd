// The desktop portal setter against a fake portal on a private D-Bus: the
// call it makes, the screen-sized image it hands over, and every answer.

#include "output/DesktopWallpaper.h"
#include "output/TileRepeat.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

#include <unistd.h>

using namespace quorrel::output;

// The portal's Wallpaper interface: records each call and answers it with
// `response` on the Request object the caller's token names.
class CFakePortal final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Wallpaper")
public:
    explicit CFakePortal(QDBusConnection bus) : m_bus(std::move(bus)) {}

    uint response = 0;
    bool refuseUris = false;
    QString method;
    QString uri;
    QVariantMap options;
    QByteArray fileBytes;   // what SetWallpaperFile's descriptor read

public Q_SLOTS:
    QDBusObjectPath SetWallpaperURI(const QString&, const QString& givenUri, const QVariantMap& givenOptions,
                                    const QDBusMessage& message)
    {
        method = QStringLiteral("SetWallpaperURI");
        uri = givenUri;
        options = givenOptions;
        if (refuseUris) {
            message.setDelayedReply(true);
            m_bus.send(message.createErrorReply(QDBusError::InvalidArgs, QStringLiteral("No file URIs")));
            return QDBusObjectPath(QStringLiteral("/"));
        }
        return Answer(message);
    }
    QDBusObjectPath SetWallpaperFile(const QString&, const QDBusUnixFileDescriptor& fd, const QVariantMap& givenOptions,
                                     const QDBusMessage& message)
    {
        method = QStringLiteral("SetWallpaperFile");
        options = givenOptions;
        QFile file;
        if (file.open(::dup(fd.fileDescriptor()), QIODevice::ReadOnly, QFile::AutoCloseHandle))
            fileBytes = file.readAll();
        return Answer(message);
    }

private:
    QDBusObjectPath Answer(const QDBusMessage& message)
    {
        QString sender = message.service();
        sender.remove(0, 1).replace(u'.', u'_');
        const QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                                 .arg(sender, options.value(QStringLiteral("handle_token")).toString());
        QTimer::singleShot(20, this, [this, path] {
            QDBusMessage signal =
                QDBusMessage::createSignal(path, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
            signal << response << QVariantMap();
            m_bus.send(signal);
        });
        return QDBusObjectPath(path);
    }

    QDBusConnection m_bus;
};

namespace {

class PortalTest : public ::testing::Test {
protected:
    // A bus of its own that starts no services: never the real portal.
    static void SetUpTestSuite()
    {
        s_config = new QTemporaryDir;
        QFile config(s_config->filePath("bus.conf"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                     " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                     "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen><auth>EXTERNAL</auth>\n"
                     "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                     "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy>\n"
                     "</busconfig>\n");
        config.close();
        s_daemon = new QProcess;
        s_daemon->start(QStringLiteral("dbus-daemon"),
                        {"--config-file=" + config.fileName(), "--nofork", "--print-address=1"});
        ASSERT_TRUE(s_daemon->waitForStarted(5000)) << "dbus-daemon is needed (package dbus)";
        ASSERT_TRUE(s_daemon->waitForReadyRead(5000));
        s_address = QString::fromLocal8Bit(s_daemon->readLine()).trimmed();
    }
    static void TearDownTestSuite()
    {
        s_daemon->kill();
        s_daemon->waitForFinished(5000);
        delete s_daemon;
        delete s_config;
    }

    // One connection for the fake portal and one for the setter, for the
    // whole run (closing private connections between tests upsets libdbus).
    void SetUp() override
    {
        ASSERT_FALSE(s_address.isEmpty());
        m_service.emplace(QDBusConnection::connectToBus(s_address, QStringLiteral("portal")));
        ASSERT_TRUE(m_service->isConnected());
        m_portal = std::make_unique<CFakePortal>(*m_service);
        ASSERT_TRUE(m_service->registerObject("/org/freedesktop/portal/desktop", m_portal.get(),
                                              QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(m_service->registerService("org.freedesktop.portal.Desktop"));
    }
    void TearDown() override
    {
        m_service->unregisterService("org.freedesktop.portal.Desktop");
        m_service->unregisterObject("/org/freedesktop/portal/desktop");
        m_portal.reset();
    }

    // Sets `tile` on a COSMIC session (no setter of ours) through the portal.
    CWallpaperResult SetThroughThePortal(const QImage& tile, QSize screen, bool withPortal = true)
    {
        if (!withPortal)
            m_service->unregisterService("org.freedesktop.portal.Desktop");
        QProcessEnvironment environment;
        environment.insert("XDG_CURRENT_DESKTOP", "COSMIC");
        environment.insert("WAYLAND_DISPLAY", "wayland-1");
        const QDBusConnection client = QDBusConnection::connectToBus(s_address, QStringLiteral("client"));
        CDesktopWallpaper wallpaper(m_runner, environment, m_dir.path(), client);
        std::optional<CWallpaperResult> result;
        wallpaper.Set({tile, screen}, [&](const CWallpaperResult& r) { result = r; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 10000));
        return result.value_or(CWallpaperResult{});
    }
    QString Screen() const { return m_dir.filePath("Quorrel Wallpaper Screen.png"); }

    static QImage Tile()
    {
        QImage tile(13, 9, QImage::Format_RGB32);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 13; ++x)
                tile.setPixel(x, y, qRgb(x * 19, y * 28, 200 - x - y));
        return tile;
    }

    static QTemporaryDir* s_config;
    static QProcess* s_daemon;
    static QString s_address;
    std::optional<QDBusConnection> m_service;
    std::unique_ptr<CFakePortal> m_portal;
    QTemporaryDir m_dir;
    class CNoRunner final : public IProcessRunner {
    public:
        bool IsAvailable(const QString&) override { return true; }
        void Start(const QString&, const QStringList&, QObject*, ProcessFinished) override { ADD_FAILURE() << "no helper expected"; }
        std::unique_ptr<IChildProcess> StartChild(const QString&, const QStringList&, QObject*, ProcessFinished) override
        {
            ADD_FAILURE() << "no helper expected";
            return nullptr;
        }
        int TimeoutMs() const override { return 3000; }
    } m_runner;
};

QTemporaryDir* PortalTest::s_config = nullptr;
QProcess* PortalTest::s_daemon = nullptr;
QString PortalTest::s_address;

} // namespace

TEST_F(PortalTest, HandsOverTheTileRepeatedToTheScreenAndReportsSuccess)
{
    const QImage tile = Tile();
    const CWallpaperResult result = SetThroughThePortal(tile, {100, 41});
    EXPECT_TRUE(result.WallpaperSet()) << result.problem.toStdString();
    EXPECT_EQ(m_portal->method, "SetWallpaperURI");
    EXPECT_EQ(m_portal->uri, FileUrl(Screen()));
    EXPECT_EQ(m_portal->options.value("show-preview"), QVariant(false));
    EXPECT_EQ(m_portal->options.value("set-on"), QVariant("background"));
    EXPECT_TRUE(m_portal->options.value("handle_token").toString().startsWith("quorrel"));
    EXPECT_EQ(QImage(Screen()).convertToFormat(QImage::Format_RGB32), RepeatTile(tile, 100, 41));
    ASSERT_EQ(result.tried.size(), 1);
    EXPECT_EQ(result.tried[0], "desktop portal org.freedesktop.portal.Wallpaper.SetWallpaperURI " + FileUrl(Screen()));
}

TEST_F(PortalTest, CancelledAndRefusedAnswersAreFailures)
{
    m_portal->response = 1;
    EXPECT_EQ(SetThroughThePortal(Tile(), {20, 20}).problem,
              "The wallpaper was not changed: cancelled in the desktop portal.");
    m_portal->response = 2;
    EXPECT_EQ(SetThroughThePortal(Tile(), {20, 20}).problem,
              "The desktop portal refused to set the wallpaper (answer 2).");
}

TEST_F(PortalTest, APortalThatRefusesFileUrlsGetsTheOpenFile)
{
    m_portal->refuseUris = true;
    const CWallpaperResult result = SetThroughThePortal(Tile(), {30, 12});
    EXPECT_TRUE(result.WallpaperSet()) << result.problem.toStdString();
    EXPECT_EQ(m_portal->method, "SetWallpaperFile");
    QFile screen(Screen());
    ASSERT_TRUE(screen.open(QIODevice::ReadOnly));
    EXPECT_EQ(m_portal->fileBytes, screen.readAll());
    EXPECT_EQ(result.tried.size(), 2);
}

TEST_F(PortalTest, NoPortalOnTheBusAndNoScreenSizeAreReported)
{
    const CWallpaperResult missing = SetThroughThePortal(Tile(), {20, 20}, false);
    EXPECT_FALSE(missing.WallpaperSet());
    EXPECT_TRUE(missing.problem.contains("org.freedesktop.DBus.Error.ServiceUnknown")) << missing.problem.toStdString();

    const CWallpaperResult noScreen = SetThroughThePortal(Tile(), {});
    EXPECT_EQ(noScreen.problem, "The screen's size (-1 x -1) is unknown or too large.");
}

#include "tst_portalwallpaper.moc"
