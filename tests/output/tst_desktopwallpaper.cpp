// Set As Wallpaper against a fake runner: which helpers each desktop gets,
// in which order relative to writing the file, what the result reports, and
// that nothing waits for a helper.

#include "QtPrinting.h"

#include "output/DesktopWallpaper.h"
#include "output/ErrorMessage.h"
#include "output/GSettingsWallpaperSetter.h"
#include "output/LxqtWallpaperSetter.h"
#include "output/PlasmaWallpaperSetter.h"
#include "support/FakeProcessRunner.h"
#include "support/StalledBus.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <vector>

using namespace quorrel::output;
using quorrel::test::CFakeRunner;
using EStatus = CProcessResult::EStatus;

namespace {

QImage Tile(QRgb colour, int width = 33, int height = 21)
{
    QImage tile(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            tile.setPixel(x, y, colour ^ uint32_t(x * 7 + y * 1300));
    return tile;
}

QByteArray HashOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex()
                                          : QByteArray();
}

class DesktopWallpaperTest : public ::testing::Test {
protected:
    // A wallpaper service for a session with these variables, writing into
    // the test's folder; each call notes the wallpaper file's hash.
    std::unique_ptr<CDesktopWallpaper> Make(std::initializer_list<std::pair<const char*, const char*>> variables)
    {
        QProcessEnvironment environment;
        for (const auto& [name, value] : variables)
            environment.insert(name, value);
        auto wallpaper = std::make_unique<CDesktopWallpaper>(m_runner, environment, m_dir.filePath("data"));
        m_runner.observe = [this] {
            return QString::fromLatin1(HashOf(Bmp())) + (QFile::exists(Png()) ? "+png" : "");
        };
        return wallpaper;
    }
    // Sets `tile` and waits for the result.
    CWallpaperResult SetAndWait(CDesktopWallpaper& wallpaper, const QImage& tile, QSize screen = {})
    {
        std::optional<CWallpaperResult> result;
        wallpaper.Set({tile, screen}, [&](const CWallpaperResult& r) { result = r; });
        EXPECT_FALSE(result.has_value());   // never inside Set
        EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 5000));
        return result.value_or(CWallpaperResult{});
    }
    QStringList Programs() const
    {
        QStringList programs;
        for (const auto& call : m_runner.calls)
            programs << call.program;
        return programs;
    }
    QString Bmp() const { return m_dir.filePath("data/Quorrel Wallpaper.bmp"); }
    QString Png() const { return m_dir.filePath("data/Quorrel Wallpaper.png"); }
    QString Screen() const { return m_dir.filePath("data/Quorrel Wallpaper Screen.png"); }
    QString BmpUrl() const { return "file://" + QString(QUrl::toPercentEncoding(Bmp(), "/")); }

    QTemporaryDir m_dir;
    CFakeRunner m_runner;
};

} // namespace

TEST_F(DesktopWallpaperTest, WithoutADesktopTheFileIsWrittenAndTheResultSaysSo)
{
    auto wallpaper = Make({});
    EXPECT_EQ(wallpaper->Files().bmp, Bmp());
    const QImage tile = Tile(0x123456);
    const CWallpaperResult result = SetAndWait(*wallpaper, tile);
    EXPECT_EQ(result.saveStatus, kStatusOk);
    EXPECT_EQ(QImage(Bmp(), "bmp").convertToFormat(QImage::Format_RGB32), tile);
    EXPECT_TRUE(m_runner.calls.empty());
    EXPECT_FALSE(result.WallpaperSet());
    EXPECT_EQ(result.session.desktop, EDesktop::None);
    EXPECT_EQ(result.imagePath, Bmp());
    const QString text = WallpaperFailureText(result);
    EXPECT_TRUE(text.startsWith("The wallpaper could not be set.")) << text.toStdString();
    EXPECT_TRUE(text.contains("Desktop: none recognised, no graphical session.")) << text.toStdString();
    EXPECT_TRUE(text.contains("No desktop was recognised")) << text.toStdString();
    EXPECT_TRUE(text.contains("The image is in:\n" + QDir::toNativeSeparators(Bmp()))) << text.toStdString();

    const QImage second = Tile(0xabcdef, 5, 7);   // another document: same file, overwritten
    EXPECT_EQ(SetAndWait(*wallpaper, second).saveStatus, kStatusOk);
    EXPECT_EQ(QImage(Bmp(), "bmp").convertToFormat(QImage::Format_RGB32), second);
    EXPECT_EQ(QDir(m_dir.filePath("data")).entryList(QDir::Files), QStringList{"Quorrel Wallpaper.bmp"});
}

