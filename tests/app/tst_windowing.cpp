// The editor's windows as a desktop session meets them: keypad keys that
// reach the view as plain key presses run once, command states after timer
// ticks, the maximised state of document windows, Exit with the help window
// open, the pointer read-out while a drag leaves the view, the scroll-bar
// thumbs, the captions, and what the view paints at any zoom and scroll
// position.

#include "EditorFixture.h"

#include "app/ColorStatic.h"
#include "app/MainStatusBar.h"

#include "platform/CommandIds.h"
#include "platform/MDIChildWnd.h"
#include "platform/MDIFrameWnd.h"
#include "platform/desktop/HelpSystem.h"
#include "platform/desktop/HelpWindow.h"

#include "model/TileParams.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>

using namespace quorrel;
using namespace quorrel::app;
using quorrel::test::EditorFixture;

namespace {

using WindowingTest = EditorFixture;

// A key press sent straight to the focus widget, the way the X11 platform
// delivers a numeric-keypad key its shortcut map did not match. Here the
// map does match it on the way; the command must still run once, not twice
// (the X11 case itself is in tst_x11session and tst_commandrouter).
void PressStraight(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(widget, &release);
    QApplication::processEvents();
}

TEST_F(WindowingTest, KeypadKeysZoomOnceAPressAndTheMainKeyboardsKeysDoNot)
{
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    view->setFocus();
    PressStraight(view, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(view->ZoomFactor(), 2);
    PressStraight(view, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(view->ZoomFactor(), 3);
    PressStraight(view, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(view->ZoomFactor(), 2);
    PressStraight(view, Qt::Key_Asterisk, Qt::KeypadModifier);
    EXPECT_EQ(view->ZoomFactor(), 1);
    // Zoom Out at zoom 1 is disabled: the key does nothing.
    PressStraight(view, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(view->ZoomFactor(), 1);

    // The main keyboard's keys are other keys, by press and by shortcut.
    PressStraight(view, Qt::Key_Plus, Qt::ShiftModifier);
    PressStraight(view, Qt::Key_Plus, Qt::NoModifier);
    Press(Qt::Key_Plus, Qt::ShiftModifier);
    Press(Qt::Key_Plus);
    EXPECT_EQ(view->ZoomFactor(), 1);
    Press(Qt::Key_Plus, Qt::KeypadModifier);   // where the shortcut map does match
    EXPECT_EQ(view->ZoomFactor(), 2);
}

class TickTest : public quorrel::test::ShortTimerFixture<300> {};

TEST_F(TickTest, UndoAndRedoFollowASlideShowTickWithoutAnyInput)
{
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    Press(Qt::Key_F5);
    Press(Qt::Key_Z, Qt::ControlModifier);   // back to the first entry
    ASSERT_FALSE(IsEnabled(ID_EDIT_UNDO));
    ASSERT_TRUE(IsEnabled(ID_EDIT_REDO));
    const model::CTileParams first = ActiveDoc()->m_params;
    Press(Qt::Key_F6);
    QAction* undo = Frame()->Action(ID_EDIT_UNDO);
    QAction* redo = Frame()->Action(ID_EDIT_REDO);
    ASSERT_FALSE(undo->isEnabled());

    // No input after the tick: the buttons show the new state by themselves.
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->TimerTicks() == 1; }, 3000));
    view->OnSlideShow();   // stops it, not through the router, which would update
    EXPECT_TRUE(QTest::qWaitFor([&] { return undo->isEnabled() && !redo->isEnabled(); }, 1000))
        << "Undo and Redo kept the states they had before the tick";

    // The first Ctrl+Z undoes the tick even if the action still showed the
    // state from before it.
    undo->setEnabled(false);
    QTest::keyClick(Frame(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(model::SameParams(ActiveDoc()->m_params, first)) << "the first Ctrl+Z did nothing";
}

TEST_F(WindowingTest, ClosingTheMaximisedWindowLeavesTheNextOneMaximised)
{
    ASSERT_TRUE(Start());
    Press(Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(DocumentCount(), 2);
    QMdiArea* area = Frame()->MdiArea();
    platform::CMDIChildWnd* second = Frame()->MDIGetActive();
    ASSERT_TRUE(second->isMaximized());

    // File Close (the document asks; the answer is No).
    Frame()->Router().Execute(ID_FILE_CLOSE);
    QApplication::processEvents();
    ASSERT_EQ(DocumentCount(), 1);
    platform::CMDIChildWnd* first = Frame()->MDIGetActive();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isMaximized());
    EXPECT_EQ(first->geometry(), area->viewport()->rect());
    EXPECT_EQ(Frame()->windowTitle(), "Quorrel - [Quorrel1]");

    // The same when a window of a document with two goes by its own close.
    Frame()->Router().Execute(ID_WINDOW_NEW);
    platform::CMDIChildWnd* another = Frame()->MDIGetActive();
    ASSERT_NE(another, first);
    ASSERT_TRUE(another->isMaximized());
    another->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    ASSERT_EQ(Frame()->MDIGetActive(), first);
    EXPECT_TRUE(first->isMaximized());
    EXPECT_EQ(first->geometry(), area->viewport()->rect());

    // A restored window stays restored when another one closes.
    Press(Qt::Key_N, Qt::ControlModifier);
    platform::CMDIChildWnd* third = Frame()->MDIGetActive();
    third->showNormal();
    area->setActiveSubWindow(first);
    first->showNormal();
    area->setActiveSubWindow(third);
    Frame()->Router().Execute(ID_FILE_CLOSE);
    QApplication::processEvents();
    ASSERT_EQ(Frame()->MDIGetActive(), first);
    EXPECT_FALSE(first->isMaximized());
}

TEST_F(WindowingTest, ExitClosesTheHelpWindowAndEndsTheApplication)
{
    ASSERT_TRUE(Start());
    Press(Qt::Key_F1);
    desktop::HelpWindow* help = m_app->Help().Window();
    ASSERT_NE(help, nullptr);
    ASSERT_TRUE(help->isVisible());

    // Exit from inside the event loop, as the menu does; the loop must end.
    bool stuck = false;
    QTimer::singleShot(0, [&] { Frame()->Router().Execute(ID_APP_EXIT); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        stuck = true;
        QApplication::exit(1);
    });
    guard.start(5000);
    QApplication::exec();
    guard.stop();
    EXPECT_FALSE(stuck) << "the application kept running after Exit";
    EXPECT_FALSE(Frame()->isVisible());
    ASSERT_NE(m_app->Help().Window(), nullptr);
    EXPECT_FALSE(m_app->Help().Window()->isVisible()) << "the help window stayed open";
    EXPECT_EQ(DocumentCount(), 0);
}

// The process's peak resident size so far, in kB.
long PeakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

class ViewPaintTest : public EditorFixture {
protected:
    // The view's client area made `size`, the document's tile `w` x `h`.
    CQuorrelView* StartWith(QSize client, uint32_t w, uint32_t h)
    {
        if (!Start())
            return nullptr;
        CQuorrelView* view = ActiveView();
        QWidget* child = view->parentWidget();
        child->showNormal();
        child->resize(child->size() + (client - view->viewport()->size()));
        ActiveDoc()->m_params.m_nWidth = w;
        ActiveDoc()->m_params.m_nHeight = h;
        view->RenderView();
        QApplication::processEvents();
        return view;
    }
    void SetZoom(CQuorrelView* view, int zoom)
    {
        while (view->ZoomFactor() < zoom)
            view->OnZoomIn();
        while (view->ZoomFactor() > zoom)
            view->OnZoomOut();
        QApplication::processEvents();
    }
};

TEST_F(ViewPaintTest, EveryPixelIsItsTilePixelAtAnyZoomAndScrollPosition)
{
    // Client and tile sizes share no factor with the zooms or each other.
    CQuorrelView* view = StartWith(QSize(701, 433), 97, 61);
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->viewport()->size(), QSize(701, 433));
    const QImage tile = view->RenderedBitmap().copy(0, 0, 97, 61).convertToFormat(QImage::Format_RGB32);
    for (int zoom : {1, 3, 8, 13}) {
        SetZoom(view, zoom);
        QScrollBar* h = view->horizontalScrollBar();
        QScrollBar* v = view->verticalScrollBar();
        const QSize client = view->viewport()->size();
        std::vector<QPoint> scrolls = {{0, 0}, {h->maximum(), v->maximum()}};
        if (h->maximum() > 40 && v->maximum() > 40)
            scrolls.push_back({h->maximum() / 2 + 1, 37});   // part of a block off each edge
        for (const QPoint scroll : scrolls) {
            h->setValue(scroll.x());
            v->setValue(scroll.y());
            ASSERT_EQ(view->GetScrollPosition(), scroll);
            const QImage shot = view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
            ASSERT_EQ(shot.size(), client);
            int wrong = 0;
            for (int y = 0; y < client.height(); ++y) {
                const auto* row = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
                const auto* source = reinterpret_cast<const QRgb*>(tile.constScanLine(((y + scroll.y()) / zoom) % 61));
                for (int x = 0; x < client.width(); ++x)
                    wrong += row[x] != source[((x + scroll.x()) / zoom) % 97] ? 1 : 0;
            }
            EXPECT_EQ(wrong, 0) << "zoom " << zoom << ", scrolled to " << scroll.x() << "," << scroll.y();
        }
    }
}

TEST_F(ViewPaintTest, PaintingAtAHighZoomNeedsNoMoreMemoryThanAtZoomOne)
{
    CQuorrelView* view = StartWith(QSize(800, 600), 1024, 1024);
    ASSERT_NE(view, nullptr);
    view->viewport()->repaint();
    const long before = PeakResidentKb();
    ASSERT_GT(before, 0);
    // A whole 1024 x 1024 tile at zoom 12 would be 576 MB of pixels.
    SetZoom(view, 12);
    for (int step = 0; step < 5; ++step) {
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->value() + 997);
        view->viewport()->repaint();
    }
    const long growth = PeakResidentKb() - before;
    EXPECT_LT(growth, 32 * 1024) << "painting grew the peak memory by " << growth / 1024 << " MB";
}

// Qt's warnings while it lives.
class WarningCatcher final {
public:
    WarningCatcher() { m_previous = qInstallMessageHandler(&Catch); }
    ~WarningCatcher() { qInstallMessageHandler(m_previous); }
    static QStringList& Seen()
    {
        static QStringList seen;
        return seen;
    }

private:
    static void Catch(QtMsgType, const QMessageLogContext&, const QString& text) { Seen() << text; }
    QtMessageHandler m_previous = nullptr;
};

void SendMove(QWidget* viewport, QPoint point, Qt::MouseButtons buttons)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(point), QPointF(viewport->mapToGlobal(point)), Qt::NoButton, buttons,
                     Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
}

TEST_F(WindowingTest, ADragThatLeavesTheViewShowsNoNewReadoutAndReadsNoPixelOutsideTheBitmap)
{
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    QWidget* viewport = view->viewport();
    SendMove(viewport, QPoint(130, 5), Qt::NoButton);
    ASSERT_EQ(Frame()->GetPaneText(2), "5, 5");
    const QString colour = Frame()->StatusBar()->ColorIndicator()->text();

    WarningCatcher::Seen().clear();
    {
        WarningCatcher catcher;
        const QSize size = viewport->size();
        for (const QPoint outside : {QPoint(-3, 7), QPoint(-200, -64), QPoint(size.width(), 10),
                                     QPoint(size.width() + 500, size.height() + 9), QPoint(20, size.height()),
                                     QPoint(20, -1)}) {
            SendMove(viewport, outside, Qt::LeftButton);
            EXPECT_EQ(Frame()->GetPaneText(2).toStdString(), "5, 5") << outside.x() << "," << outside.y();
            EXPECT_EQ(Frame()->StatusBar()->ColorIndicator()->text().toStdString(), colour.toStdString());
        }
        // Zooming refreshes the read-out from the last position inside.
        view->OnZoomIn();
        EXPECT_EQ(Frame()->GetPaneText(2), "5, 5");
        EXPECT_EQ(view->PointerPosition(), QPoint(5, 5));
    }
    EXPECT_TRUE(WarningCatcher::Seen().filter("out of range").isEmpty()) << WarningCatcher::Seen().join('\n').toStdString();

    // Back inside, with the button still held, the read-out follows again.
    SendMove(viewport, QPoint(9, 4), Qt::LeftButton);
    EXPECT_EQ(Frame()->GetPaneText(2), "4, 2");
}

// The share of the groove the thumb of `bar` covers.
double ThumbShare(QScrollBar* bar)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->value();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.upsideDown = bar->invertedAppearance();
    option.subControls = QStyle::SC_All;
    const QRect groove = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarGroove, bar);
    const QRect thumb = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
    return bar->orientation() == Qt::Vertical ? double(thumb.height()) / groove.height()
                                              : double(thumb.width()) / groove.width();
}

