// Slide show (F6) and random desktop (F7) on a short timer: the state table,
// check marks and enabling, ticks that go on wherever the window is, one
// history entry per tick, and ticks held back while a modal window is open.

#include "EditorFixture.h"

#include "output/DesktopWallpaper.h"
#include "platform/DocTemplate.h"
#include "platform/MDIChildWnd.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTest>

using namespace quorrel;
using namespace quorrel::app;
using quorrel::test::EditorFixture;
using quorrel::test::WriteFile;

namespace {

constexpr int kInterval = 30;

class TimerModesTest : public quorrel::test::ShortTimerFixture<kInterval> {
protected:
    bool IsChecked(int id) const
    {
        Frame()->Router().UpdateActions();
        return Frame()->Action(id)->isChecked();
    }
    // Waits until the view has at least `size` history entries (the history
    // keeps 15).
    static bool WaitForHistory(const CQuorrelView* view, size_t size)
    {
        return QTest::qWaitFor([&] { return view->History().Size() >= size; }, 5000);
    }
    QString WallpaperFile() const { return TempPath("wallpaper/Quorrel Wallpaper.bmp"); }
    test::CNoHelpers noHelpers;
};

TEST_F(TimerModesTest, SlideShowTogglesWithF6AndAddsOneEntryPerTick)
{
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    ActiveDoc()->SetModifiedFlag(false);
    EXPECT_FALSE(IsChecked(ID_SLIDE_SHOW));
    EXPECT_FALSE(IsChecked(ID_RANDOM_DESKTOP));

    Press(Qt::Key_F6);
    EXPECT_TRUE(view->IsSlideShow());
    EXPECT_TRUE(view->IsTimerRunning());
    EXPECT_TRUE(IsChecked(ID_SLIDE_SHOW));
    EXPECT_TRUE(IsEnabled(ID_SLIDE_SHOW));
    ASSERT_TRUE(WaitForHistory(view, 3));
    EXPECT_TRUE(ActiveDoc()->IsModified());
    EXPECT_TRUE(view->IsRendered());
    EXPECT_FALSE(QFile::exists(WallpaperFile()));   // a slide show leaves the desktop alone

    Press(Qt::Key_F6);
    EXPECT_FALSE(view->IsSlideShow());
    EXPECT_FALSE(view->IsTimerRunning());
    EXPECT_FALSE(IsChecked(ID_SLIDE_SHOW));
    const size_t stopped = view->History().Size();
    QTest::qWait(5 * kInterval);
    EXPECT_EQ(view->History().Size(), stopped);
}

TEST_F(TimerModesTest, RandomDesktopTakesOverTheSlideShowAndSetsTheWallpaperEachTick)
{
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    Press(Qt::Key_F6);
    Press(Qt::Key_F7);
    EXPECT_FALSE(view->IsSlideShow());
    EXPECT_TRUE(view->IsRandomDesktop());
    EXPECT_TRUE(view->IsTimerRunning());
    EXPECT_FALSE(IsChecked(ID_SLIDE_SHOW));
    EXPECT_FALSE(IsEnabled(ID_SLIDE_SHOW));
    EXPECT_TRUE(IsChecked(ID_RANDOM_DESKTOP));
    EXPECT_TRUE(IsEnabled(ID_RANDOM_DESKTOP));

    ASSERT_TRUE(WaitForHistory(view, 3));
    // The wallpaper file holds the image of the latest tick.
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(WallpaperFile()); }, 5000));
    Press(Qt::Key_F6);   // disabled: nothing changes
    EXPECT_TRUE(view->IsRandomDesktop());
    EXPECT_FALSE(view->IsSlideShow());

    Press(Qt::Key_F7);
    EXPECT_FALSE(view->IsRandomDesktop());
    EXPECT_FALSE(view->IsTimerRunning());
    EXPECT_TRUE(IsEnabled(ID_SLIDE_SHOW));
    EXPECT_FALSE(IsChecked(ID_RANDOM_DESKTOP));
    const QImage tile = quorrel::test::TileOf(view);
    EXPECT_EQ(QImage(WallpaperFile()).convertToFormat(QImage::Format_RGB32), tile.convertToFormat(QImage::Format_RGB32));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(TimerModesTest, AfterTwentyTicksUndoStepsBackFourteenTimes)
{
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    Press(Qt::Key_F6);
    QTest::qWait(25 * kInterval);
    ASSERT_TRUE(WaitForHistory(view, 15));
    Press(Qt::Key_F6);
    int undos = 0;
    while (IsEnabled(ID_EDIT_UNDO) && undos < 20) {
        Press(Qt::Key_Z, Qt::ControlModifier);
        ++undos;
    }
    EXPECT_EQ(undos, 14);
}