TEST_F(DesktopWallpaperTest, DefaultFolderIsTheApplicationsDataFolder)
{
    EXPECT_EQ(CDesktopWallpaper::DefaultFolder(), QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    CDesktopWallpaper wallpaper(m_runner, QProcessEnvironment());
    EXPECT_EQ(wallpaper.Files().bmp, QDir(CDesktopWallpaper::DefaultFolder()).filePath("Quorrel Wallpaper.bmp"));
}

TEST_F(DesktopWallpaperTest, GnomeTiledModeThenFileThenPictureUri)
{
    m_runner.allAvailable = true;
    auto wallpaper = Make({{"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}});
    const CWallpaperResult result = SetAndWait(*wallpaper, Tile(1));
    EXPECT_TRUE(result.WallpaperSet()) << result.problem.toStdString();
    const QString first = HashOf(Bmp());
    const QString uri = "'" + BmpUrl() + "'";
    ASSERT_EQ(m_runner.calls.size(), 4u);
    const QString schema = "org.gnome.desktop.background";
    EXPECT_EQ(m_runner.calls[0].program, "gsettings");
    EXPECT_EQ(m_runner.calls[0].arguments, QStringList({"set", schema, "picture-options", "'wallpaper'"}));
    EXPECT_TRUE(m_runner.calls[0].note.isEmpty());   // no file yet
    EXPECT_EQ(m_runner.calls[1].arguments, QStringList({"set", schema, "picture-uri", uri}));
    EXPECT_EQ(m_runner.calls[1].note, first);
    EXPECT_EQ(m_runner.calls[2].arguments, QStringList({"set", schema, "picture-uri-dark", uri}));
    // Then read back: what the settings hold, not gsettings' exit code, decides.
    EXPECT_EQ(m_runner.calls[3].arguments, QStringList({"list-recursively", schema}));
    EXPECT_EQ(result.tried.size(), 3);
    EXPECT_EQ(result.tried[1], "gsettings set " + schema + " picture-uri \"'" + BmpUrl() + "'\"");

    // The next tick: the old file is still there while the mode is set.
    m_runner.calls.clear();
    SetAndWait(*wallpaper, Tile(2));
    ASSERT_EQ(m_runner.calls.size(), 4u);
    EXPECT_EQ(m_runner.calls[0].note, first);
    EXPECT_NE(m_runner.calls[1].note, first);
    EXPECT_EQ(m_runner.calls[1].note, HashOf(Bmp()));
}

TEST_F(DesktopWallpaperTest, OlderGnomeWithoutTheDarkKeyStillCountsAsSet)
{
    m_runner.allAvailable = true;
    m_runner.reply = [](const CFakeRunner::CCall& call) {
        const bool dark = call.arguments.contains("picture-uri-dark");
        return CProcessResult{EStatus::Exited, dark ? 1 : 0, {}, dark ? "No such key" : ""};
    };
    auto wallpaper = Make({{"XDG_CURRENT_DESKTOP", "GNOME"}});
    EXPECT_TRUE(SetAndWait(*wallpaper, Tile(1)).WallpaperSet());
}

TEST_F(DesktopWallpaperTest, CinnamonAndMate)
{
    m_runner.allAvailable = true;
    auto cinnamon = Make({{"XDG_CURRENT_DESKTOP", "X-Cinnamon"}});
    SetAndWait(*cinnamon, Tile(3));
    ASSERT_EQ(m_runner.calls.size(), 3u);   // and the read-back
    EXPECT_EQ(m_runner.calls[0].arguments,
              QStringList({"set", "org.cinnamon.desktop.background", "picture-options", "'wallpaper'"}));
    EXPECT_EQ(m_runner.calls[1].arguments,
              QStringList({"set", "org.cinnamon.desktop.background", "picture-uri", "'" + BmpUrl() + "'"}));
    EXPECT_FALSE(m_runner.calls[1].note.isEmpty());

    m_runner.calls.clear();
    auto mate = Make({{"XDG_CURRENT_DESKTOP", "MATE"}});
    EXPECT_TRUE(SetAndWait(*mate, Tile(4)).WallpaperSet());
    ASSERT_EQ(m_runner.calls.size(), 3u);
    EXPECT_EQ(m_runner.calls[0].arguments, QStringList({"set", "org.mate.background", "picture-options", "'wallpaper'"}));
    EXPECT_EQ(m_runner.calls[1].arguments, QStringList({"set", "org.mate.background", "picture-filename", "'" + Bmp() + "'"}));
}

TEST_F(DesktopWallpaperTest, GSettingsValuesAreQuoted)
{
    EXPECT_EQ(GVariantString("/a/it's \\ here"), "'/a/it\\'s \\\\ here'");
}

// One script, after the file is written: no call before it that could show
// the default wallpaper (every 3 s in random desktop).
TEST_F(DesktopWallpaperTest, PlasmaOneScriptAfterTheFileIsWritten)
{
    m_runner.available = {"qdbus", "qdbus6", "dbus-send"};
    auto wallpaper = Make({{"XDG_CURRENT_DESKTOP", "KDE"}});
    for (QRgb colour : {5u, 6u}) {
        m_runner.calls.clear();
        EXPECT_TRUE(SetAndWait(*wallpaper, Tile(colour)).WallpaperSet());
        ASSERT_EQ(m_runner.calls.size(), 1u);
        const auto& call = m_runner.calls[0];
        EXPECT_EQ(call.program, "qdbus6");   // Plasma 6's tool first
        ASSERT_EQ(call.arguments.size(), 4);
        EXPECT_EQ(call.arguments.mid(0, 3),
                  QStringList({"org.kde.plasmashell", "/PlasmaShell", "org.kde.PlasmaShell.evaluateScript"}));
        EXPECT_EQ(call.note, HashOf(Bmp()));   // this call's file, already written
        const QString script = call.arguments[3];
        EXPECT_TRUE(script.contains("desktops()"));
        EXPECT_TRUE(script.contains("d.wallpaperPlugin = \"org.kde.image\""));
        const qsizetype mode = script.indexOf("d.writeConfig(\"FillMode\", 3)");
        const qsizetype image = script.lastIndexOf("d.writeConfig(\"Image\", ");
        ASSERT_GE(mode, 0);
        EXPECT_LT(mode, image);
        EXPECT_EQ(script.mid(image), "d.writeConfig(\"Image\", \"" + BmpUrl() + "\"); }") << script.toStdString();
    }
}

TEST_F(DesktopWallpaperTest, PlasmaFallsBackToDbusSendWaitingForTheReply)
{
    m_runner.available = {"dbus-send"};
    auto wallpaper = Make({{"XDG_CURRENT_DESKTOP", "KDE"}});
    SetAndWait(*wallpaper, Tile(6));
    ASSERT_EQ(m_runner.calls.size(), 1u);
    EXPECT_EQ(m_runner.calls[0].program, "dbus-send");
    EXPECT_EQ(m_runner.calls[0].arguments,
              QStringList({"--session", "--type=method_call", "--print-reply", "--dest=org.kde.plasmashell",
                           "/PlasmaShell", "org.kde.PlasmaShell.evaluateScript",
                           "string:" + CPlasmaWallpaperSetter::Script(Bmp())}));
}

TEST_F(DesktopWallpaperTest, PlasmaScriptQuotesThePath)
{
    EXPECT_TRUE(CPlasmaWallpaperSetter::Script("/a/b\"c.bmp").contains("\"file:///a/b%22c.bmp\""));
}

TEST_F(DesktopWallpaperTest, XfceEveryMonitorAndWorkspaceTiledThenResetAndSet)
{
    m_runner.allAvailable = true;
    m_runner.reply = [](const CFakeRunner::CCall& call) {
        CProcessResult result{EStatus::Exited, 0, {}, {}};
        if (call.arguments.contains("-l"))
            result.output = "/backdrop/screen0/monitorHDMI-1/workspace0/color-style\n"
                            "/backdrop/screen0/monitorHDMI-1/workspace0/last-image\n"
                            "/backdrop/screen0/monitorHDMI-1/workspace1/last-image\n"
                            "/backdrop/screen0/monitoreDP-1/workspace0/last-image\n"
                            "/desktop-icons/style\n";
        return result;
    };
    auto wallpaper = Make({{"XDG_CURRENT_DESKTOP", "XFCE"}});
    EXPECT_TRUE(SetAndWait(*wallpaper, Tile(7)).WallpaperSet());
    const QStringList backdrops = {"/backdrop/screen0/monitorHDMI-1/workspace0",
                                   "/backdrop/screen0/monitorHDMI-1/workspace1",
                                   "/backdrop/screen0/monitoreDP-1/workspace0"};
    std::vector<QStringList> expected = {{"-c", "xfce4-desktop", "-l"}};
    for (const QString& b : backdrops)
        expected.push_back({"-c", "xfce4-desktop", "-p", b + "/image-style", "-n", "-t", "int", "-s", "2"});
    for (const QString& b : backdrops) {
        expected.push_back({"-c", "xfce4-desktop", "-p", b + "/last-image", "-r"});
        expected.push_back({"-c", "xfce4-desktop", "-p", b + "/last-image", "-n", "-t", "string", "-s", Bmp()});
    }
    ASSERT_EQ(m_runner.calls.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(m_runner.calls[i].program, "xfconf-query");
        EXPECT_EQ(m_runner.calls[i].arguments, expected[i]);
        EXPECT_EQ(m_runner.calls[i].note.isEmpty(), i <= std::size_t(backdrops.size()));   // written after the styles
    }
}

TEST_F(DesktopWallpaperTest, XfceWithoutBackdropsUsesTheFirstMonitorAndAFailedResetIsNoFailure)
{
    m_runner.allAvailable = true;
    m_runner.reply = [](const CFakeRunner::CCall& call) {
        // The channel and the property are not there yet.
        const bool fails = call.arguments.contains("-l") || call.arguments.contains("-r");
        return CProcessResult{EStatus::Exited, fails ? 1 : 0, {}, {}};
    };
    auto wallpaper = Make({{"XDG_CURRENT_DESKTOP", "XFCE"}});
    EXPECT_TRUE(SetAndWait(*wallpaper, Tile(8)).WallpaperSet());
    ASSERT_EQ(m_runner.calls.size(), 4u);
    EXPECT_EQ(m_runner.calls[1].arguments[3], "/backdrop/screen0/monitor0/workspace0/image-style");
    EXPECT_EQ(m_runner.calls[3].arguments.last(), Bmp());
}

TEST_F(DesktopWallpaperTest, LxqtOneCallThenTheTiledModeIsStoredInEveryProfile)
{
    m_runner.allAvailable = true;
    const QString config = m_dir.filePath("config");
    const QString lxqt = config + "/pcmanfm-qt/lxqt/settings.conf";
    const QString other = config + "/pcmanfm-qt/default/settings.conf";
    ASSERT_TRUE(QDir().mkpath(QFileInfo(lxqt).path()));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(other).path()));
    {
        QFile file(lxqt);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Behavior]\nWallpaperMode=keep\n\n[Desktop]\nWallpaper=/old.png\nWallpaperMode=stretch\n\n[System]\nX=1\n");
        QFile second(other);
        ASSERT_TRUE(second.open(QIODevice::WriteOnly));
        second.write("[System]\nX=1\n");   // no desktop in this profile
    }
    QProcessEnvironment environment;
    environment.insert("XDG_CURRENT_DESKTOP", "LXQt");
    environment.insert("XDG_CONFIG_HOME", config);
    CDesktopWallpaper wallpaper(m_runner, environment, m_dir.filePath("data"));
    m_runner.observe = [this] { return QString::fromLatin1(HashOf(Bmp())); };
    EXPECT_TRUE(SetAndWait(wallpaper, Tile(9)).WallpaperSet());
    ASSERT_EQ(m_runner.calls.size(), 1u);
    EXPECT_EQ(m_runner.calls[0].program, "pcmanfm-qt");
    EXPECT_EQ(m_runner.calls[0].arguments, QStringList({"--set-wallpaper", Bmp(), "--wallpaper-mode", "tile"}));
    EXPECT_FALSE(m_runner.calls[0].note.isEmpty());
    QFile file(lxqt);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              "[Behavior]\nWallpaperMode=keep\n\n[Desktop]\nWallpaper=/old.png\nWallpaperMode=tile\n\n[System]\nX=1\n");
    QFile untouched(other);
    ASSERT_TRUE(untouched.open(QIODevice::ReadOnly));
    EXPECT_EQ(untouched.readAll(), "[System]\nX=1\n");

    // pcmanfm-qt failing: its problem, and the settings stay as they are.
    m_runner.reply = [](const CFakeRunner::CCall&) { return CProcessResult{EStatus::Exited, 2, {}, "no desktop"}; };
    const CWallpaperResult failed = SetAndWait(wallpaper, Tile(10));
    EXPECT_EQ(failed.problem, "pcmanfm-qt ended with exit code 2: no desktop");
}

