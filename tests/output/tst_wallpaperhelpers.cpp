// The real process runner and the setters against fake helper programs on
// PATH: what each desktop's helpers are really called with, in which order
// relative to writing the file, and that nothing waits for them. No real
// desktop is touched: PATH holds only the fakes.

#include "QtPrinting.h"

#include "output/DesktopWallpaper.h"
#include "output/ErrorMessage.h"
#include "output/PlasmaWallpaperSetter.h"
#include "output/ProcessRunner.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include <signal.h>

using namespace quorrel::output;
using EStatus = CProcessResult::EStatus;

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

    // Runs `program` and waits for its result (the event loop runs).
    CProcessResult RunAndWait(IProcessRunner& runner, const QString& program, const QStringList& arguments)
    {
        std::optional<CProcessResult> result;
        runner.Start(program, arguments, &m_context, [&](const CProcessResult& r) { result = r; });
        EXPECT_FALSE(result.has_value());   // never inside Start
        EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 10000));
        return result.value_or(CProcessResult{});
    }

    CWallpaperResult SetOn(const char* desktop)
    {
        QProcessEnvironment environment;
        environment.insert("XDG_CURRENT_DESKTOP", desktop);
        CDesktopWallpaper wallpaper(m_runner, environment, m_data.path());
        QImage tile(40, 25, QImage::Format_RGB32);
        tile.fill(0x336699);
        std::optional<CWallpaperResult> result;
        wallpaper.Set({tile, {}}, [&](const CWallpaperResult& r) { result = r; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 10000));
        return result.value_or(CWallpaperResult{});
    }

    QString Log() const { return m_bin.filePath("calls.log"); }
    QString Bmp() const { return m_data.filePath("Quorrel Wallpaper.bmp"); }

    QTemporaryDir m_bin;
    QTemporaryDir m_data;
    QByteArray m_oldPath;
    QObject m_context;
    CProcessRunner m_runner{5000};
};

bool ProcessExists(qint64 pid)
{
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) == 0;
}

} // namespace

TEST_F(WallpaperHelpersTest, ArgumentsReachTheProgramVerbatimWithoutAShell)
{
    Fake("echoargs");
    const QStringList arguments = {"a b", "'q'", "$HOME", "x;y", "*", "`id`", ""};
    EXPECT_TRUE(RunAndWait(m_runner, "echoargs", arguments).Succeeded());
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0], QStringList({"echoargs", "nofile"}) + arguments);
}

TEST_F(WallpaperHelpersTest, RunnerReportsExitCodeOutputErrorsAndMissingPrograms)
{
    Fake("fails", "echo some output\necho 'the reason' >&2\nexit 3\n");
    const CProcessResult result = RunAndWait(m_runner, "fails", {});
    EXPECT_EQ(result.status, EStatus::Exited);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.output, "some output\n");
    EXPECT_EQ(result.Problem("fails", 3000), "fails ended with exit code 3: the reason");
    EXPECT_TRUE(m_runner.IsAvailable("fails"));
    EXPECT_FALSE(m_runner.IsAvailable("gsettings"));
    EXPECT_EQ(RunAndWait(m_runner, "gsettings", {"set"}).status, EStatus::NotFound);

    Fake("crashes", "kill -KILL $$\n");
    EXPECT_EQ(RunAndWait(m_runner, "crashes", {}).status, EStatus::Crashed);
}

// Start returns while the helper still runs, the event loop goes on, and a
// helper that hangs is stopped after the time-out.
TEST_F(WallpaperHelpersTest, HangingHelperNeitherBlocksNorOutlivesTheTimeOut)
{
    Fake("gsettings", "exec /bin/sleep 30\n");
    CProcessRunner runner(400);
    QElapsedTimer clock;
    clock.start();
    std::optional<CProcessResult> result;
    runner.Start("gsettings", {"set"}, &m_context, [&](const CProcessResult& r) { result = r; });
    EXPECT_LT(clock.elapsed(), 300);
    // The interface keeps handling events while it runs.
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    ASSERT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 10000));
    EXPECT_GE(ticks, 5);
    EXPECT_EQ(result->status, EStatus::TimedOut);
    EXPECT_EQ(result->Problem("gsettings", 400), "gsettings did not finish within 0.4 s and was stopped.");
    EXPECT_LT(clock.elapsed(), 10000);
}

