// The editor as a desktop user meets it under a real window manager
// (xfwm4 on a real X server): full screen is the window manager's full
// screen and leaving it restores the window, the help window of a dialog
// opens on the screen at the dialog's page and Esc closes it, closing the
// active document window activates the one before it and Cascade keeps a
// single window's size, the preset gallery shows every thumbnail and name.
// A second run has a dark Fusion palette at twice the scale: every mark of
// the Symmetries and Correlations pages and the toolbar stands out, the
// view shows one image pixel per device pixel at zoom 1, and the gallery's
// thumbnails have the screen's density.

#include "support/EditorSession.h"

#include "app/FullScreen.h"
#include "app/QuorrelView.h"
#include "controls/Contrast.h"
#include "controls/GridCtrl.h"
#include "editors/EditorIcons.h"
#include "editors/IconLabel.h"
#include "editors/PresetGallery.h"
#include "editors/PropsCorrelations.h"
#include "editors/PropsSymmetries.h"
#include "editors/QuorrelProp.h"
#include "platform/CommandIds.h"
#include "platform/MDIChildWnd.h"
#include "platform/WindowSystem.h"
#include "platform/desktop/HelpSystem.h"
#include "platform/desktop/HelpWindow.h"
#include "support/Palettes.h"
#include "support/XServerTest.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyleFactory>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace quorrel;
using namespace quorrel::app;
using namespace quorrel::platform;
using namespace quorrel::test;

namespace {

// --- The outer tests, run by ctest: the X server, xfwm4 and the driver. ---

test::CXServerRun RunUnderWindowManager(const QString& home, const QString& filter, const QString& screen,
                                        const QProcessEnvironment& environment)
{
    test::CXServerRunOptions options;
    options.home = home;
    options.filter = filter;
    options.screen = screen;
    options.tools = QStringList{"xdotool", "xprop", "xfwm4"};
    // xfwm4 reads its settings over a session bus (xfconf): one of its own.
    options.windowManager = QStringList{"dbus-run-session", "--", "xfwm4", "--compositor=off", "--sm-client-disable"};
    options.environment = environment;
    options.lsanSuppressions = QUORREL_E2E_LSAN_SUPPRESSIONS;
    return test::RunUnderXServer(options);
}

// Keeps the screenshots next to the test for a look; shows what the window
// manager said.
void KeepScreenshots(const QString& home)
{
    QFile log(QDir(home).filePath("window-manager.log"));
    if (log.open(QIODevice::ReadOnly))
        std::fputs(("window manager: " + log.readAll()).constData(), stdout);
    const QDir work(QDir(home).filePath("work"));
    for (const QString& shot : work.entryList({"x11-*.png"}, QDir::Files)) {
        QFile::remove(shot);
        QFile::copy(work.filePath(shot), shot);
    }
}

TEST(WindowManagerSession, FullScreenHelpWindowsAndGalleryUnderXfwm4)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const auto run = RunUnderWindowManager(home.path(), "InWmSession.*", "1280x1024x24", {});
    test::ExpectEveryInnerCasePassed(run, 4);
    KeepScreenshots(home.path());
}

TEST(WindowManagerSession, DarkThemeAtTwiceTheScaleUnderXfwm4)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QProcessEnvironment environment;
    environment.insert("QT_SCALE_FACTOR", "2");
    const auto run = RunUnderWindowManager(home.path(), "InDarkHiDpiSession.*", "2560x1600x24", environment);
    test::ExpectEveryInnerCasePassed(run, 3);
    KeepScreenshots(home.path());
}

// --- The driver, run under the X server with xfwm4. ---

// The X property line xprop prints, e.g. the window's _NET_WM_STATE.
bool HasNetWmState(WId window, const char* state)
{
    return XProperty(window, "_NET_WM_STATE").contains(QLatin1String(state));
}

// Opens the real Properties sheet with F4 and runs `step` on it inside its
// event loop, then closes it.
void InPropertySheet(QObject* owner, const std::function<void(editors::CQuorrelProp*)>& step)
{
    CQuorrelView::SetPropertySheetRunner({});
    bool done = false;
    QPointer<QTimer> poll = new QTimer(owner);
    QObject::connect(poll, &QTimer::timeout, [poll, &step, &done] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(modal, 5000)) << "the sheet never showed";
        auto* sheet = qobject_cast<editors::CQuorrelProp*>(modal);
        EXPECT_NE(sheet, nullptr) << "the modal window is not the sheet";
        if (sheet)
            step(sheet);
        modal->close();
        done = true;
    });
    poll->start(50);
    Xdo({"key", "F4"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 30000)) << "F4 showed no sheet";
    delete poll; // not left to fire on a sheet shown later
}