// A settings file kept elsewhere and linked in (a dotfiles folder), private
// to its owner and with a second name: the tiled mode reaches the file the
// link leads to, the link stays a link, and mode and hard link are kept.
TEST_F(DesktopWallpaperTest, LxqtSettingsKeepTheirLinksAndMode)
{
    m_runner.allAvailable = true;
    const QString config = m_dir.filePath("config");
    const QString link = config + "/pcmanfm-qt/lxqt/settings.conf";
    const QString kept = m_dir.filePath("dotfiles/pcmanfm-qt.conf");
    const QString twin = m_dir.filePath("dotfiles/twin.conf");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(link).path()));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(kept).path()));
    {
        QFile file(kept);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Desktop]\nWallpaperMode=stretch\n");
    }
    ASSERT_TRUE(QFile::setPermissions(kept, QFile::ReadOwner | QFile::WriteOwner));
    ASSERT_TRUE(QFile::link(kept, link));
    ASSERT_EQ(::link(QFile::encodeName(kept).constData(), QFile::encodeName(twin).constData()), 0);
    QProcessEnvironment environment;
    environment.insert("XDG_CURRENT_DESKTOP", "LXQt");
    environment.insert("XDG_CONFIG_HOME", config);
    CDesktopWallpaper wallpaper(m_runner, environment, m_dir.filePath("data"));
    const CWallpaperResult result = SetAndWait(wallpaper, Tile(9));
    EXPECT_TRUE(result.WallpaperSet()) << result.problem.toStdString();
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    for (const QString& name : {kept, twin}) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        EXPECT_EQ(file.readAll(), "[Desktop]\nWallpaperMode=tile\n") << name.toStdString();
    }
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(kept).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST_F(DesktopWallpaperTest, IniValueIsReplacedOrAddedWithEverythingElseKept)
{
    auto with = [](const QByteArray& ini) { return CLxqtWallpaperSetter::WithIniValue(ini, "Desktop", "Mode", "tile"); };
    EXPECT_EQ(with("[Desktop]\nMode=none\nA=1\n"), "[Desktop]\nMode=tile\nA=1\n");
    EXPECT_EQ(with("[Desktop]\nA=1\n\n[Other]\nMode=x\n"), "[Desktop]\nA=1\nMode=tile\n\n[Other]\nMode=x\n");
    EXPECT_EQ(with("[Other]\nMode=x"), "[Other]\nMode=x\n\n[Desktop]\nMode=tile\n");
    EXPECT_EQ(with(""), "[Desktop]\nMode=tile\n");
    EXPECT_EQ(with("[Desktop]\nModeX=1\n Mode = none\n"), "[Desktop]\nModeX=1\nMode=tile\n");
}

