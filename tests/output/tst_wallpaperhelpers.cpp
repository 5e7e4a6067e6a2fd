// The wallpaper setters against fake helper programs on PATH: what each
// desktop's helpers are really called with, and in which order relative to
// writing the file. No real desktop is touched: PATH holds only the fakes.

#include "QtPrinting.h"

#include "output/DesktopWallpaper.h"
#include "output/ErrorMessage.h"
#include "output/PlasmaWallpaperSetter.h"
#include "output/ProcessRunner.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <vector>

using namespace quorrel::output;

namespace {

// Each call appends: name, "file"/"nofile" (the wallpaper's existence), the
// arguments; fields end in \037, calls in \036.
const char* const kLogger = R"(#!/bin/sh
if [ -e "$QUORREL_FAKE_WATCH" ]; then state=file; else state=nofile; fi
printf '%s\037' "${0##*/}" "$state" "$@" >> "$QUORREL_FAKE_LOG"
printf '\036' >> "$QUORREL_FAKE_LOG"
)";

class WallpaperHelpersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_oldPath = qgetenv("PATH");
        qputenv("PATH", m_bin.path().toLocal8Bit());
        qputenv("QUORREL_FAKE_LOG", Log().toLocal8Bit());
        qputenv("QUORREL_FAKE_WATCH", Bmp().toLocal8Bit());
    }
    void TearDown() override
    {
        qputenv("PATH", m_oldPath);
        qunsetenv("QUORREL_FAKE_LOG");
        qunsetenv("QUORREL_FAKE_WATCH");
    }

    void Fake(const QString& name, const QString& extra = {}) const
    {
        QFile script(m_bin.filePath(name));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(kLogger);
        script.write(extra.toLocal8Bit());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Every call so far: program, file state, arguments.
    std::vector<QStringList> Calls() const
    {
        QFile log(Log());
        std::vector<QStringList> calls;
        if (!log.open(QIODevice::ReadOnly))
            return calls;
        for (const QByteArray& record : log.readAll().split('\036')) {
            if (record.isEmpty())
                continue;
            QStringList fields = QString::fromLocal8Bit(record).split(u'\037');
            fields.removeLast();   // after the last terminator
            calls.push_back(fields);
        }
        return calls;
    }

    uint32_t SetOn(const char* desktop)
    {
        QProcessEnvironment environment;
        environment.insert("XDG_CURRENT_DESKTOP", desktop);
        CDesktopWallpaper wallpaper(m_runner, environment, m_data.path());
        QImage tile(40, 25, QImage::Format_RGB32);
        tile.fill(0x336699);
        return wallpaper.Set(tile);
    }

    QString Log() const { return m_bin.filePath("calls.log"); }
    QString Bmp() const { return m_data.filePath("Quorrel Wallpaper.bmp"); }
    QString Png() const { return m_data.filePath("Quorrel Wallpaper.png"); }

    QTemporaryDir m_bin;
    QTemporaryDir m_data;
    QByteArray m_oldPath;
    CProcessRunner m_runner{5000};
};

} // namespace

TEST_F(WallpaperHelpersTest, ArgumentsReachTheProgramVerbatimWithoutAShell)
{
    Fake("echoargs");
    const QStringList arguments = {"a b", "'q'", "$HOME", "x;y", "*", "`id`", ""};
    EXPECT_TRUE(m_runner.Run("echoargs", arguments).Succeeded());
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0], QStringList({"echoargs", "nofile"}) + arguments);
}

TEST_F(WallpaperHelpersTest, RunnerReportsExitCodeOutputAndMissingPrograms)
{
    Fake("fails", "echo some output\nexit 3\n");
    const CProcessResult result = m_runner.Run("fails", {});
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.output, "some output\n");
    EXPECT_TRUE(m_runner.IsAvailable("fails"));
    EXPECT_FALSE(m_runner.IsAvailable("gsettings"));
    EXPECT_FALSE(m_runner.Run("gsettings", {"set"}).finished);
}

