// The editor in a real X11 session, driven the way a keyboard and a mouse
// reach it: this program starts itself again under xvfb-run with the xcb
// platform, and the driver sends real X key and pointer events through
// XTest (xdotool), reads the captions the X server holds (xprop) and looks
// at screenshots of the X screen. These are the cases where events sent
// straight to Qt proved blind: keypad zoom, Ctrl+Z right after a slide-show
// tick, closing one of two maximised windows, Exit with the help window
// open (the process must end) and the window captions.

#include "support/EditorSession.h"

#include "app/MainStatusBar.h"

#include "model/TileParams.h"
#include "platform/CommandIds.h"
#include "platform/FileDialogs.h"
#include "platform/MDIChildWnd.h"
#include "platform/MessageBox.h"
#include "support/XServerTest.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace quorrel;
using namespace quorrel::app;
using namespace quorrel::platform;

namespace {

// --- The outer test, run by ctest: starts the X server and the driver. ---

TEST(X11Session, TheEditorAnswersRealKeysPointerAndWindowSystem)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    test::CXServerRunOptions options;
    options.home = home.path();
    options.filter = "InX11Session.*";
    options.tools = QStringList{"xdotool", "xprop"};
    options.lsanSuppressions = QUORREL_E2E_LSAN_SUPPRESSIONS;
    const test::CXServerRun run = test::RunUnderXServer(options);
    test::ExpectEveryInnerCasePassed(run, 6);
    ASSERT_TRUE(run.finished);

    // Keep the screenshots next to the test for a look.
    const QDir work(home.filePath("work"));
    for (const QString& shot : work.entryList({"x11-*.png"}, QDir::Files)) {
        QFile::remove(shot);
        QFile::copy(work.filePath(shot), shot);
    }
}

// --- The driver, run under the X server. ---

using namespace quorrel::test;

TEST_F(InX11Session, KeypadPlusMinusAndStarZoomAndTheMainKeyboardsKeysDoNot)
{
    Start();
    CQuorrelView* view = View();
    ASSERT_EQ(view->ZoomFactor(), 1);

    Xdo({"key", "KP_Add"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->ZoomFactor() == 2; }, 3000)) << "keypad + did not zoom";
    EXPECT_TRUE(QTest::qWaitFor([&] { return ShareShowingTile(Screenshot("zoom2"), view, 2) > 0.99; }, 5000))
        << "the screen does not show zoom 2";
    Xdo({"key", "KP_Add"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->ZoomFactor() == 3; }, 3000));
    Xdo({"key", "KP_Subtract"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->ZoomFactor() == 2; }, 3000)) << "keypad - did not zoom out";
    // The main keyboard's - and * are other keys: keypad + after them
    // reaches 3 only if neither zoomed out nor reset.
    Xdo({"key", "minus", "asterisk", "KP_Add"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->ZoomFactor() != 2; }, 3000));
    EXPECT_EQ(view->ZoomFactor(), 3) << "the main keyboard's - or * zoomed";
    Xdo({"key", "KP_Multiply"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->ZoomFactor() == 1; }, 3000)) << "keypad * did not reset";
    EXPECT_TRUE(QTest::qWaitFor([&] { return ShareShowingTile(Screenshot("zoom1"), view, 1) > 0.99; }, 5000))
        << "the screen does not show zoom 1";
    // And so is its +: keypad + after it stops at 2 only if + did nothing.
    Xdo({"key", "plus", "KP_Add"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->ZoomFactor() != 1; }, 3000));
    EXPECT_EQ(view->ZoomFactor(), 2) << "the main keyboard's + zoomed";
    Xdo({"key", "KP_Multiply"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->ZoomFactor() == 1; }, 3000));

    // With Num Lock toggled the keypad keys zoom all the same.
    Xdo({"key", "Num_Lock"});
    Xdo({"key", "KP_Add"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->ZoomFactor() == 2; }, 3000)) << "keypad + with Num Lock";
    Xdo({"key", "KP_Multiply"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->ZoomFactor() == 1; }, 3000));
    Xdo({"key", "Num_Lock"});
}