TEST_F(DesktopWallpaperTest, LxdeOneCallWithTileMode)
{
    m_runner.allAvailable = true;
    auto lxde = Make({{"XDG_CURRENT_DESKTOP", "LXDE"}});
    SetAndWait(*lxde, Tile(10));
    ASSERT_EQ(m_runner.calls.size(), 1u);
    EXPECT_EQ(m_runner.calls[0].program, "pcmanfm");
    EXPECT_EQ(m_runner.calls[0].arguments, QStringList({"--set-wallpaper", Bmp(), "--wallpaper-mode", "tile"}));
}

TEST_F(DesktopWallpaperTest, SwayGetsAQuotedPngBesideTheBmp)
{
    m_runner.allAvailable = true;
    auto wallpaper = Make({{"XDG_CURRENT_DESKTOP", "sway"}});
    const QImage tile = Tile(11);
    SetAndWait(*wallpaper, tile);
    ASSERT_EQ(m_runner.calls.size(), 1u);
    EXPECT_EQ(m_runner.calls[0].program, "swaymsg");
    EXPECT_EQ(m_runner.calls[0].arguments, QStringList({"output", "*", "bg", "\"" + Png() + "\"", "tile"}));
    EXPECT_TRUE(m_runner.calls[0].note.endsWith("+png"));
    EXPECT_EQ(QImage(Png(), "png").convertToFormat(QImage::Format_RGB32), tile);
    EXPECT_TRUE(QFile::exists(Bmp()));
}

