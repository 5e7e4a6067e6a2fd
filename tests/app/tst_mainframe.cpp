// The main window's status bar with its indicators, full-screen mode, the
// bar toggles, the About box and the recent-file list.

#include "EditorFixture.h"

#include "app/ColorIndicator.h"
#include "app/ColorStatic.h"
#include "app/FullScreen.h"
#include "app/MainStatusBar.h"

#include "platform/KeyLockState.h"
#include "platform/MDIChildWnd.h"
#include "platform/RecentFileList.h"
#include "platform/SettingsLocation.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QMdiArea>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWidgetAction>

#include <set>

using namespace quorrel;
using namespace quorrel::app;
using quorrel::test::EditorFixture;

namespace {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | g << 8 | b << 16; }

QRect Enlarged(const QRect& r) { return r.adjusted(-1, -1, 1, 1); }

// A main window of its own, without the application around it.
class StatusBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame = std::make_unique<CMainFrame>();
        frame->resize(900, 600);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        bar = frame->StatusBar();
    }

    std::unique_ptr<CMainFrame> frame;
    CMainStatusBar* bar = nullptr;
};

TEST_F(StatusBarTest, PanesComeInOrderWithTheirWidthsAndInitialTexts)
{
    EXPECT_EQ(frame->GetPaneText(0), "For Help, press F1");
    EXPECT_EQ(frame->GetPaneText(1), QString(10, ' '));
    EXPECT_EQ(frame->GetPaneText(2), "0, 0");
    EXPECT_EQ(frame->GetPaneText(3), "RGB(0, 0, 0)");
    // At least 120, 90 and 60 pixels, and wide enough for the longest
    // texts in the fonts this desktop has.
    EXPECT_GE(bar->Pane(1)->width(), 120);
    EXPECT_GE(bar->Pane(2)->width(), 90);
    EXPECT_GE(bar->Pane(3)->width(), 60);
    const auto* position = bar->Pane(2)->findChild<QLabel*>("PositionPane");
    ASSERT_NE(position, nullptr);
    EXPECT_GE(position->contentsRect().width(), position->fontMetrics().horizontalAdvance("1023, 1023"));
    const auto* color = static_cast<QLabel*>(bar->Pane(3));
    EXPECT_GE(color->contentsRect().width(), color->fontMetrics().horizontalAdvance("RGB(0, 0, 0)"))
        << "pane 3 cuts its own initial text";
    // Left to right, the panes on show (the lock panes only where the
    // platform tells the keys' states).
    int previous = 1;
    for (int pane = 2; pane < CMainStatusBar::kPaneCount; ++pane) {
        if (!bar->Pane(pane)->isVisibleTo(bar))
            continue;
        EXPECT_LT(bar->GetItemRect(previous).right(), bar->GetItemRect(pane).left()) << pane;
        previous = pane;
    }
    EXPECT_GE(bar->height(), 21);

    // The position pane shows its icon in front of the text.
    const auto* icon = bar->Pane(2)->findChild<QLabel*>("PaneIcon");
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->pixmap().isNull());
    EXPECT_LT(icon->geometry().left(), bar->Pane(2)->findChild<QLabel*>("PositionPane")->geometry().left());

    // A lock pane shows where the platform tells its key's state (and reads
    // only its own text); elsewhere it gives its room away.
    const platform::KeyLock locks[] = {platform::KeyLock::Caps, platform::KeyLock::Num, platform::KeyLock::Scroll};
    for (int pane = 4; pane < 7; ++pane) {
        const QString text = frame->GetPaneText(pane);
        EXPECT_TRUE(text.isEmpty() || text == QStringList({"CAP", "NUM", "SCRL"})[pane - 4]) << pane;
        EXPECT_EQ(bar->Pane(pane)->isVisibleTo(bar), platform::IsKeyLockOn(locks[pane - 4]).has_value()) << pane;
    }
}

TEST_F(StatusBarTest, TheFirstProgressCallShowsAnEmptyBarAndLaterCallsMoveIt)
{
    EXPECT_EQ(bar->ProgressIndicator(), nullptr);
    frame->SetProgress(57);
    QProgressBar* progress = bar->ProgressIndicator();
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(progress->isVisible());
    EXPECT_EQ(progress->value(), 0);
    EXPECT_EQ(progress->minimum(), 0);
    EXPECT_EQ(progress->maximum(), 100);
    EXPECT_EQ(progress->parentWidget(), bar);
    EXPECT_EQ(progress->geometry(), bar->GetItemRect(1));
    frame->SetProgress(40);
    EXPECT_EQ(progress->value(), 40);
    frame->SetProgress(0);
    EXPECT_EQ(progress->value(), 0);
    EXPECT_EQ(bar->ProgressIndicator(), progress);   // made once
}