TEST_F(WallpaperHelpersTest, HangingHelperIsStoppedAfterTheTimeOut)
{
    Fake("gsettings", "exec /bin/sleep 30\n");
    CProcessRunner runner(200);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(runner.Run("gsettings", {"set"}).finished);
    EXPECT_LT(clock.elapsed(), 10000);
}

TEST_F(WallpaperHelpersTest, Gnome)
{
    Fake("gsettings");
    ASSERT_EQ(SetOn("GNOME"), kStatusOk);
    const QString uri = "'" + QString::fromLatin1(QUrl::fromLocalFile(Bmp()).toEncoded()) + "'";
    const std::vector<QStringList> expected = {
        {"gsettings", "nofile", "set", "org.gnome.desktop.background", "picture-options", "'wallpaper'"},
        {"gsettings", "file", "set", "org.gnome.desktop.background", "picture-uri", uri},
        {"gsettings", "file", "set", "org.gnome.desktop.background", "picture-uri-dark", uri},
    };
    EXPECT_EQ(Calls(), expected);
}

TEST_F(WallpaperHelpersTest, PlasmaOverQdbus)
{
    Fake("qdbus");
    Fake("dbus-send");
    ASSERT_EQ(SetOn("KDE"), kStatusOk);
    const QStringList head = {"org.kde.plasmashell", "/PlasmaShell", "org.kde.PlasmaShell.evaluateScript"};
    const std::vector<QStringList> expected = {
        QStringList{"qdbus", "nofile"} + head + QStringList{CPlasmaWallpaperSetter::TiledModeScript()},
        QStringList{"qdbus", "file"} + head + QStringList{CPlasmaWallpaperSetter::LoadScript(Bmp())},
    };
    EXPECT_EQ(Calls(), expected);
}

TEST_F(WallpaperHelpersTest, Xfce)
{
    Fake("xfconf-query", "case \" $* \" in *\" -l \"*)\n"
                         "  echo /backdrop/screen0/monitorVGA-1/workspace0/last-image\n"
                         "  echo /backdrop/screen0/monitorVGA-1/workspace0/image-style\n"
                         "  echo /backdrop/screen0/monitorVGA-1/workspace1/last-image ;;\n"
                         "esac\n");
    ASSERT_EQ(SetOn("XFCE"), kStatusOk);
    const QString w0 = "/backdrop/screen0/monitorVGA-1/workspace0";
    const QString w1 = "/backdrop/screen0/monitorVGA-1/workspace1";
    const std::vector<QStringList> expected = {
        {"xfconf-query", "nofile", "-c", "xfce4-desktop", "-l"},
        {"xfconf-query", "nofile", "-c", "xfce4-desktop", "-p", w0 + "/image-style", "-n", "-t", "int", "-s", "2"},
        {"xfconf-query", "nofile", "-c", "xfce4-desktop", "-p", w1 + "/image-style", "-n", "-t", "int", "-s", "2"},
        {"xfconf-query", "file", "-c", "xfce4-desktop", "-p", w0 + "/last-image", "-r"},
        {"xfconf-query", "file", "-c", "xfce4-desktop", "-p", w0 + "/last-image", "-n", "-t", "string", "-s", Bmp()},
        {"xfconf-query", "file", "-c", "xfce4-desktop", "-p", w1 + "/last-image", "-r"},
        {"xfconf-query", "file", "-c", "xfce4-desktop", "-p", w1 + "/last-image", "-n", "-t", "string", "-s", Bmp()},
    };
    EXPECT_EQ(Calls(), expected);
}

TEST_F(WallpaperHelpersTest, MissingHelpersStillWriteTheFile)
{
    ASSERT_EQ(SetOn("GNOME"), kStatusOk);
    ASSERT_EQ(SetOn("KDE"), kStatusOk);
    ASSERT_EQ(SetOn("XFCE"), kStatusOk);
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(QImage(Bmp()).size(), QSize(40, 25));
}