// The zoom keys of image viewers and Ctrl+wheel, as the X server maps them;
// the status bar tells the factor.
TEST_F(InX11Session, CtrlKeysAndCtrlWheelZoomAndTheStatusBarTellsTheFactor)
{
    Start();
    CQuorrelView* view = View();
    const auto zoomIs = [&](int factor) {
        const QString text = QStringLiteral("%1 %").arg(factor * 100);
        return QTest::qWaitFor([&] { return view->ZoomFactor() == factor && Frame()->StatusBar()->ZoomText() == text; },
                               3000);
    };
    ASSERT_TRUE(zoomIs(1)) << Frame()->StatusBar()->ZoomText().toStdString();
    Xdo({"key", "ctrl+equal"});
    EXPECT_TRUE(zoomIs(2)) << "Ctrl+=";
    Xdo({"key", "ctrl+plus"});
    EXPECT_TRUE(zoomIs(3)) << "Ctrl++";
    Xdo({"key", "ctrl+minus"});
    EXPECT_TRUE(zoomIs(2)) << "Ctrl+-";
    Xdo({"key", "ctrl+0"});
    EXPECT_TRUE(zoomIs(1)) << "Ctrl+0";

    const QPoint at = view->viewport()->mapToGlobal(view->viewport()->rect().center());
    Xdo({"mousemove", QString::number(at.x()), QString::number(at.y())});
    Xdo({"keydown", "ctrl", "click", "4", "click", "4", "keyup", "ctrl"});
    EXPECT_TRUE(zoomIs(3)) << "Ctrl+wheel up";
    Xdo({"keydown", "ctrl", "click", "5", "keyup", "ctrl"});
    EXPECT_TRUE(zoomIs(2)) << "Ctrl+wheel down";
    // The wheel alone scrolls: Ctrl+wheel up after it reaches 3 only if
    // it did not zoom.
    Xdo({"click", "4", "keydown", "ctrl", "click", "4", "keyup", "ctrl"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->ZoomFactor() != 2; }, 3000));
    EXPECT_EQ(view->ZoomFactor(), 3) << "the wheel alone zoomed";
    EXPECT_TRUE(QTest::qWaitFor([&] { return ShareShowingTile(Screenshot("ctrlzoom3"), view, 3) > 0.99; }, 5000))
        << "the screen does not show zoom 3";
}

TEST_F(InX11Session, CtrlZRightAfterASlideShowTickUndoesItAndTheButtonsShowIt)
{
    CQuorrelView::SetTimerInterval(1500);
    Start();
    CQuorrelView* view = View();
    Xdo({"key", "F5"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->History().Size() == 2; }, 5000));
    const model::CTileParams first = view->History().Size() == 2 ? Doc()->m_params : model::CTileParams();
    Xdo({"key", "ctrl+z"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->History().CanUndo(); }, 3000));
    const model::CTileParams undone = Doc()->m_params;
    QToolButton* undo = qobject_cast<QToolButton*>(Frame()->ToolBar()->widgetForAction(Frame()->Action(ID_EDIT_UNDO)));
    QToolButton* redo = qobject_cast<QToolButton*>(Frame()->ToolBar()->widgetForAction(Frame()->Action(ID_EDIT_REDO)));
    ASSERT_NE(undo, nullptr);
    ASSERT_NE(redo, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !undo->isEnabled() && redo->isEnabled(); }, 2000));

    Xdo({"key", "F6"});
    ASSERT_TRUE(view->IsSlideShow());
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->TimerTicks() == 1; }, 5000)) << "no tick came";
    // Without any input the buttons show the tick's new state.
    EXPECT_TRUE(QTest::qWaitFor([&] { return undo->isEnabled() && !redo->isEnabled(); }, 500))
        << "Undo and Redo show the states from before the tick";
    // The first Ctrl+Z undoes the tick.
    Xdo({"key", "ctrl+z"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return model::SameParams(Doc()->m_params, undone); }, 1000))
        << "the first Ctrl+Z after the tick did nothing";
    EXPECT_EQ(view->TimerTicks(), 1u) << "another tick came in between: the case is not conclusive";
    Frame()->Router().Execute(ID_SLIDE_SHOW);
    EXPECT_FALSE(view->IsSlideShow());
    EXPECT_FALSE(model::SameParams(first, undone));
}

TEST_F(InX11Session, ClosingOneOfTwoMaximisedWindowsLeavesTheOtherFillingTheClientArea)
{
    Start();
    Xdo({"key", "ctrl+n"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return Documents() == 2 && View() && View()->IsRendered(); }, 5000));
    CMDIChildWnd* second = Frame()->MDIGetActive();
    ASSERT_TRUE(second->isMaximized());
    ASSERT_TRUE(QTest::qWaitFor([&] { return second->geometry() == Frame()->MdiArea()->viewport()->rect(); }, 3000));

    // File > Close with the pointer and the item's key; the prompt is answered No.
    MenuItem("&File", "c");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Documents() == 1; }, 3000)) << "File Close did not close";
    EXPECT_EQ(prompts, QStringList{"Quorrel|Save changes to Quorrel2?"});
    CMDIChildWnd* first = Frame()->MDIGetActive();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return first->isMaximized() && first->geometry() == Frame()->MdiArea()->viewport()->rect(); }, 3000));
    EXPECT_TRUE(first->isMaximized());
    EXPECT_EQ(first->geometry(), Frame()->MdiArea()->viewport()->rect());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return ShareShowingTile(Screenshot("after-close"), View(), 1, Frame()->MdiArea()->viewport()) > 0.99; },
        5000))
        << "the remaining window does not fill the client area";
    EXPECT_EQ(XProperty(Frame()->winId(), "_NET_WM_NAME").toStdString(), "Quorrel - [Quorrel1]");
}