TEST_F(WindowingTest, TheScrollThumbsShowTheVisibleShareAndTheLineStepStays)
{
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    for (int i = 1; i < 10; ++i)
        view->OnZoomIn();
    ASSERT_EQ(view->GetTotalSize(), QSize(1250, 1250));
    // A client area 1117 pixels high and 700 wide: 89 % and 56 % visible.
    QWidget* child = view->parentWidget();
    child->showNormal();
    for (int attempt = 0; attempt < 3 && view->viewport()->size() != QSize(700, 1117); ++attempt) {
        child->resize(child->size() + (QSize(700, 1117) - view->viewport()->size()));
        QApplication::processEvents();
    }
    ASSERT_EQ(view->viewport()->size(), QSize(700, 1117));
    QScrollBar* vertical = view->verticalScrollBar();
    QScrollBar* horizontal = view->horizontalScrollBar();
    ASSERT_TRUE(vertical->isVisible());
    ASSERT_TRUE(horizontal->isVisible());
    EXPECT_EQ(vertical->pageStep(), 1117);
    EXPECT_EQ(horizontal->pageStep(), 700);
    EXPECT_NEAR(ThumbShare(vertical), 1117.0 / 1250.0, 0.03);
    EXPECT_NEAR(ThumbShare(horizontal), 700.0 / 1250.0, 0.03);
    EXPECT_EQ(vertical->singleStep(), 12);
    EXPECT_EQ(horizontal->singleStep(), 12);
}