// Our swaybg is a child process object: the one before is ended once the
// new one runs, a failed start keeps the old one, and the last one ends
// with the wallpaper service (the editor's exit).
TEST_F(DesktopWallpaperTest, OtherWlrootsCompositorsKeepOneSwaybgChildAtATime)
{
    m_runner.allAvailable = true;
    auto wallpaper = Make({{"XDG_CURRENT_DESKTOP", "Hyprland"}, {"WAYLAND_DISPLAY", "wayland-1"}});
    EXPECT_TRUE(SetAndWait(*wallpaper, Tile(12)).WallpaperSet());
    ASSERT_EQ(m_runner.calls.size(), 1u);
    EXPECT_EQ(m_runner.calls[0].program, "start swaybg");
    EXPECT_EQ(m_runner.calls[0].arguments, QStringList({"-o", "*", "-m", "tile", "-i", Png()}));
    EXPECT_TRUE(m_runner.calls[0].note.endsWith("+png"));
    EXPECT_EQ(m_runner.running, QList<qint64>{101});

    EXPECT_TRUE(SetAndWait(*wallpaper, Tile(13)).WallpaperSet());
    EXPECT_EQ(m_runner.running, QList<qint64>{102});
    EXPECT_EQ(m_runner.ended, QList<qint64>{101});

    m_runner.reply = [](const CFakeRunner::CCall&) { return CProcessResult{EStatus::Exited, 1, {}, "no layer shell"}; };
    const CWallpaperResult failed = SetAndWait(*wallpaper, Tile(14));
    EXPECT_EQ(failed.problem, "swaybg ended with exit code 1: no layer shell");
    EXPECT_EQ(m_runner.running, QList<qint64>{102});   // the last wallpaper stays

    wallpaper.reset();
    EXPECT_TRUE(m_runner.running.isEmpty());
    EXPECT_EQ(m_runner.ended, QList<qint64>({101, 102}));
}