// Idle, the progress pane is plain status bar (no empty sunken box that
// looks like a text field); a rendering under way shows its bar.
TEST_F(StatusBarTest, TheIdleProgressPaneIsPlainStatusBar)
{
    const auto plain = [this] {
        QApplication::processEvents();
        const QImage shot = bar->grab(bar->GetItemRect(1)).toImage();
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (shot.pixel(x, y) != shot.pixel(0, 0))
                    return false;
        return true;
    };
    EXPECT_TRUE(plain()) << "before the first rendering";
    frame->SetProgress(0);
    EXPECT_TRUE(plain()) << "the indicator made, idle";
    frame->SetProgress(40);
    EXPECT_FALSE(plain()) << "under way";
    frame->SetProgress(0);
    EXPECT_TRUE(plain()) << "ended";
}

TEST_F(StatusBarTest, TheColourIndicatorShowsTheColourWithAContrastingText)
{
    struct Case {
        uint32_t color;
        const char* text;
        QColor textColor;
    };
    for (const Case& c : {Case{Rgb(0, 0, 0), "#000000", QColor(128, 128, 128)},
                          Case{Rgb(10, 11, 12), "#0A0B0C", QColor(138, 139, 140)},
                          Case{Rgb(255, 255, 255), "#FFFFFF", QColor(128, 128, 128)}}) {
        frame->ShowPixelColor(c.color);
        CColorStatic* indicator = bar->ColorIndicator();
        ASSERT_NE(indicator, nullptr);
        EXPECT_EQ(indicator->text(), c.text);
        EXPECT_EQ(indicator->BkColor(), QColor(int(c.color & 0xFF), int(c.color >> 8 & 0xFF), int(c.color >> 16)));
        EXPECT_EQ(indicator->TextColor(), c.textColor) << c.text;
    }
    CColorStatic* indicator = bar->ColorIndicator();
    EXPECT_EQ(indicator->font().pixelSize(), 11);
    EXPECT_TRUE(QFontInfo(indicator->font()).fixedPitch()) << QFontInfo(indicator->font()).family().toStdString();
    EXPECT_EQ(indicator->font().family(), ColorIndicatorFont(QFontDatabase::families()).family());
    EXPECT_EQ(indicator->geometry(), Enlarged(bar->GetItemRect(3)));
    for (const char* wide : {"#DDDDDD", "#888888", "#FFFFFF", "#BBBBBB"})
        EXPECT_GE(indicator->contentsRect().width(), indicator->fontMetrics().horizontalAdvance(wide)) << wide;
    // The pane keeps its own text under the indicator.
    EXPECT_EQ(frame->GetPaneText(3), "RGB(0, 0, 0)");

    // What the screen shows: the background in the colour itself.
    frame->ShowPixelColor(Rgb(10, 200, 30));
    QApplication::processEvents();
    const QImage shot = indicator->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(1, 1)), QColor(10, 200, 30));
}