// The highest contrast any pixel of `area` (device pixels of the screen)
// has against `background`.
double BestContrast(const QImage& screen, const QRect& area, const QColor& background)
{
    double best = 1.0;
    const QRect inside = area.intersected(screen.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            best = std::max(best, controls::ContrastRatio(QColor(screen.pixel(x, y)), background));
    return best;
}

// A widget's rectangle on the screen in device pixels.
QRect OnScreen(const QWidget* widget, qreal ratio)
{
    const QPoint topLeft = widget->mapToGlobal(QPoint(0, 0));
    return QRect(qRound(topLeft.x() * ratio), qRound(topLeft.y() * ratio), qRound(widget->width() * ratio),
                 qRound(widget->height() * ratio));
}

class InWmSession : public InX11Session {
protected:
    void SetUp() override
    {
        InX11Session::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(QTest::qWaitFor([] { return platform::HasWindowManager(); }, 15000))
            << "xfwm4 did not take the screen";
    }
    QRect ScreenRect() const { return Frame()->screen()->geometry(); }
};

TEST_F(InWmSession, FullScreenIsTheWindowManagersAndLeavingRestoresTheWindow)
{
    Start();
    const WId main = Frame()->winId();
    ASSERT_TRUE(QTest::qWaitFor([&] { return HasNetWmState(main, "_NET_WM_STATE_MAXIMIZED"); }, 5000));
    // Maximised: the window with its frame fills the work area.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return Frame()->frameGeometry().size() == Frame()->screen()->availableGeometry().size(); }, 5000))
        << "the maximised window does not fill the screen";
    const QRect before = Frame()->geometry();
    ASSERT_GT(before.top(), 0) << "the window manager gave the window no caption";

    Xdo({"key", "f"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return HasNetWmState(main, "_NET_WM_STATE_FULLSCREEN"); }, 5000))
        << "no full-screen state: " << XProperty(main, "_NET_WM_STATE").toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Frame()->geometry() == ScreenRect(); }, 5000))
        << "the window does not cover the screen";
    // No caption, no border: the frame is the window.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Frame()->frameGeometry() == ScreenRect(); }, 5000));
    EXPECT_FALSE(Frame()->ToolBar()->isVisible());
    EXPECT_FALSE(Frame()->statusBar()->isVisible());
    QToolBar* floating = Frame()->FullScreen().FloatingToolBar();
    ASSERT_NE(floating, nullptr);
    EXPECT_TRUE(floating->isVisible());
    EXPECT_FALSE(floating->isWindow());
    EXPECT_EQ(floating->mapTo(Frame(), QPoint(0, 0)), QPoint(300, 200));
    // The tile covers the screen below the menu bar, but for the button.
    QImage shot;
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return ShareShowingTile(shot = Screenshot("fullscreen"), View(), 1) > 0.97; }, 5000))
        << "the screen does not show the tile";
    EXPECT_LT(ShareShowingTile(shot, View(), 1, floating), 0.5) << "the floating button does not show";
    EXPECT_EQ(OnScreen(Frame()->MdiArea(), 1.0).bottom(), ScreenRect().bottom());

    // Its button leaves, with a real click.
    QWidget* button = floating->widgetForAction(Frame()->Action(ID_FULL_SCREEN));
    ASSERT_NE(button, nullptr);
    const QPoint at = button->mapToGlobal(button->rect().center());
    Xdo({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Frame()->IsFullScreen(); }, 3000)) << "the button did not leave";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !HasNetWmState(main, "_NET_WM_STATE_FULLSCREEN"); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return HasNetWmState(main, "_NET_WM_STATE_MAXIMIZED"); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Frame()->geometry() == before; }, 5000)) << "not back at its place";
    EXPECT_TRUE(Frame()->ToolBar()->isVisible());
    EXPECT_TRUE(Frame()->statusBar()->isVisible());

    // Esc enters and leaves as well.
    Focus();
    Xdo({"key", "Escape"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return HasNetWmState(main, "_NET_WM_STATE_FULLSCREEN"); }, 5000));
    Xdo({"key", "Escape"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !HasNetWmState(main, "_NET_WM_STATE_FULLSCREEN"); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Frame()->geometry() == before; }, 5000));
}

