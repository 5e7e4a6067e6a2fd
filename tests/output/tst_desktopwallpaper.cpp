#include "QtPrinting.h"

#include "output/DesktopWallpaper.h"
#include "output/ErrorMessage.h"
#include "output/PlasmaWallpaperSetter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace quorrel::output;

namespace {

struct CCall {
    QString program;
    QStringList arguments;
    QByteArray bmpHash;   // the wallpaper file's contents when the call ran; empty if absent
    bool pngPresent = false;
};

// Records every helper call with the state of the wallpaper files at that
// moment, so the order of steps shows.
class CRecordingRunner final : public IProcessRunner {
public:
    QSet<QString> available;
    std::vector<CCall> calls;
    std::function<CProcessResult(const CCall&)> reply;
    CWallpaperFiles watched;

    bool IsAvailable(const QString& program) override { return available.contains(program); }

    CProcessResult Run(const QString& program, const QStringList& arguments) override
    {
        calls.push_back(Record(program, arguments));
        return reply ? reply(calls.back()) : CProcessResult{true, 0, {}};
    }
    qint64 StartDetached(const QString& program, const QStringList& arguments) override
    {
        calls.push_back(Record("start " + program, arguments));
        return ++m_lastPid;
    }
    void Terminate(qint64 pid) override { calls.push_back(Record("terminate", {QString::number(pid)})); }

private:
    CCall Record(const QString& program, const QStringList& arguments) const
    {
        CCall call{program, arguments, {}, QFile::exists(watched.png)};
        QFile bmp(watched.bmp);
        if (bmp.open(QIODevice::ReadOnly))
            call.bmpHash = QCryptographicHash::hash(bmp.readAll(), QCryptographicHash::Sha1);
        return call;
    }
    qint64 m_lastPid = 100;
};

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
    return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1)
                                          : QByteArray();
}

class DesktopWallpaperTest : public ::testing::Test {
protected:
    // A wallpaper service for a session with these variables, writing into
    // the test's folder.
    std::unique_ptr<CDesktopWallpaper> Make(std::initializer_list<std::pair<const char*, const char*>> variables)
    {
        QProcessEnvironment environment;
        for (const auto& [name, value] : variables)
            environment.insert(name, value);
        auto wallpaper = std::make_unique<CDesktopWallpaper>(m_runner, environment, m_dir.filePath("data"));
        m_runner.watched = wallpaper->Files();
        return wallpaper;
    }
    QString Bmp() const { return m_dir.filePath("data/Quorrel Wallpaper.bmp"); }
    QString Png() const { return m_dir.filePath("data/Quorrel Wallpaper.png"); }
    QString BmpUrl() const { return "file://" + QString(QUrl::toPercentEncoding(Bmp(), "/")); }

    QTemporaryDir m_dir;
    CRecordingRunner m_runner;
};

} // namespace

