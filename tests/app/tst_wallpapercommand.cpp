// Set As Wallpaper and Random Desktop in the editor: a wallpaper that could
// not be set is reported after the file is written (once per run of Random
// Desktop), and the editor never waits for the desktop.

#include "EditorFixture.h"

#include "output/DesktopWallpaper.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

using namespace quorrel;
using namespace quorrel::app;

namespace {

constexpr int kInterval = 30;

class WallpaperCommandTest : public test::ShortTimerFixture<kInterval> {
protected:
    void UseDesktop(std::initializer_list<std::pair<const char*, const char*>> variables)
    {
        QProcessEnvironment environment;
        for (const auto& [name, value] : variables)
            environment.insert(name, value);
        m_app->SetDesktopWallpaper(std::make_unique<output::CDesktopWallpaper>(helpers, environment, TempPath("data")));
    }
    // Records every message box with whether the wallpaper file was there.
    void WatchMessages()
    {
        platform::SetMessageHandler([this](const platform::MessageRequest& request) {
            messages << request.text;
            captions << request.caption;
            fileThere.push_back(QFile::exists(Bmp()));
            return platform::MsgResult::Ok;
        });
    }
    int WallpaperFailures() const
    {
        return int(messages.filter(QStringLiteral("The wallpaper could not be set.")).size());
    }
    QString Bmp() const { return TempPath("data/Quorrel Wallpaper.bmp"); }

    test::CFakeRunner helpers;
    QStringList captions;
    std::vector<bool> fileThere;
};

TEST_F(WallpaperCommandTest, WithoutADesktopTheMessageSaysSoAfterTheFileIsWritten)
{
    ASSERT_TRUE(Start());
    UseDesktop({});
    WatchMessages();
    Frame()->Action(ID_SET_AS_WALLPAPER)->trigger();
    EXPECT_TRUE(messages.isEmpty());   // not while the command runs: when the desktop has answered
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.isEmpty(); }, 5000));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(captions, QStringList{"Quorrel"});
    EXPECT_TRUE(fileThere.front());
    const QString& text = messages.front();
    EXPECT_TRUE(text.startsWith("The wallpaper could not be set.\n\nDesktop: none recognised")) << text.toStdString();
    EXPECT_TRUE(text.contains("The image is in:\n" + QDir::toNativeSeparators(Bmp()))) << text.toStdString();
}

TEST_F(WallpaperCommandTest, FailingHelperIsReportedEachTimeByTheCommandOncePerRunByRandomDesktop)
{
    ASSERT_TRUE(Start());
    helpers.allAvailable = true;
    helpers.reply = [](const test::CFakeRunner::CCall&) {
        return output::CProcessResult{output::CProcessResult::EStatus::Exited, 1, {}, "No such schema"};
    };
    UseDesktop({{"XDG_CURRENT_DESKTOP", "GNOME"}});
    WatchMessages();
    CQuorrelView* view = ActiveView();

    for (int i = 1; i <= 2; ++i) {
        Frame()->Action(ID_SET_AS_WALLPAPER)->trigger();
        ASSERT_TRUE(QTest::qWaitFor([&] { return WallpaperFailures() == i; }, 5000));
    }
    EXPECT_TRUE(messages.back().contains("Problem: gsettings ended with exit code 1: No such schema"))
        << messages.back().toStdString();

    Press(Qt::Key_F7);
    const size_t start = view->History().Size();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->History().Size() >= start + 5; }, 5000));
    EXPECT_EQ(WallpaperFailures(), 3);
    Press(Qt::Key_F7);   // stop, and run again: one more
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->IsWallpaperUpdating(); }, 5000));
    Press(Qt::Key_F7);
    const size_t again = view->History().Size();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->History().Size() >= std::min<size_t>(again + 5, 15); }, 5000));
    Press(Qt::Key_F7);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->IsWallpaperUpdating(); }, 5000));
    QApplication::processEvents();
    EXPECT_EQ(WallpaperFailures(), 4);
    EXPECT_EQ(messages.size(), 4);   // nothing else: every file was written
}

// A wallpaper set is told in the status bar, with the desktop and the file;
// a failed one leaves the idle text.
TEST_F(WallpaperCommandTest, TheStatusBarNamesTheDesktopAndTheFileOnceItIsSet)
{
    ASSERT_TRUE(Start());
    helpers.allAvailable = true;
    UseDesktop({{"XDG_CURRENT_DESKTOP", "XFCE"}});
    WatchMessages();
    EXPECT_EQ(Frame()->GetPaneText(0), "For Help, press F1");
    Frame()->Action(ID_SET_AS_WALLPAPER)->trigger();
    const QString expected = "Wallpaper set on XFCE: " + Bmp();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Frame()->GetPaneText(0) == expected; }, 5000))
        << Frame()->GetPaneText(0).toStdString();
    EXPECT_TRUE(messages.isEmpty());

    UseDesktop({});   // no desktop: the message, and no notice
    Frame()->ShowNotice(QString(), 0);
    Frame()->Action(ID_SET_AS_WALLPAPER)->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.isEmpty(); }, 5000));
    EXPECT_FALSE(Frame()->GetPaneText(0).startsWith("Wallpaper set")) << Frame()->GetPaneText(0).toStdString();
}

// While the desktop has not answered, the editor goes on (here: zooming) and
// Random Desktop makes no new image and starts no new update.
TEST_F(WallpaperCommandTest, RandomDesktopWaitsForTheDesktopWhileTheEditorGoesOn)
{
    ASSERT_TRUE(Start());
    helpers.allAvailable = true;
    helpers.holdAnswers = true;
    UseDesktop({{"XDG_CURRENT_DESKTOP", "GNOME"}});
    WatchMessages();
    CQuorrelView* view = ActiveView();
    const size_t start = view->History().Size();
    Press(Qt::Key_F7);
    ASSERT_TRUE(QTest::qWaitFor([&] { return helpers.Held() == 1; }, 5000));
    EXPECT_TRUE(view->IsWallpaperUpdating());
    const size_t first = view->History().Size();
    EXPECT_EQ(first, start + 1);

    QTest::qWait(10 * kInterval);   // many ticks fall due meanwhile
    EXPECT_EQ(view->History().Size(), first);
    EXPECT_EQ(helpers.calls.size(), 1u);
    const int zoom = view->ZoomFactor();
    Press(Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(view->ZoomFactor(), zoom + 1);

    // The desktop answers: the update completes and the ticks go on.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        helpers.Release();
        return view->History().Size() >= first + 2;
    }, 5000));
    Press(Qt::Key_F7);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        helpers.Release();
        return !view->IsWallpaperUpdating();
    }, 5000));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(QFile::exists(Bmp()));
}

} // namespace