TEST_F(InWmSession, F1InADialogOpensTheHelpOnItsScreenAtItsPageAndEscClosesIt)
{
    Start();
    InPropertySheet(Frame(), [&](editors::CQuorrelProp* sheet) {
        // The sheet low at the right of the screen: a help window centred
        // on it would reach past the screen's edges.
        const QRect screen = sheet->screen()->availableGeometry();
        sheet->move(screen.right() - sheet->frameGeometry().width(), screen.bottom() - sheet->frameGeometry().height());
        sheet->TabBar()->setCurrentIndex(3); // Symmetries
        Xdo({"key", "F1"});
        desktop::HelpSystem* help = &m_app->Help();
        ASSERT_TRUE(QTest::qWaitFor([&] { return help->Window() && help->Window()->isVisible(); }, 5000))
            << "F1 opened no help window";
        desktop::HelpWindow* window = help->Window();
        // The window manager places it a moment after it shows.
        EXPECT_TRUE(QTest::qWaitFor([&] { return screen.contains(window->frameGeometry()); }, 3000))
            << "the help window reaches off the screen: " << window->frameGeometry().x() << ","
            << window->frameGeometry().y() << " " << window->frameGeometry().width() << "x"
            << window->frameGeometry().height();
        EXPECT_EQ(window->CurrentPage().fileName().toStdString(), "properties.html");
        EXPECT_EQ(window->CurrentPage().fragment().toStdString(), "symmetries");
        // The part itself is in sight, not the page's top.
        QTextBrowser* browser = window->Browser();
        EXPECT_GT(browser->verticalScrollBar()->value(), 0) << "the help shows the page's top";
        Screenshot("help-from-dialog");

        Xdo({"key", "Escape"});
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 3000)) << "Esc did not close the help";
        EXPECT_TRUE(sheet->isVisible()) << "Esc closed the sheet, not the help";
    });
}

TEST_F(InWmSession, ClosingTheActiveWindowActivatesThePreviousOneAndCascadeKeepsASingleWindowWhole)
{
    Start();
    Xdo({"key", "ctrl+n"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return Documents() == 2 && View() && View()->IsRendered(); }, 5000));
    Xdo({"key", "ctrl+n"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return Documents() == 3 && View() && View()->IsRendered(); }, 5000));
    ASSERT_EQ(Doc()->GetTitle(), "Quorrel3");
    // Back to the first through the Window menu's list.
    MenuItem("&Window", "1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Doc()->GetTitle() == "Quorrel1"; }, 3000));

    // Closing it activates Quorrel3, active before it (not Quorrel2, the
    // next one created).
    MenuItem("&File", "c");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Documents() == 2; }, 3000)) << "File Close did not close";
    EXPECT_TRUE(QTest::qWaitFor([&] { return Doc() && Doc()->GetTitle() == "Quorrel3"; }, 3000))
        << Doc()->GetTitle().toStdString() << " is active, not Quorrel3";
    MenuItem("&File", "c");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Documents() == 1; }, 3000));
    EXPECT_EQ(Doc()->GetTitle().toStdString(), "Quorrel2");

    // Cascade with one window: it keeps the whole client area.
    MenuItem("&Window", "c");
    CMDIChildWnd* child = Frame()->MDIGetActive();
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return child->geometry() == Frame()->MdiArea()->viewport()->rect(); }, 3000))
        << child->width() << "x" << child->height();
    // Two windows cascade one caption apart, each still most of the area.
    Frame()->Router().Execute(ID_WINDOW_NEW);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Frame()->MdiArea()->subWindowList().size() == 2; }, 5000));
    Focus();
    MenuItem("&Window", "c");
    const QList<QMdiSubWindow*> windows = Frame()->MdiArea()->subWindowList();
    ASSERT_EQ(windows.size(), 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return windows[0]->pos() == QPoint(0, 0) && windows[1]->x() > 0; }, 3000))
        << "Cascade did not lay the windows out";
    const QSize area = Frame()->MdiArea()->viewport()->size();
    EXPECT_EQ(windows[0]->pos(), QPoint(0, 0));
    EXPECT_GT(windows[1]->x(), 0);
    EXPECT_EQ(windows[1]->x(), windows[1]->y());
    EXPECT_EQ(windows[1]->geometry().bottomRight(), QPoint(area.width() - 1, area.height() - 1));
    EXPECT_EQ(windows[0]->size(), windows[1]->size());
    Screenshot("cascade");
    Frame()->Router().Execute(ID_FILE_CLOSE);
}