TEST_F(DesktopWallpaperTest, PlainX11PrefersFehThenXwallpaperThenThePortal)
{
    m_runner.available = {"feh", "xwallpaper"};
    SetAndWait(*Make({{"DISPLAY", ":0"}}), Tile(14));
    ASSERT_EQ(m_runner.calls.size(), 1u);
    EXPECT_EQ(m_runner.calls[0].program, "feh");
    EXPECT_EQ(m_runner.calls[0].arguments, QStringList({"--bg-tile", Bmp()}));

    m_runner.calls.clear();
    m_runner.available = {"xwallpaper"};
    SetAndWait(*Make({{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "x11"}}), Tile(15));
    ASSERT_EQ(m_runner.calls.size(), 1u);
    EXPECT_EQ(m_runner.calls[0].program, "xwallpaper");
    EXPECT_EQ(m_runner.calls[0].arguments, QStringList({"--tile", Png()}));
    EXPECT_TRUE(m_runner.calls[0].note.endsWith("+png"));

    // Neither: the portal (no bus here), and the result says what was missing.
    m_runner.calls.clear();
    m_runner.available = {};
    const CWallpaperResult result = SetAndWait(*Make({{"DISPLAY", ":0"}}), Tile(16), {100, 60});
    EXPECT_TRUE(m_runner.calls.empty());
    EXPECT_TRUE(QFile::exists(Bmp()));
    EXPECT_FALSE(result.WallpaperSet());
    ASSERT_EQ(result.tried.size(), 2);
    EXPECT_EQ(result.tried[0], "feh, xwallpaper: not installed");
    EXPECT_TRUE(result.tried[1].startsWith("desktop portal org.freedesktop.portal.Wallpaper")) << result.tried[1].toStdString();
    EXPECT_EQ(result.problem, "There is no D-Bus session bus.");
}

// An unknown desktop under Wayland (COSMIC runs XWayland, so DISPLAY is set
// too) and Deepin never get the X root window tools, even when installed:
// the portal, with the tile repeated to the screen's size.
TEST_F(DesktopWallpaperTest, UnknownWaylandDesktopsAndDeepinGoToThePortalNotToFeh)
{
    m_runner.allAvailable = true;
    const QImage tile = Tile(17, 10, 7);
    for (const auto& session : {std::vector<std::pair<const char*, const char*>>{{"XDG_CURRENT_DESKTOP", "COSMIC"},
                                                                                 {"XDG_SESSION_TYPE", "wayland"},
                                                                                 {"WAYLAND_DISPLAY", "wayland-1"},
                                                                                 {"DISPLAY", ":1"}},
                                {{"XDG_CURRENT_DESKTOP", "Deepin"}, {"XDG_SESSION_TYPE", "x11"}, {"DISPLAY", ":0"}},
                                {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}}}) {
        QProcessEnvironment environment;
        for (const auto& [name, value] : session)
            environment.insert(name, value);
        SCOPED_TRACE(environment.toStringList().join(' ').toStdString());
        CDesktopWallpaper wallpaper(m_runner, environment, m_dir.filePath("data"));
        EXPECT_EQ(wallpaper.Desktop(), EDesktop::Other);
        QFile::remove(Screen());
        const CWallpaperResult result = SetAndWait(wallpaper, tile, {25, 16});
        EXPECT_TRUE(m_runner.calls.empty());
        EXPECT_FALSE(result.WallpaperSet());
        ASSERT_FALSE(result.tried.isEmpty());
        EXPECT_TRUE(result.tried.last().contains("org.freedesktop.portal.Wallpaper"));
        // The screen-sized image the portal is handed.
        const QImage screen = QImage(Screen()).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(screen.size(), QSize(25, 16));
        EXPECT_EQ(screen.pixel(0, 0), tile.pixel(0, 0));
        EXPECT_EQ(screen.pixel(24, 15), tile.pixel(4, 1));
    }
}