TEST_F(InX11Session, CaptionsOnTheXServerAreTheEditorsOwn)
{
    Start();
    const WId main = Frame()->winId();
    EXPECT_EQ(XProperty(main, "_NET_WM_NAME").toStdString(), "Quorrel - [Quorrel1]");
    EXPECT_EQ(XProperty(main, "WM_NAME").toStdString(), "Quorrel - [Quorrel1]");

    // The modal windows: each caption read while it shows, then closed.
    struct Seen {
        QString net, wm;
    };
    auto whenModal = [this](Seen& seen) {
        auto* poll = new QTimer(Frame());
        QObject::connect(poll, &QTimer::timeout, [poll, &seen] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible())
                return;
            poll->stop();
            poll->deleteLater();
            // Its caption reaches the X server as it is mapped.
            (void)QTest::qWaitForWindowExposed(modal, 3000);
            seen.net = XProperty(modal->winId(), "_NET_WM_NAME");
            seen.wm = XProperty(modal->winId(), "WM_NAME");
            modal->close();
        });
        poll->start(50);
    };

    // The Properties sheet (F4), for real.
    CQuorrelView::SetPropertySheetRunner({});
    Seen sheet;
    whenModal(sheet);
    Xdo({"key", "F4"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sheet.net.isEmpty(); }, 5000)) << "F4 showed no sheet";
    EXPECT_EQ(sheet.net.toStdString(), "Properties");
    EXPECT_EQ(sheet.wm.toStdString(), "Properties");

    // A warning box: confirmed coefficients that change the symmetries.
    Focus();
    SetMessageHandler({});
    CQuorrelView::SetCoefficientsRunner([](CQuorrelView& v) {
        v.GetDocument()->m_params.m_nCosCos[0][1][1] += 1000;
        return true;
    });
    Seen warning;
    whenModal(warning);
    Xdo({"key", "shift+F4"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !warning.net.isEmpty(); }, 5000)) << "no warning box came";
    EXPECT_EQ(warning.net.toStdString(), "Warning");
    EXPECT_EQ(warning.wm.toStdString(), "Warning");

    // The Open dialog.
    Focus();
    SetFileDialogHandler({});
    Seen open;
    whenModal(open);
    Xdo({"key", "ctrl+o"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !open.net.isEmpty(); }, 5000)) << "Ctrl+O showed no dialog";
    EXPECT_EQ(open.net.toStdString(), "Open");
    EXPECT_EQ(open.wm.toStdString(), "Open");
}

TEST_F(InX11Session, ExitWithTheHelpWindowOpenEndsTheProcess)
{
    // The editor itself, in its own process, driven through X alone.
    QProcess editor;
    editor.setProcessChannelMode(QProcess::MergedChannels);
    editor.start(QStringLiteral(QUORREL_EDITOR), {});
    ASSERT_TRUE(editor.waitForStarted(10000));
    auto cleanUp = qScopeGuard([&] {
        if (editor.state() != QProcess::NotRunning) {
            editor.kill();
            editor.waitForFinished(5000);
        }
    });

    // Its new document's sheet, confirmed with Return.
    const QStringList sheet = WaitForXWindows("^Properties$", 20000);
    ASSERT_FALSE(sheet.isEmpty()) << "the editor showed no Properties sheet";
    Xdo({"windowfocus", "--sync", sheet.front()});
    Xdo({"key", "Return"}, 500);
    const QStringList main = WaitForXWindows("^Quorrel - \\[Quorrel1\\]$", 20000);
    ASSERT_FALSE(main.isEmpty()) << "the main window did not come";

    // F1: the help window opens.
    Xdo({"windowfocus", "--sync", main.front()});
    Xdo({"key", "F1"});
    ASSERT_FALSE(WaitForXWindows("^Quorrel Help", 10000).isEmpty()) << "F1 opened no help window";

    // File > Exit from the main window; the save prompt is answered No. The
    // editor is another process: its menu opening is given time, as a user
    // would take it.
    Xdo({"windowfocus", "--sync", main.front()});
    Xdo({"key", "alt+f"}, 500);
    Xdo({"key", "x"}, 500);
    ASSERT_FALSE(WaitForXWindows("^Quorrel$", 10000).isEmpty()) << "no save prompt came";
    Xdo({"key", "n"});
    const bool ended = editor.waitForFinished(10000);
    const QByteArray output = editor.readAll();
    EXPECT_TRUE(ended) << "the process kept running after Exit; windows left: "
                       << XWindows("Quorrel").join(' ').toStdString() << "\n"
                       << output.constData();
    EXPECT_EQ(editor.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(editor.exitCode(), 0) << output.constData();
    EXPECT_TRUE(XWindows("Quorrel").isEmpty());
}

} // namespace

int main(int argc, char** argv) { return quorrel::test::XServerTestMain(argc, argv); }