TEST_F(WallpaperHelpersTest, NoAnswerReachesAContextThatIsGone)
{
    Fake("slow", "exec /bin/sleep 0.2\n");
    bool called = false;
    {
        QObject context;
        m_runner.Start("slow", {}, &context, [&](const CProcessResult&) { called = true; });
    }
    QTest::qWait(600);
    EXPECT_FALSE(called);
}

// A child process keeps running until its object is destroyed; one that ends
// at once is reported as such.
TEST_F(WallpaperHelpersTest, ChildProcessRunsUntilItsObjectEnds)
{
    Fake("daemon", "exec /bin/sleep 30\n");
    CProcessRunner runner(3000, 100);
    std::optional<CProcessResult> started;
    auto child = runner.StartChild("daemon", {"-i", "x"}, &m_context, [&](const CProcessResult& r) { started = r; });
    EXPECT_FALSE(started.has_value());
    ASSERT_TRUE(QTest::qWaitFor([&] { return started.has_value(); }, 5000));
    EXPECT_EQ(started->status, EStatus::Running);
    EXPECT_TRUE(child->IsRunning());
    const qint64 pid = child->ProcessId();
    EXPECT_TRUE(ProcessExists(pid));
    child.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ProcessExists(pid); }, 5000));

    Fake("quitter", "echo cannot connect >&2\nexit 1\n");
    started.reset();
    auto quitter = runner.StartChild("quitter", {}, &m_context, [&](const CProcessResult& r) { started = r; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return started.has_value(); }, 5000));
    EXPECT_EQ(started->status, EStatus::Exited);
    EXPECT_EQ(started->Problem("quitter", 3000), "quitter ended with exit code 1: cannot connect");

    started.reset();
    auto missing = runner.StartChild("swaybg", {}, &m_context, [&](const CProcessResult& r) { started = r; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return started.has_value(); }, 5000));
    EXPECT_EQ(started->status, EStatus::NotFound);
}

TEST_F(WallpaperHelpersTest, Gnome)
{
    // A gsettings that keeps what it is given and lists it back (with the
    // shell's own commands: PATH holds only the fakes).
    Fake("gsettings", "case \"$1\" in\n"
                      "  set) echo \"$2 $3 $4\" >> \"$0.store\" ;;\n"
                      "  list-recursively) while read -r line; do\n"
                      "      case \"$line\" in \"$2 \"*) echo \"$line\" ;; esac\n"
                      "    done < \"$0.store\" ;;\n"
                      "esac\n");
    const CWallpaperResult result = SetOn("GNOME");
    ASSERT_EQ(result.saveStatus, kStatusOk);
    EXPECT_TRUE(result.WallpaperSet()) << result.problem.toStdString();
    const QString uri = "'" + QString::fromLatin1(QUrl::fromLocalFile(Bmp()).toEncoded()) + "'";
    const std::vector<QStringList> expected = {
        {"gsettings", "nofile", "set", "org.gnome.desktop.background", "picture-options", "'wallpaper'"},
        {"gsettings", "file", "set", "org.gnome.desktop.background", "picture-uri", uri},
        {"gsettings", "file", "set", "org.gnome.desktop.background", "picture-uri-dark", uri},
        {"gsettings", "file", "list-recursively", "org.gnome.desktop.background"},
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
    ASSERT_TRUE(SetOn("XFCE").WallpaperSet());
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

TEST_F(WallpaperHelpersTest, MissingHelpersStillWriteTheFileAndSaySo)
{
    for (const char* desktop : {"GNOME", "KDE", "XFCE"}) {
        const CWallpaperResult result = SetOn(desktop);
        EXPECT_EQ(result.saveStatus, kStatusOk);
        EXPECT_FALSE(result.WallpaperSet()) << desktop;
        EXPECT_TRUE(result.problem.endsWith(" was not found.")) << result.problem.toStdString();
    }
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(QImage(Bmp()).size(), QSize(40, 25));
}