TEST_F(WindowingTest, CaptionsAreTheirOwnWithoutTheApplicationNameAppended)
{
    ASSERT_TRUE(Start());
    // The X11 platform appends Qt's application display name to every
    // caption; nothing sets it.
    EXPECT_NE(QGuiApplication::applicationDisplayName(), "Quorrel");
    EXPECT_EQ(Frame()->windowTitle(), "Quorrel - [Quorrel1]");
    // Message boxes without a caption of their own carry the application title.
    QStringList captions;
    platform::SetMessageHandler([&](const platform::MessageRequest& request) {
        captions << request.caption;
        return platform::MsgResult::No;
    });
    Frame()->Router().Execute(ID_FILE_CLOSE);
    EXPECT_EQ(captions, QStringList{"Quorrel"});
}

} // namespace

namespace {

// Window > Cascade: where each of `count` windows goes.
struct CascadeCase {
    const char* name;
    QSize area;
    int count;
    int step;
    std::vector<QRect> expected;
};

class CascadeLayouts : public ::testing::TestWithParam<CascadeCase> {};

TEST_P(CascadeLayouts, FillTheAreaOneCaptionApart)
{
    const CascadeCase& c = GetParam();
    const QList<QRect> rects = platform::CascadeRects(c.area, c.count, c.step);
    EXPECT_EQ(std::vector<QRect>(rects.begin(), rects.end()), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Windows, CascadeLayouts,
    ::testing::Values(
        // One window keeps the whole area: it is not shrunk.
        CascadeCase{"one", {800, 600}, 1, 24, {{0, 0, 800, 600}}},
        CascadeCase{"two", {800, 600}, 2, 24, {{0, 0, 776, 576}, {24, 24, 776, 576}}},
        // Too many for the step: closer together, each at least half the area.
        CascadeCase{"five in a small area", {200, 100}, 5, 24,
                    {{0, 0, 152, 52}, {12, 12, 152, 52}, {24, 24, 152, 52}, {36, 36, 152, 52}, {48, 48, 152, 52}}},
        CascadeCase{"none", {800, 600}, 0, 24, {}}),
    [](const ::testing::TestParamInfo<CascadeCase>& info) { return std::to_string(info.index); });

TEST_F(WindowingTest, ClosingTheActiveWindowActivatesThePreviouslyActiveOne)
{
    ASSERT_TRUE(Start());
    Press(Qt::Key_N, Qt::ControlModifier);
    Press(Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(DocumentCount(), 3);
    QMdiArea* area = Frame()->MdiArea();
    const QList<QMdiSubWindow*> windows = area->subWindowList(QMdiArea::CreationOrder);
    ASSERT_EQ(windows.size(), 3);
    // Quorrel3 is active; then Quorrel1.
    area->setActiveSubWindow(windows[0]);
    QApplication::processEvents();
    ASSERT_EQ(ActiveDoc()->GetTitle(), "Quorrel1");
    ActiveDoc()->SetModifiedFlag(false);
    Frame()->Router().Execute(ID_FILE_CLOSE);
    QApplication::processEvents();
    ASSERT_EQ(DocumentCount(), 2);
    EXPECT_EQ(ActiveDoc()->GetTitle().toStdString(), "Quorrel3");
    EXPECT_TRUE(Frame()->MDIGetActive()->isMaximized());
    ActiveDoc()->SetModifiedFlag(false);
    Frame()->Router().Execute(ID_FILE_CLOSE);
    QApplication::processEvents();
    EXPECT_EQ(ActiveDoc()->GetTitle().toStdString(), "Quorrel2");

    // Cascade leaves the one window the whole client area.
    Frame()->Router().Execute(ID_WINDOW_CASCADE);
    QApplication::processEvents();
    EXPECT_EQ(Frame()->MDIGetActive()->geometry(), area->viewport()->rect());
}

} // namespace