TEST_F(DesktopWallpaperTest, MissingFailingAndHangingHelpersAreReportedWithWhatWasTried)
{
    auto wallpaper = Make({{"XDG_CURRENT_DESKTOP", "MATE"}});
    CWallpaperResult missing = SetAndWait(*wallpaper, Tile(18));
    EXPECT_EQ(missing.problem, "gsettings was not found.");
    EXPECT_EQ(missing.session.desktop, EDesktop::Mate);
    EXPECT_EQ(missing.tried.size(), 2);   // the mode, then the file all the same
    EXPECT_TRUE(QFile::exists(Bmp()));
    const QString text = WallpaperFailureText(missing);
    EXPECT_TRUE(text.contains("Desktop: MATE (MATE), no graphical session.")) << text.toStdString();
    EXPECT_TRUE(text.contains("Tried:\n  gsettings set org.mate.background picture-options \"'wallpaper'\"\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("Problem: gsettings was not found.")) << text.toStdString();

    m_runner.allAvailable = true;
    m_runner.reply = [](const CFakeRunner::CCall& call) {
        if (call.arguments.contains("picture-filename"))
            return CProcessResult{EStatus::Exited, 1, {}, "No such schema \"org.mate.background\"\nmore\n"};
        return CProcessResult{EStatus::Exited, 0, {}, {}};
    };
    EXPECT_EQ(SetAndWait(*wallpaper, Tile(19)).problem,
              "gsettings ended with exit code 1: No such schema \"org.mate.background\"");

    m_runner.reply = [](const CFakeRunner::CCall&) { return CProcessResult{EStatus::TimedOut, -1, {}, {}}; };
    EXPECT_EQ(SetAndWait(*wallpaper, Tile(20)).problem, "gsettings did not finish within 3 s and was stopped.");

    m_runner.reply = [](const CFakeRunner::CCall&) { return CProcessResult{EStatus::Crashed, -1, {}, {}}; };
    EXPECT_EQ(SetAndWait(*wallpaper, Tile(21)).problem, "gsettings crashed.");
}

TEST_F(DesktopWallpaperTest, FailedSaveIsReportedAndTheDesktopStillAsked)
{
    // The data folder cannot be made: a plain file is in its way.
    QFile blocker(m_dir.filePath("data"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    m_runner.allAvailable = true;
    auto wallpaper = Make({{"XDG_CURRENT_DESKTOP", "GNOME"}});
    const CWallpaperResult result = SetAndWait(*wallpaper, Tile(17));
    EXPECT_EQ(result.saveStatus, kStatusPathNotFound);
    ASSERT_EQ(m_runner.calls.size(), 4u);
    EXPECT_EQ(m_runner.calls[1].arguments[2], "picture-uri");
    m_runner.available.clear();
    m_runner.allAvailable = false;
    const QString text = WallpaperFailureText(SetAndWait(*wallpaper, Tile(18)));
    EXPECT_TRUE(text.endsWith("The image could not be written to:\n" + QDir::toNativeSeparators(Bmp())))
        << text.toStdString();
}

// Set returns at once; a request made while one runs waits for it, and of
// several waiting only the newest is carried out.
TEST_F(DesktopWallpaperTest, NothingWaitsForAHelperAndRequestsQueueOneDeep)
{
    m_runner.allAvailable = true;
    m_runner.holdAnswers = true;
    auto wallpaper = Make({{"XDG_CURRENT_DESKTOP", "GNOME"}});
    QStringList done;
    auto record = [&done](const char* name) {
        return [&done, name](const CWallpaperResult& r) { done << QString(name) + (r.superseded ? " superseded" : ""); };
    };
    wallpaper->Set({Tile(1), {}}, record("first"));
    EXPECT_TRUE(wallpaper->IsBusy());
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_runner.Held() == 1; }, 2000));   // the mode step, unanswered
    wallpaper->Set({Tile(2), {}}, record("second"));
    wallpaper->Set({Tile(3), {}}, record("third"));
    QTest::qWait(50);
    EXPECT_EQ(done, QStringList{"second superseded"});
    EXPECT_EQ(m_runner.calls.size(), 1u);   // nothing else started meanwhile
    EXPECT_TRUE(m_runner.calls[0].note.isEmpty());

    // Answer everything until both are through.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        m_runner.Release();
        return done.size() == 3;
    }, 5000));
    EXPECT_EQ(done, QStringList({"second superseded", "first", "third"}));
    EXPECT_FALSE(wallpaper->IsBusy());
    EXPECT_EQ(m_runner.calls.size(), 8u);   // each: mode, picture, dark picture, read-back
    EXPECT_EQ(QImage(Bmp()).convertToFormat(QImage::Format_RGB32), Tile(3));
}

namespace {

class StalledBusDesktops : public DesktopWallpaperTest, public ::testing::WithParamInterface<const char*> {};

} // namespace

TEST_P(StalledBusDesktops, FailAtOnceNamingTheBusAndStillWriteTheFile)
{
    // A bus that takes the connection and never answers: no helper is
    // started (each would hang on it), the step fails within the bus's
    // short wait, naming it.
    quorrel::test::CStalledBus bus(m_dir.filePath("stalled").toStdString());
    ASSERT_TRUE(bus.Listening());
    m_runner.allAvailable = true;
    const std::string address = bus.Address();
    auto wallpaper = Make({{"XDG_CURRENT_DESKTOP", GetParam()}, {"DBUS_SESSION_BUS_ADDRESS", address.c_str()}});
    QElapsedTimer timer;
    timer.start();
    const CWallpaperResult result = SetAndWait(*wallpaper, Tile(0x445566));
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_FALSE(result.WallpaperSet());
    EXPECT_EQ(result.problem.toStdString(),
              "The session bus (" + address + ") did not answer within 3 s.");
    EXPECT_TRUE(m_runner.calls.empty());
    EXPECT_EQ(result.saveStatus, kStatusOk);
    EXPECT_TRUE(QFile::exists(Bmp()));
}