TEST_F(InWmSession, TheGalleryShowsEveryThumbnailAndEveryNameInFullUnderFusion)
{
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    Start();
    editors::CPresetGallery gallery(Frame());
    gallery.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&gallery));
    ASSERT_TRUE(QTest::qWaitFor([&] { return gallery.ThumbnailsReady() == gallery.Count(); }, 60000));
    QListWidget* list = gallery.List();
    const QRect screen = gallery.screen()->availableGeometry();
    EXPECT_TRUE(QTest::qWaitFor([&] { return screen.contains(gallery.frameGeometry()); }, 3000))
        << "the gallery reaches off the screen";
    // Every row shows: nothing to scroll to.
    EXPECT_EQ(list->verticalScrollBar()->maximum(), 0) << "only part of the gallery shows";
    const QFontMetrics names(list->font());
    for (int i = 0; i < list->count(); ++i) {
        const QRect item = list->visualRect(list->model()->index(i, 0));
        EXPECT_TRUE(list->viewport()->rect().contains(item)) << i;
        EXPECT_LE(names.horizontalAdvance(list->item(i)->text()), item.width() - 4)
            << list->item(i)->text().toStdString() << " is cut";
    }
    Screenshot("gallery");
    gallery.reject();
    QApplication::setStyle(QStyleFactory::create("Fusion"));
}

// --- A dark Fusion palette at twice the scale. ---

class InDarkHiDpiSession : public InWmSession {
protected:
    void SetUp() override
    {
        InWmSession::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        QApplication::setStyle(QStyleFactory::create("Fusion"));
        QApplication::setPalette(test::DarkPalette());
    }
    qreal Ratio() const { return Frame()->devicePixelRatioF(); }
};