TEST_F(TimerModesTest, EachWindowTicksOnItsOwnAlsoInactiveMinimisedAndAfterAnotherCloses)
{
    ASSERT_TRUE(Start());
    CQuorrelView* first = ActiveView();
    Press(Qt::Key_F6);
    Frame()->Router().Execute(ID_FILE_NEW);
    CQuorrelView* second = ActiveView();
    ASSERT_NE(first, second);
    Press(Qt::Key_F7);
    EXPECT_TRUE(first->IsSlideShow());
    EXPECT_FALSE(first->IsRandomDesktop());
    EXPECT_TRUE(second->IsRandomDesktop());
    EXPECT_FALSE(second->IsSlideShow());

    // The first view is no longer active; the main window goes to the task bar.
    Frame()->showMinimized();
    const size_t firstBefore = first->History().Size();
    ASSERT_TRUE(WaitForHistory(first, firstBefore + 2));
    ASSERT_TRUE(WaitForHistory(second, 3));

    // Closing the second window ends its ticks only.
    Frame()->showMaximized();
    second->GetParentFrame()->close();   // "No" to saving
    QApplication::processEvents();
    ASSERT_EQ(DocumentCount(), 1);
    const size_t now = first->History().Size();
    ASSERT_TRUE(WaitForHistory(first, std::min<size_t>(now + 2, 15)));
    EXPECT_TRUE(first->IsSlideShow());
}

TEST_F(TimerModesTest, TicksGoOnInFullScreen)
{
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    Press(Qt::Key_F6);
    Press(Qt::Key_F);
    ASSERT_TRUE(Frame()->IsFullScreen());
    const size_t before = view->History().Size();
    ASSERT_TRUE(WaitForHistory(view, before + 2));
    Press(Qt::Key_Escape);
    EXPECT_FALSE(Frame()->IsFullScreen());
    EXPECT_TRUE(view->IsSlideShow());
}

// A tick that falls due while an editor is open on the same parameter set
// is held back until the editor closes, and does not come in a burst.
TEST_F(TimerModesTest, NoTickRunsWhileTheSheetIsOpen)
{
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    size_t historyInside = 0;
    bool changedInside = true;
    CQuorrelView::SetPropertySheetRunner([&](CQuorrelView& v, bool, bool&) {
        historyInside = v.History().Size();
        const model::CTileParams atOpen = v.GetDocument()->m_params;
        QTest::qWait(10 * kInterval);   // the user takes a while; the timer runs on
        changedInside = !model::SameParams(v.GetDocument()->m_params, atOpen) || v.History().Size() != historyInside;
        v.GetDocument()->m_params.m_nColorLow[model::Red] = 20;
        return true;
    });
    Press(Qt::Key_F6);
    ASSERT_TRUE(WaitForHistory(view, 2));
    QTest::keyClick(Frame(), Qt::Key_F4);
    EXPECT_FALSE(changedInside);
    // The sheet's own entry, and no tick run out of turn.
    EXPECT_EQ(view->History().Size(), std::min<size_t>(historyInside + 1, 15));
    // The ticks held back meanwhile come as one at most.
    QApplication::processEvents();
    EXPECT_LE(view->History().Size(), std::min<size_t>(historyInside + 2, 15));
    EXPECT_EQ(view->GetDocument()->m_params.m_nColorLow[model::Red], 20u);
    // The slide show goes on afterwards.
    const size_t after = view->History().Size();
    ASSERT_TRUE(WaitForHistory(view, std::min<size_t>(after + 1, 15)));
    EXPECT_TRUE(view->IsSlideShow());
}

// Random desktop in two windows with a save that keeps failing: one message
// box at a time, never a new one on top of the last.
TEST_F(TimerModesTest, FailingRandomDesktopsNeverStackTheirMessages)
{
    ASSERT_TRUE(Start());
    WriteFile(TempPath("plain"), "not a folder");
    m_app->SetDesktopWallpaper(std::make_unique<output::CDesktopWallpaper>(
        noHelpers, QProcessEnvironment(), TempPath("plain/data")));
    CQuorrelView* first = ActiveView();
    Frame()->Router().Execute(ID_FILE_NEW);
    CQuorrelView* second = ActiveView();
    ASSERT_NE(first, second);
    int open = 0;
    int deepest = 0;
    int boxes = 0;
    bool stop = false;
    platform::SetMessageHandler([&](const platform::MessageRequest& request) {
        messages << request.text;
        ++boxes;
        deepest = std::max(deepest, ++open);
        if (!stop) {
            const size_t inside = first->History().Size() + second->History().Size();
            QTest::qWait(6 * kInterval);   // the box stays up a while
            EXPECT_EQ(first->History().Size() + second->History().Size(), inside);
        }
        --open;
        return platform::MsgResult::Ok;
    });
    first->OnRandomDesktop();   // the window in the background
    Press(Qt::Key_F7);
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes >= 4; }, 5000));
    stop = true;
    second->OnRandomDesktop();
    first->OnRandomDesktop();
    EXPECT_FALSE(first->IsTimerRunning());
    EXPECT_FALSE(second->IsTimerRunning());
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(messages.first(), "Save image failed:\n80070003 - The system cannot find the path specified.");
}

} // namespace