TEST(ColorIndicatorFontTest, CourierNewWhereItIsInstalledElseTheSystemsFixedPitchFont)
{
    const QFont courier = ColorIndicatorFont({"DejaVu Sans", "Courier New"});
    EXPECT_EQ(courier.family(), "Courier New");
    EXPECT_EQ(courier.pixelSize(), 11);
    EXPECT_EQ(courier.weight(), QFont::Normal);
    EXPECT_FALSE(courier.italic() || courier.underline() || courier.strikeOut());

    const QFont fallback = ColorIndicatorFont({"DejaVu Sans", "Nimbus Sans"});
    EXPECT_NE(fallback.family(), "Courier New");
    EXPECT_EQ(fallback.family(), QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    EXPECT_EQ(fallback.pixelSize(), 11);
    EXPECT_TRUE(QFontInfo(fallback).fixedPitch()) << QFontInfo(fallback).family().toStdString();
}

TEST_F(StatusBarTest, IndicatorsStayOnTheirPanesWhenTheWindowIsResized)
{
    frame->SetProgress(0);
    frame->ShowPixelColor(Rgb(1, 2, 3));
    for (const QSize size : {QSize(640, 480), QSize(1100, 700), QSize(500, 300)}) {
        frame->resize(size);
        QApplication::processEvents();
        EXPECT_EQ(bar->ProgressIndicator()->geometry(), bar->GetItemRect(1)) << size.width();
        EXPECT_EQ(bar->ColorIndicator()->geometry(), Enlarged(bar->GetItemRect(3))) << size.width();
    }
}

class MainFrameTest : public EditorFixture {
protected:
    QToolBar* FloatingBar() const { return Frame()->FullScreen().FloatingToolBar(); }
    bool IsChecked(int id) const
    {
        Frame()->Router().UpdateActions();
        return Frame()->Action(id)->isChecked();
    }
    void Close(CQuorrelDoc* doc)
    {
        doc->SetModifiedFlag(false);
        doc->OnCloseDocument();
        QApplication::processEvents();
    }
};

TEST_F(MainFrameTest, ProgressMovesDuringARenderingAndEndsAtZero)
{
    ASSERT_TRUE(Start());
    QProgressBar* progress = Frame()->ProgressIndicator();
    ASSERT_NE(progress, nullptr);   // made by the first rendering
    std::set<int> seen;
    QObject::connect(progress, &QProgressBar::valueChanged, [&seen](int value) { seen.insert(value); });
    Press(Qt::Key_F5);
    EXPECT_GT(seen.size(), 50u);
    EXPECT_EQ(*seen.rbegin(), 99);
    EXPECT_EQ(progress->value(), 0);
}

TEST_F(MainFrameTest, MovingThePointerShowsTheColourUnderIt)
{
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    QTest::mouseMove(view->viewport(), QPoint(130, 5));
    EXPECT_EQ(Frame()->GetPaneText(2), "5, 5");
    const QRgb pixel = view->RenderedBitmap().pixel(5, 5);
    const uint32_t color = uint32_t(qRed(pixel)) | uint32_t(qGreen(pixel)) << 8 | uint32_t(qBlue(pixel)) << 16;
    CColorStatic* indicator = Frame()->StatusBar()->ColorIndicator();
    ASSERT_NE(indicator, nullptr);
    EXPECT_EQ(indicator->text(), PixelColorText(color));
    EXPECT_EQ(indicator->BkColor(), QColor(pixel));
}

TEST_F(MainFrameTest, FullScreenHidesAndRemembersAndLeavingRestoresEverything)
{
    ASSERT_TRUE(Start());
    platform::CMDIChildWnd* child = Frame()->MDIGetActive();
    ASSERT_TRUE(child->isMaximized());
    // A main window that is not maximised, to see its place come back.
    Frame()->showNormal();
    Frame()->setGeometry(100, 120, 800, 600);
    QApplication::processEvents();
    const QRect before = Frame()->geometry();
    EXPECT_FALSE(IsChecked(ID_FULL_SCREEN));

    Press(Qt::Key_F);
    EXPECT_TRUE(Frame()->IsFullScreen());
    EXPECT_TRUE(IsChecked(ID_FULL_SCREEN));
    EXPECT_TRUE(Frame()->windowState() & Qt::WindowFullScreen);
    EXPECT_EQ(Frame()->geometry(), Frame()->screen()->geometry());
    EXPECT_FALSE(Frame()->ToolBar()->isVisible());
    EXPECT_FALSE(Frame()->statusBar()->isVisible());
    EXPECT_TRUE(child->isMaximized());
    ASSERT_NE(FloatingBar(), nullptr);
    EXPECT_TRUE(FloatingBar()->isVisible());
    // Inside the window, over the document: no window of its own.
    EXPECT_FALSE(FloatingBar()->isWindow());
    EXPECT_EQ(FloatingBar()->parentWidget(), Frame());
    EXPECT_EQ(FloatingBar()->pos(), QPoint(300, 200));
    // One button, Full Screen; beside it only the (hidden) Continuous
    // Colours note.
    ASSERT_EQ(FloatingBar()->actions().size(), 2);
    EXPECT_EQ(FloatingBar()->actions().front(), Frame()->Action(ID_FULL_SCREEN));
    EXPECT_NE(qobject_cast<QWidgetAction*>(FloatingBar()->actions().back()), nullptr);
    EXPECT_FALSE(FloatingBar()->actions().back()->isVisible());

    Press(Qt::Key_Escape);   // Esc toggles as F does
    EXPECT_FALSE(Frame()->IsFullScreen());
    EXPECT_FALSE(IsChecked(ID_FULL_SCREEN));
    EXPECT_FALSE(Frame()->windowState() & Qt::WindowFullScreen);
    EXPECT_EQ(FloatingBar(), nullptr);
    EXPECT_TRUE(Frame()->ToolBar()->isVisible());
    EXPECT_TRUE(Frame()->statusBar()->isVisible());
    EXPECT_EQ(Frame()->geometry(), before);
    EXPECT_TRUE(child->isMaximized());

    // Esc also enters, and the floating button leaves.
    Press(Qt::Key_Escape);
    ASSERT_TRUE(Frame()->IsFullScreen());
    ASSERT_NE(FloatingBar(), nullptr);
    QWidget* button = FloatingBar()->widgetForAction(Frame()->Action(ID_FULL_SCREEN));
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_FALSE(Frame()->IsFullScreen());
    EXPECT_EQ(Frame()->geometry(), before);
}

TEST_F(MainFrameTest, HiddenBarsAndARestoredDocumentWindowComeBackAsTheyWere)
{
    ASSERT_TRUE(Start());
    Frame()->Router().Execute(ID_VIEW_TOOLBAR);
    Frame()->Router().Execute(ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(IsChecked(ID_VIEW_TOOLBAR));
    EXPECT_FALSE(IsChecked(ID_VIEW_STATUS_BAR));
    platform::CMDIChildWnd* child = Frame()->MDIGetActive();
    child->showNormal();
    QApplication::processEvents();
    ASSERT_FALSE(child->isMaximized());
    ASSERT_TRUE(Frame()->isMaximized());
    const QRect before = Frame()->geometry();

    Frame()->Router().Execute(ID_FULL_SCREEN);   // the View menu item
    ASSERT_TRUE(Frame()->IsFullScreen());
    EXPECT_TRUE(child->isMaximized());
    Frame()->Router().Execute(ID_FULL_SCREEN);
    EXPECT_FALSE(Frame()->IsFullScreen());
    EXPECT_FALSE(Frame()->ToolBar()->isVisible());
    EXPECT_FALSE(Frame()->statusBar()->isVisible());
    EXPECT_FALSE(child->isMaximized());
    EXPECT_TRUE(Frame()->isMaximized());
    EXPECT_EQ(Frame()->geometry(), before);

    Frame()->Router().Execute(ID_VIEW_TOOLBAR);
    Frame()->Router().Execute(ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(IsChecked(ID_VIEW_TOOLBAR));
    EXPECT_TRUE(IsChecked(ID_VIEW_STATUS_BAR));
    EXPECT_TRUE(Frame()->ToolBar()->isVisible());
    EXPECT_TRUE(Frame()->statusBar()->isVisible());
}

TEST_F(MainFrameTest, WithoutADocumentWindowFullScreenDoesNothing)
{
    ASSERT_TRUE(Start());
    Close(ActiveDoc());
    ASSERT_EQ(Frame()->MDIGetActive(), nullptr);
    const QRect before = Frame()->geometry();
    Press(Qt::Key_F);
    EXPECT_FALSE(Frame()->IsFullScreen());
    EXPECT_EQ(FloatingBar(), nullptr);
    EXPECT_TRUE(Frame()->ToolBar()->isVisible());
    EXPECT_TRUE(Frame()->statusBar()->isVisible());
    EXPECT_EQ(Frame()->geometry(), before);
}

TEST_F(MainFrameTest, TheModeOutlivesTheDocumentsAndLeavingStillRestoresTheWindow)
{
    ASSERT_TRUE(Start());
    Frame()->showNormal();
    Frame()->setGeometry(50, 60, 700, 500);
    QApplication::processEvents();
    const QRect before = Frame()->geometry();
    Press(Qt::Key_F);
    ASSERT_TRUE(Frame()->IsFullScreen());
    Close(ActiveDoc());
    EXPECT_TRUE(Frame()->IsFullScreen());
    EXPECT_TRUE(IsChecked(ID_FULL_SCREEN));

    Press(Qt::Key_F);
    EXPECT_FALSE(Frame()->IsFullScreen());
    EXPECT_FALSE(Frame()->windowState() & Qt::WindowFullScreen);
    EXPECT_EQ(Frame()->geometry(), before);
    EXPECT_TRUE(Frame()->ToolBar()->isVisible());
    EXPECT_TRUE(Frame()->statusBar()->isVisible());
    EXPECT_EQ(FloatingBar(), nullptr);
}

TEST_F(MainFrameTest, ZoomTenOnA125ImageGivesItsStepsAndBothScrollBars)
{
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    ASSERT_EQ(ActiveDoc()->m_params.m_nWidth, 125u);
    ASSERT_EQ(ActiveDoc()->m_params.m_nHeight, 125u);
    for (int i = 1; i < 10; ++i)
        Press(Qt::Key_Plus, Qt::KeypadModifier);
    ASSERT_EQ(view->ZoomFactor(), 10);
    EXPECT_EQ(view->GetTotalSize(), QSize(1250, 1250));
    EXPECT_EQ(view->GetPageSize(), QSize(125, 125));
    // The bars page by the visible client area, so the thumbs show it.
    EXPECT_EQ(view->horizontalScrollBar()->pageStep(), view->viewport()->width());
    EXPECT_EQ(view->verticalScrollBar()->pageStep(), view->viewport()->height());
    EXPECT_EQ(view->horizontalScrollBar()->singleStep(), 12);
    EXPECT_EQ(view->verticalScrollBar()->singleStep(), 12);
    ASSERT_LT(view->viewport()->width(), 1250);
    ASSERT_LT(view->viewport()->height(), 1250);
    QApplication::processEvents();
    EXPECT_TRUE(view->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(view->verticalScrollBar()->isVisible());
    EXPECT_EQ(view->horizontalScrollBar()->maximum(), 1250 - view->viewport()->width());

    Press(Qt::Key_Asterisk, Qt::KeypadModifier);
    QApplication::processEvents();
    EXPECT_EQ(view->ZoomFactor(), 1);
    EXPECT_FALSE(view->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(view->verticalScrollBar()->isVisible());
}

TEST_F(MainFrameTest, TheAboutBoxShowsTheProgramAndClosesWithOk)
{
    ASSERT_TRUE(Start());
    bool seen = false;
    QTimer::singleShot(0, [&seen] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_EQ(box->objectName(), "CAboutDlg");
        EXPECT_EQ(box->windowTitle(), "About Quorrel");
        QStringList texts;
        bool hasIcon = false;
        for (const QLabel* label : box->findChildren<QLabel*>()) {
            texts << label->text();
            hasIcon = hasIcon || !label->pixmap().isNull();
        }
        EXPECT_TRUE(hasIcon);
        EXPECT_TRUE(texts.contains("Vantorel Quorrel Version 1.0"));
        EXPECT_EQ(texts.filter("Copyright").size(), 1);
        EXPECT_EQ(texts.filter("www.").size(), 1);
        const QList<QPushButton*> buttons = box->findChildren<QPushButton*>();
        ASSERT_EQ(buttons.size(), 1);
        EXPECT_EQ(buttons.front()->text(), "OK");
        QTest::mouseClick(buttons.front(), Qt::LeftButton);
    });
    Frame()->Action(ID_APP_ABOUT)->trigger();
    EXPECT_TRUE(seen);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(MainFrameTest, RecentFilesKeepTheFourLatestNewestFirstAcrossRuns)
{
    ASSERT_TRUE(Start());
    QStringList paths;
    for (int i = 1; i <= 5; ++i) {
        paths << TempPath(QStringLiteral("r%1.wpp").arg(i));
        chosenFiles = {paths.back()};
        Frame()->Router().Execute(ID_FILE_SAVE_AS);
    }
    const QStringList expected = {paths[4], paths[3], paths[2], paths[1]};
    EXPECT_EQ(m_app->GetRecentFileList()->Entries(), expected);
    {
        const auto settings = quorrel::platform::OpenSettings("Local AppWizard-Generated Applications", "Quorrel");
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(settings->value(QStringLiteral("Recent File List/File%1").arg(i + 1)).toString(), expected[i]);
    }
    m_app.reset();

    ASSERT_TRUE(Start());
    EXPECT_EQ(m_app->GetRecentFileList()->Entries(), expected);
    // Opening an older entry makes it the newest.
    Frame()->Action(ID_FILE_MRU_FILE1 + 2)->trigger();
    EXPECT_EQ(ActiveDoc()->GetPathName(), paths[2]);
    EXPECT_EQ(m_app->GetRecentFileList()->Entries(), QStringList({paths[2], paths[4], paths[3], paths[1]}));
}

} // namespace