INSTANTIATE_TEST_SUITE_P(DesktopWallpaperTest, StalledBusDesktops,
                         ::testing::Values("GNOME", "X-Cinnamon", "MATE", "XFCE", "KDE"));

TEST_F(DesktopWallpaperTest, ADesktopWithoutTheBusIsNotHeldUpByIt)
{
    quorrel::test::CStalledBus bus(m_dir.filePath("stalled").toStdString());
    m_runner.allAvailable = true;
    const std::string address = bus.Address();
    auto wallpaper = Make({{"XDG_CURRENT_DESKTOP", "LXDE"}, {"DBUS_SESSION_BUS_ADDRESS", address.c_str()}});
    QElapsedTimer timer;
    timer.start();
    const CWallpaperResult result = SetAndWait(*wallpaper, Tile(0x778899));
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_TRUE(result.WallpaperSet()) << result.problem.toStdString();
    ASSERT_EQ(m_runner.calls.size(), 1u);
    EXPECT_EQ(m_runner.calls[0].program, "pcmanfm");
}

TEST_F(DesktopWallpaperTest, ASettingThatReadsBackUnchangedIsAFailure)
{
    // gsettings ended with 0 and said nothing, but the store still holds
    // the old values: the wallpaper was not set.
    m_runner.allAvailable = true;
    m_runner.reply = [](const CFakeRunner::CCall& call) {
        CProcessResult result{EStatus::Exited, 0, {}, {}};
        if (call.arguments.value(0) == "list-recursively")
            result.output = "org.mate.background picture-options 'zoom'\n"
                            "org.mate.background picture-filename '/usr/share/backgrounds/old.jpg'\n";
        return result;
    };
    auto wallpaper = Make({{"XDG_CURRENT_DESKTOP", "MATE"}});
    const CWallpaperResult result = SetAndWait(*wallpaper, Tile(0x203040));
    EXPECT_FALSE(result.WallpaperSet());
    EXPECT_EQ(result.problem, "gsettings did not store picture-filename (it still reads "
                              "'/usr/share/backgrounds/old.jpg'); the settings could not be saved (is the session "
                              "bus there?)");
}

TEST(GSettingsValues, ReadBackAsGsettingsPrintsThem)
{
    const auto values = CGSettingsWallpaperSetter::ParseSettingsList(
        "org.gnome.desktop.background picture-uri 'file:///a%20b.bmp'\n"
        "org.gnome.desktop.background picture-options 'wallpaper'\n"
        "org.gnome.desktop.background primary-color '#023c88'\nbroken\n");
    EXPECT_EQ(values.size(), 3);
    EXPECT_EQ(values.value("picture-uri"), "'file:///a%20b.bmp'");
    for (const char* text : {"plain", "it's", "back\\slash", "\"quoted\""})
        EXPECT_EQ(CGSettingsWallpaperSetter::GVariantText(GVariantString(text)), text) << text;
    EXPECT_EQ(CGSettingsWallpaperSetter::GVariantText("\"it's\""), "it's");   // gsettings' own quoting of a '
    EXPECT_EQ(CGSettingsWallpaperSetter::GVariantText("@as []"), "@as []");
}

TEST_F(DesktopWallpaperTest, GsettingsThatCouldNotStoreTheValueIsAFailure)
{
    // Without a session bus, gsettings ends with 0 and only says on stderr
    // that dconf did not store anything.
    m_runner.allAvailable = true;
    m_runner.reply = [](const CFakeRunner::CCall&) {
        return CProcessResult{EStatus::Exited, 0, {},
                              "\n(process:4242): dconf-WARNING **: 18:27:58.123: failed to commit changes to dconf: "
                              "Could not connect: No such file or directory\n"};
    };
    auto wallpaper = Make({{"XDG_CURRENT_DESKTOP", "GNOME"}});
    const CWallpaperResult result = SetAndWait(*wallpaper, Tile(0x102030));
    EXPECT_FALSE(result.WallpaperSet());
    EXPECT_EQ(result.problem, "gsettings did not store the setting: failed to commit changes to dconf: Could not "
                              "connect: No such file or directory");
    EXPECT_TRUE(WallpaperFailureText(result).contains(result.problem));
}