TEST_F(InDarkHiDpiSession, ZoomOneShowsOneImagePixelPerDevicePixelAndZoomTwoTwo)
{
    Start();
    ASSERT_EQ(Ratio(), 2.0) << "QT_SCALE_FACTOR=2 did not apply";
    CQuorrelView* view = View();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return ShareShowingTile(Screenshot("hidpi-zoom1"), view, 1, nullptr, Ratio()) > 0.99; }, 5000))
        << "zoom 1 does not lay the tile 1 : 1 in device pixels";
    Xdo({"key", "KP_Add"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->ZoomFactor() == 2; }, 3000));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return ShareShowingTile(Screenshot("hidpi-zoom2"), view, 2, nullptr, Ratio()) > 0.99; }, 5000))
        << "zoom 2 does not lay an image pixel on 2 x 2 device pixels";
    // The pointer read-out counts device pixels too: the logical point
    // (100, 50) is device pixel (200, 100), image pixel (100, 50) at zoom 2.
    QMouseEvent move(QEvent::MouseMove, QPointF(100, 50), view->viewport()->mapToGlobal(QPointF(100, 50)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    EXPECT_EQ(view->PointerPosition(),
              QPoint(100 % int(Doc()->m_params.m_nWidth), 50 % int(Doc()->m_params.m_nHeight)));

    // The toolbar's zoom images keep their magnifier handles: the lower
    // right quarter of each stands out from the bar.
    const QImage shot = Screenshot("dark-toolbar");
    for (const int id : {ID_ZOOM_IN, ID_ZOOM_OUT, ID_ZOOM_NORMAL}) {
        QWidget* button = Frame()->ToolBar()->widgetForAction(Frame()->Action(id));
        ASSERT_NE(button, nullptr);
        const QRect rect = OnScreen(button, Ratio());
        const QColor face(shot.pixel(rect.left() + 1, rect.top() + 1));
        const QSize icon = Frame()->ToolBar()->iconSize() * Ratio();
        const QRect iconRect(rect.center() - QPoint(icon.width() / 2, icon.height() / 2), icon);
        const QRect handle(iconRect.center() + QPoint(icon.width() / 6, icon.height() / 6), icon / 3);
        EXPECT_GE(BestContrast(shot, handle, face), controls::kMarkContrast) << "command " << id;
    }
}

TEST_F(InDarkHiDpiSession, EveryMarkOfTheSymmetriesAndCorrelationsPagesStandsOut)
{
    Start();
    InPropertySheet(Frame(), [&](editors::CQuorrelProp* sheet) {
        sheet->TabBar()->setCurrentIndex(3);
        auto* page = sheet->findChild<editors::CPropsSymmetries*>();
        ASSERT_NE(page, nullptr);
        const QColor face = page->palette().color(QPalette::Window);
        const QList<editors::CIconLabel*> values = page->findChildren<editors::CIconLabel*>();
        ASSERT_GE(values.size(), 36); // the 6 x 6 values and the column headings
        // The ticked components' value icons and the contrast of the faintest
        // on a screenshot.
        int ticked = 0;
        auto faintest = [&](const QImage& shot) {
            double worst = 21.0;
            ticked = 0;
            for (const editors::CIconLabel* value : values) {
                if (!value->isVisible() || value->IconId() < editors::kValueIcon - 1 ||
                    value->IconId() > editors::kValueIcon + 1)
                    continue; // a greyed value of an unticked component
                ++ticked;
                worst = std::min(worst, BestContrast(shot, OnScreen(value, Ratio()), face));
            }
            return worst;
        };
        // The page reaches the screen a moment after it is chosen.
        QImage symmetries;
        (void)QTest::qWaitFor(
            [&] { return faintest(symmetries = Screenshot("dark-symmetries")) >= controls::kTextContrast; }, 5000);
        EXPECT_GE(faintest(symmetries), controls::kTextContrast) << "a value icon hides on the dark page";
        EXPECT_GT(ticked, 0) << "no ticked component to look at";

        // Correlations: read-only cells look unlike editable ones.
        sheet->TabBar()->setCurrentIndex(4);
        auto* grid = sheet->findChild<controls::CGridCtrl*>();
        ASSERT_NE(grid, nullptr);
        QColor editable, readOnly;
        bool haveEditable = false, haveReadOnly = false;
        auto readCells = [&](const QImage& shot) {
            haveEditable = haveReadOnly = false;
            for (int r = 1; r < grid->GetRowCount(); ++r) {
                for (int k = 1; k < grid->GetColumnCount(); ++k) {
                    QRect cell;
                    if (!grid->GetCellRect(r, k, cell) || grid->GetItemText(r, k).size() > 0)
                        continue;
                    const QPoint at = grid->viewport()->mapToGlobal(cell.topLeft() + QPoint(3, 3)) * Ratio();
                    const QColor shown(shot.pixel(at));
                    if (grid->GetItemState(r, k) & controls::GCS_READONLY) {
                        readOnly = shown;
                        haveReadOnly = true;
                    } else {
                        editable = shown;
                        haveEditable = true;
                    }
                }
            }
            return haveReadOnly &&
                   (!haveEditable || controls::ContrastRatio(editable, readOnly) >= controls::kSurfaceContrast - 0.05);
        };
        (void)QTest::qWaitFor([&] { return grid->isVisible() && readCells(Screenshot("dark-correlations")); }, 5000);
        ASSERT_TRUE(haveReadOnly);
        if (haveEditable) {
            EXPECT_GE(controls::ContrastRatio(editable, readOnly), controls::kSurfaceContrast - 0.05)
                << editable.name().toStdString() << " vs " << readOnly.name().toStdString();
        }
    });
}

TEST_F(InDarkHiDpiSession, GalleryThumbnailsHaveTheScreensDensity)
{
    Start();
    editors::CPresetGallery gallery(Frame());
    gallery.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&gallery));
    ASSERT_TRUE(QTest::qWaitFor([&] { return gallery.ThumbnailsReady() == gallery.Count(); }, 60000));
    EXPECT_EQ(gallery.ThumbnailPixels(), gallery.ThumbnailSize() * 2);
    EXPECT_EQ(gallery.ScreenPixels(), QSize(2560, 1600));
    for (int i = 0; i < gallery.Count(); ++i) {
        const QPixmap shown = gallery.List()->item(i)->icon().pixmap(gallery.ThumbnailSize(), Ratio());
        EXPECT_EQ(shown.devicePixelRatio(), 2.0) << i;
        EXPECT_EQ(shown.size(), gallery.ThumbnailPixels()) << i;
        EXPECT_EQ(shown.toImage().convertToFormat(QImage::Format_RGB32),
                  editors::RenderThumbnail(gallery.Params(i), gallery.ThumbnailPixels(), gallery.ScreenPixels(),
                                           gallery.Scale(i)))
            << i;
    }
    Screenshot("hidpi-gallery"); // for a look
    gallery.reject();
}

} // namespace

int main(int argc, char** argv) { return quorrel::test::XServerTestMain(argc, argv); }