TEST_F(DesktopWallpaperTest, FileIsTheTileAtItsNativeSizeInTheDataFolder)
{
    auto wallpaper = Make({});
    EXPECT_EQ(wallpaper->Files().bmp, Bmp());
    const QImage tile = Tile(0x123456);
    EXPECT_EQ(wallpaper->Set(tile), kStatusOk);
    const QImage written(Bmp(), "bmp");
    EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32), tile);
    EXPECT_TRUE(m_runner.calls.empty());   // no desktop: only the file
    EXPECT_FALSE(QFile::exists(Png()));

    const QImage second = Tile(0xabcdef, 5, 7);   // another document: same file, overwritten
    EXPECT_EQ(wallpaper->Set(second), kStatusOk);
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
    auto wallpaper = Make({{"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}});
    ASSERT_EQ(wallpaper->Set(Tile(1)), kStatusOk);
    const QByteArray first = HashOf(Bmp());
    const QString uri = "'" + BmpUrl() + "'";
    ASSERT_EQ(m_runner.calls.size(), 3u);
    const QString schema = "org.gnome.desktop.background";
    EXPECT_EQ(m_runner.calls[0].program, "gsettings");
    EXPECT_EQ(m_runner.calls[0].arguments, QStringList({"set", schema, "picture-options", "'wallpaper'"}));
    EXPECT_TRUE(m_runner.calls[0].bmpHash.isEmpty());
    EXPECT_EQ(m_runner.calls[1].arguments, QStringList({"set", schema, "picture-uri", uri}));
    EXPECT_EQ(m_runner.calls[1].bmpHash, first);
    EXPECT_EQ(m_runner.calls[2].arguments, QStringList({"set", schema, "picture-uri-dark", uri}));

    // The next tick: the old file is still there while the mode is set.
    m_runner.calls.clear();
    ASSERT_EQ(wallpaper->Set(Tile(2)), kStatusOk);
    ASSERT_EQ(m_runner.calls.size(), 3u);
    EXPECT_EQ(m_runner.calls[0].bmpHash, first);
    EXPECT_NE(m_runner.calls[1].bmpHash, first);
    EXPECT_EQ(m_runner.calls[1].bmpHash, HashOf(Bmp()));
}

TEST_F(DesktopWallpaperTest, CinnamonAndMate)
{
    auto cinnamon = Make({{"XDG_CURRENT_DESKTOP", "X-Cinnamon"}});
    cinnamon->Set(Tile(3));
    ASSERT_EQ(m_runner.calls.size(), 2u);
    EXPECT_EQ(m_runner.calls[0].arguments,
              QStringList({"set", "org.cinnamon.desktop.background", "picture-options", "'wallpaper'"}));
    EXPECT_EQ(m_runner.calls[1].arguments,
              QStringList({"set", "org.cinnamon.desktop.background", "picture-uri", "'" + BmpUrl() + "'"}));
    EXPECT_FALSE(m_runner.calls[1].bmpHash.isEmpty());

    m_runner.calls.clear();
    auto mate = Make({{"XDG_CURRENT_DESKTOP", "MATE"}});
    mate->Set(Tile(4));
    ASSERT_EQ(m_runner.calls.size(), 2u);
    EXPECT_EQ(m_runner.calls[0].arguments, QStringList({"set", "org.mate.background", "picture-options", "'wallpaper'"}));
    EXPECT_EQ(m_runner.calls[1].arguments, QStringList({"set", "org.mate.background", "picture-filename", "'" + Bmp() + "'"}));
}

TEST_F(DesktopWallpaperTest, GSettingsValuesAreQuoted)
{
    EXPECT_EQ(GVariantString("/a/it's \\ here"), "'/a/it\\'s \\\\ here'");
}

TEST_F(DesktopWallpaperTest, PlasmaTiledAndClearedThenLoadedOverQdbus)
{
    m_runner.available = {"qdbus", "qdbus6", "dbus-send"};
    auto wallpaper = Make({{"XDG_CURRENT_DESKTOP", "KDE"}});
    wallpaper->Set(Tile(5));
    ASSERT_EQ(m_runner.calls.size(), 2u);
    const QStringList head = {"org.kde.plasmashell", "/PlasmaShell", "org.kde.PlasmaShell.evaluateScript"};
    for (const CCall& call : m_runner.calls) {
        EXPECT_EQ(call.program, "qdbus6");   // Plasma 6's tool first
        ASSERT_EQ(call.arguments.size(), 4);
        EXPECT_EQ(call.arguments.mid(0, 3), head);
    }
    const QString tiled = m_runner.calls[0].arguments[3];
    EXPECT_TRUE(tiled.contains("desktops()"));
    EXPECT_TRUE(tiled.contains("d.wallpaperPlugin = \"org.kde.image\""));
    EXPECT_TRUE(tiled.contains("d.writeConfig(\"FillMode\", 3)"));
    EXPECT_TRUE(tiled.contains("d.writeConfig(\"Image\", \"\")"));   // forget the old picture
    EXPECT_TRUE(m_runner.calls[0].bmpHash.isEmpty());
    const QString load = m_runner.calls[1].arguments[3];
    EXPECT_TRUE(load.contains("d.writeConfig(\"Image\", \"" + BmpUrl() + "\")")) << load.toStdString();
    EXPECT_FALSE(load.contains("FillMode"));
    EXPECT_FALSE(m_runner.calls[1].bmpHash.isEmpty());
}

TEST_F(DesktopWallpaperTest, PlasmaFallsBackToDbusSend)
{
    auto wallpaper = Make({{"XDG_CURRENT_DESKTOP", "KDE"}});
    wallpaper->Set(Tile(6));
    ASSERT_EQ(m_runner.calls.size(), 2u);
    EXPECT_EQ(m_runner.calls[1].program, "dbus-send");
    EXPECT_EQ(m_runner.calls[1].arguments,
              QStringList({"--session", "--type=method_call", "--dest=org.kde.plasmashell", "/PlasmaShell",
                           "org.kde.PlasmaShell.evaluateScript",
                           "string:" + CPlasmaWallpaperSetter::LoadScript(Bmp())}));
}

TEST_F(DesktopWallpaperTest, PlasmaScriptQuotesThePath)
{
    EXPECT_TRUE(CPlasmaWallpaperSetter::LoadScript("/a/b\"c.bmp").contains("\"file:///a/b%22c.bmp\""));
}

TEST_F(DesktopWallpaperTest, XfceEveryMonitorAndWorkspaceTiledThenResetAndSet)
{
    m_runner.reply = [](const CCall& call) {
        CProcessResult result{true, 0, {}};
        if (call.arguments.contains("-l"))
            result.output = "/backdrop/screen0/monitorHDMI-1/workspace0/color-style\n"
                            "/backdrop/screen0/monitorHDMI-1/workspace0/last-image\n"
                            "/backdrop/screen0/monitorHDMI-1/workspace1/last-image\n"
                            "/backdrop/screen0/monitoreDP-1/workspace0/last-image\n"
                            "/desktop-icons/style\n";
        return result;
    };
    auto wallpaper = Make({{"XDG_CURRENT_DESKTOP", "XFCE"}});
    wallpaper->Set(Tile(7));
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
        EXPECT_EQ(m_runner.calls[i].bmpHash.isEmpty(), i <= std::size_t(backdrops.size()));   // written after the styles
    }
}

TEST_F(DesktopWallpaperTest, XfceWithoutBackdropsUsesTheFirstMonitor)
{
    m_runner.reply = [](const CCall&) { return CProcessResult{true, 1, {}}; };   // channel missing
    auto wallpaper = Make({{"XDG_CURRENT_DESKTOP", "XFCE"}});
    wallpaper->Set(Tile(8));
    ASSERT_EQ(m_runner.calls.size(), 4u);
    EXPECT_EQ(m_runner.calls[1].arguments[3], "/backdrop/screen0/monitor0/workspace0/image-style");
    EXPECT_EQ(m_runner.calls[3].arguments.last(), Bmp());
}

TEST_F(DesktopWallpaperTest, LxqtAndLxdeOneCallWithTileMode)
{
    auto lxqt = Make({{"XDG_CURRENT_DESKTOP", "LXQt"}});
    lxqt->Set(Tile(9));
    ASSERT_EQ(m_runner.calls.size(), 1u);
    EXPECT_EQ(m_runner.calls[0].program, "pcmanfm-qt");
    EXPECT_EQ(m_runner.calls[0].arguments, QStringList({"--set-wallpaper", Bmp(), "--wallpaper-mode", "tile"}));
    EXPECT_FALSE(m_runner.calls[0].bmpHash.isEmpty());

    m_runner.calls.clear();
    auto lxde = Make({{"XDG_CURRENT_DESKTOP", "LXDE"}});
    lxde->Set(Tile(10));
    ASSERT_EQ(m_runner.calls.size(), 1u);
    EXPECT_EQ(m_runner.calls[0].program, "pcmanfm");
}

TEST_F(DesktopWallpaperTest, SwayGetsAQuotedPngBesideTheBmp)
{
    auto wallpaper = Make({{"XDG_CURRENT_DESKTOP", "sway"}});
    const QImage tile = Tile(11);
    wallpaper->Set(tile);
    ASSERT_EQ(m_runner.calls.size(), 1u);
    EXPECT_EQ(m_runner.calls[0].program, "swaymsg");
    EXPECT_EQ(m_runner.calls[0].arguments, QStringList({"output", "*", "bg", "\"" + Png() + "\"", "tile"}));
    EXPECT_TRUE(m_runner.calls[0].pngPresent);
    EXPECT_EQ(QImage(Png(), "png").convertToFormat(QImage::Format_RGB32), tile);
    EXPECT_TRUE(QFile::exists(Bmp()));
}

TEST_F(DesktopWallpaperTest, OtherWlrootsCompositorsGetOneSwaybgAtATime)
{
    auto wallpaper = Make({{"XDG_CURRENT_DESKTOP", "Hyprland"}});
    wallpaper->Set(Tile(12));
    wallpaper->Set(Tile(13));
    ASSERT_EQ(m_runner.calls.size(), 3u);
    const QStringList args = {"-o", "*", "-m", "tile", "-i", Png()};
    EXPECT_EQ(m_runner.calls[0].program, "start swaybg");
    EXPECT_EQ(m_runner.calls[0].arguments, args);
    EXPECT_TRUE(m_runner.calls[0].pngPresent);
    EXPECT_EQ(m_runner.calls[1].program, "start swaybg");
    EXPECT_EQ(m_runner.calls[2].program, "terminate");   // the first one, after the second started
    EXPECT_EQ(m_runner.calls[2].arguments, QStringList{"101"});
}

TEST_F(DesktopWallpaperTest, PlainX11PrefersFehThenXwallpaper)
{
    m_runner.available = {"feh", "xwallpaper"};
    Make({{"DISPLAY", ":0"}})->Set(Tile(14));
    ASSERT_EQ(m_runner.calls.size(), 1u);
    EXPECT_EQ(m_runner.calls[0].program, "feh");
    EXPECT_EQ(m_runner.calls[0].arguments, QStringList({"--bg-tile", Bmp()}));

    m_runner.calls.clear();
    m_runner.available = {"xwallpaper"};
    Make({{"DISPLAY", ":0"}})->Set(Tile(15));
    ASSERT_EQ(m_runner.calls.size(), 1u);
    EXPECT_EQ(m_runner.calls[0].program, "xwallpaper");
    EXPECT_EQ(m_runner.calls[0].arguments, QStringList({"--tile", Png()}));
    EXPECT_TRUE(m_runner.calls[0].pngPresent);

    m_runner.calls.clear();
    m_runner.available = {};
    EXPECT_EQ(Make({{"DISPLAY", ":0"}})->Set(Tile(16)), kStatusOk);
    EXPECT_TRUE(m_runner.calls.empty());
    EXPECT_TRUE(QFile::exists(Bmp()));
}

TEST_F(DesktopWallpaperTest, FailedSaveIsReportedAndTheDesktopStillAsked)
{
    // The data folder cannot be made: a plain file is in its way.
    QFile blocker(m_dir.filePath("data"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    auto wallpaper = Make({{"XDG_CURRENT_DESKTOP", "GNOME"}});
    EXPECT_EQ(wallpaper->Set(Tile(17)), kStatusPathNotFound);
    ASSERT_EQ(m_runner.calls.size(), 3u);
    EXPECT_EQ(m_runner.calls[1].arguments[2], "picture-uri");
}
