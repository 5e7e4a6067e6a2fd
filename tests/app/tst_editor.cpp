// The editor as a user meets it: start-up, the tiled view, F5, Undo/Redo
// through their keys, the five-document limit and the menu bars.

#include "EditorFixture.h"

#include "platform/DocTemplate.h"
#include "platform/MDIChildWnd.h"

#include "model/TileParams.h"

#include <QAction>
#include <QMdiArea>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>

using namespace quorrel;
using namespace quorrel::app;
using quorrel::test::EditorFixture;
using quorrel::test::TileOf;

namespace {

using EditorTest = EditorFixture;

// The image part of the view's bitmap, as a standalone image.
TEST_F(EditorTest, StartsWithANewRandomDocumentRenderedAndTiled)
{
    ASSERT_TRUE(Start());
    EXPECT_EQ(DocumentCount(), 1);
    EXPECT_EQ(g_nOpenDocs, 1);
    CQuorrelView* view = ActiveView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->RenderedBitmap().size(), QSize(3000, 2000));
    EXPECT_TRUE(view->IsRendered());
    EXPECT_EQ(view->History().Size(), 1u);          // the first generation
    EXPECT_TRUE(ActiveDoc()->IsModified());
    EXPECT_EQ(ActiveDoc()->GetTitle(), "Quorrel1");
    EXPECT_EQ(Frame()->windowTitle(), "Quorrel - [Quorrel1]");
    EXPECT_TRUE(Frame()->HasDocumentMenus());
    EXPECT_FALSE(IsEnabled(ID_EDIT_UNDO));
    EXPECT_FALSE(IsEnabled(ID_EDIT_REDO));
    EXPECT_TRUE(IsEnabled(ID_RANDOM_GENERATION));
    for (const int id : {ID_PROPERTIES, ID_COEFFICIENTS, ID_EXPORT_IMAGE, ID_SET_AS_WALLPAPER, ID_SLIDE_SHOW,
                         ID_RANDOM_DESKTOP})
        EXPECT_TRUE(IsEnabled(id)) << id;
    EXPECT_EQ(Frame()->GetPaneText(2), "0, 0");
    EXPECT_EQ(Frame()->GetPaneText(3), "RGB(0, 0, 0)");

    // The image is not blank and repeats across the window.
    const QImage tile = TileOf(view);
    EXPECT_GT(tile.convertToFormat(QImage::Format_Indexed8).colorCount(), 4);
    view->parentWidget()->showNormal();
    view->parentWidget()->resize(1200, 900);
    QApplication::processEvents();
    EXPECT_EQ(Frame()->windowTitle(), "Quorrel - Quorrel1");
    const QImage shot = view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_GE(shot.width(), 2 * tile.width() + 10);
    ASSERT_GE(shot.height(), 2 * tile.height() + 10);
    for (const QPoint p : {QPoint(3, 4), QPoint(60, 100), QPoint(124, 124)}) {
        EXPECT_EQ(shot.pixel(p), tile.pixel(p));
        EXPECT_EQ(shot.pixel(p + QPoint(125, 0)), tile.pixel(p));
        EXPECT_EQ(shot.pixel(p + QPoint(250, 125)), tile.pixel(p));
    }
}

TEST_F(EditorTest, A1000By700ClientShowsEveryPixelFromTheTileAtItsModuloPosition)
{
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    QWidget* child = view->parentWidget();
    child->showNormal();
    child->resize(child->size() + (QSize(1000, 700) - view->viewport()->size()));
    QApplication::processEvents();
    ASSERT_EQ(view->viewport()->size(), QSize(1000, 700));
    EXPECT_FALSE(view->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(view->verticalScrollBar()->isVisible());

    const QImage tile = TileOf(view);
    ASSERT_EQ(tile.size(), QSize(125, 125));
    const QImage shot = view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int wrong = 0;
    for (int y = 0; y < 700; ++y)
        for (int x = 0; x < 1000; ++x)
            wrong += shot.pixel(x, y) != tile.pixel(x % 125, y % 125) ? 1 : 0;
    EXPECT_EQ(wrong, 0);
}

TEST_F(EditorTest, F5GeneratesAndUndoRedoWalkTheHistoryThroughTheirKeys)
{
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    const QImage first = TileOf(view);
    const auto firstParams = std::make_unique<model::CTileParams>(ActiveDoc()->m_params);

    EXPECT_FALSE(Frame()->Action(ID_EDIT_UNDO)->isEnabled());
    Press(Qt::Key_F5);
    ASSERT_EQ(view->History().Size(), 2u);
    const QImage second = TileOf(view);
    EXPECT_NE(second, first);
    // The idle-time update has enabled the Undo button and menu item by itself.
    QApplication::processEvents();
    EXPECT_TRUE(Frame()->Action(ID_EDIT_UNDO)->isEnabled());

    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(model::SameParams(ActiveDoc()->m_params, *firstParams));
    EXPECT_EQ(TileOf(view), first);
    EXPECT_FALSE(IsEnabled(ID_EDIT_UNDO));
    EXPECT_TRUE(IsEnabled(ID_EDIT_REDO));

    // Undo is disabled now: its keys do nothing.
    Press(Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(view->History().Position(), 0u);

    Press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(TileOf(view), second);
    EXPECT_FALSE(IsEnabled(ID_EDIT_REDO));
    Press(Qt::Key_Backspace, Qt::AltModifier);   // the second undo key
    EXPECT_EQ(TileOf(view), first);

    // Refresh renders again and leaves the history as it was.
    Press(Qt::Key_R);
    EXPECT_EQ(TileOf(view), first);
    EXPECT_EQ(view->History().Position(), 0u);
    EXPECT_TRUE(IsEnabled(ID_EDIT_REDO));

    // A push after Undo cuts the redo branch.
    Press(Qt::Key_F5);
    EXPECT_EQ(view->History().Size(), 2u);
    EXPECT_FALSE(IsEnabled(ID_EDIT_REDO));
}

TEST_F(EditorTest, UndoNeverBringsBackTheOpenedState)
{
    ASSERT_TRUE(Start());
    const QString path = TempPath("opened.wpp");
    chosenFiles = {path};
    Press(Qt::Key_S, Qt::ControlModifier);
    chosenFiles = {path};
    Press(Qt::Key_O, Qt::ControlModifier);   // open already: it only comes forward
    EXPECT_EQ(fileDialogs, 2);
    EXPECT_EQ(DocumentCount(), 1);
    ActiveDoc()->OnCloseDocument();
    ASSERT_TRUE(m_app->OpenDocumentFile(path));
    EXPECT_EQ(ActiveView()->History().Size(), 0u);
    EXPECT_TRUE(ActiveView()->IsRendered());
    EXPECT_FALSE(ActiveDoc()->IsModified());
    Press(Qt::Key_F5);
    EXPECT_FALSE(IsEnabled(ID_EDIT_UNDO));
}

TEST_F(EditorTest, AtFiveOpenDocumentsNewOpenAndRecentFilesAreDisabledAlsoThroughKeys)
{
    ASSERT_TRUE(Start());
    const QString path = TempPath("recent.wpp");
    chosenFiles = {path};
    Press(Qt::Key_S, Qt::ControlModifier);   // puts a file on the recent list
    ASSERT_EQ(m_app->GetRecentFileList()->Entries().size(), 1);
    EXPECT_TRUE(IsEnabled(ID_FILE_MRU_FILE1));

    for (int i = 0; i < 4; ++i)
        Press(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(DocumentCount(), 5);
    EXPECT_EQ(g_nOpenDocs, 5);
    EXPECT_EQ(ActiveDoc()->GetTitle(), "Quorrel5");
    EXPECT_FALSE(IsEnabled(ID_FILE_NEW));
    EXPECT_FALSE(IsEnabled(ID_FILE_OPEN));
    EXPECT_FALSE(IsEnabled(ID_FILE_MRU_FILE1));

    Press(Qt::Key_N, Qt::ControlModifier);
    Press(Qt::Key_O, Qt::ControlModifier);
    Frame()->Action(ID_FILE_NEW)->trigger();       // the toolbar button / menu item
    EXPECT_EQ(DocumentCount(), 5);
    EXPECT_EQ(fileDialogs, 1);                      // only the save above asked

    Frame()->Router().Execute(ID_FILE_CLOSE);       // modified: answered No
    EXPECT_EQ(DocumentCount(), 4);
    EXPECT_TRUE(IsEnabled(ID_FILE_NEW));
    EXPECT_TRUE(IsEnabled(ID_FILE_MRU_FILE1));
    Press(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(DocumentCount(), 5);
    EXPECT_EQ(ActiveDoc()->GetTitle(), "Quorrel6");
}

TEST_F(EditorTest, ZoomCommandsScaleTheTileAndFollowTheirRules)
{
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    EXPECT_FALSE(IsEnabled(ID_ZOOM_OUT));
    EXPECT_FALSE(IsEnabled(ID_ZOOM_NORMAL));
    Press(Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(view->ZoomFactor(), 1);
    Press(Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(view->ZoomFactor(), 2);
    Press(Qt::Key_Plus);                            // the main keyboard's + is not a zoom key
    EXPECT_EQ(view->ZoomFactor(), 2);
    EXPECT_EQ(view->GetTotalSize(), QSize(250, 250));

    QApplication::processEvents();
    const QImage shot = view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage tile = TileOf(view);
    EXPECT_EQ(shot.pixel(2 * 7 + 1, 2 * 9), tile.pixel(7, 9));
    EXPECT_EQ(shot.pixel(250 + 2 * 7, 2 * 9 + 1), tile.pixel(7, 9));

    QTest::mouseMove(view->viewport(), QPoint(130, 5));
    EXPECT_EQ(Frame()->GetPaneText(2), "65, 2");
    Press(Qt::Key_Asterisk, Qt::KeypadModifier);
    EXPECT_EQ(view->ZoomFactor(), 1);
}

TEST_F(EditorTest, MenuBarsFollowTheActiveDocument)
{
    ASSERT_TRUE(Start());
    auto menuTitles = [this] {
        QStringList titles;
        for (QAction* action : Frame()->menuBar()->actions())
            titles << action->text();
        return titles;
    };
    EXPECT_EQ(menuTitles(), (QStringList{"&File", "&Edit", "&View", "&Window", "&Help"}));
    EXPECT_EQ(Frame()->Action(ID_EDIT_UNDO)->text(), "&Undo\tCtrl+Z");
    EXPECT_EQ(Frame()->Action(ID_ZOOM_IN)->text(), "Zoom &In\tCtrl++, Num +");
    EXPECT_EQ(Frame()->Action(ID_FILE_CLOSE)->text(), "&Close\tCtrl+W");
    EXPECT_EQ(Frame()->Action(ID_FILE_NEW)->statusTip(), "Create a new document");
    EXPECT_EQ(Frame()->Action(ID_FILE_NEW)->toolTip(), "New");

    Frame()->Router().Execute(ID_FILE_CLOSE);
    QApplication::processEvents();
    EXPECT_EQ(DocumentCount(), 0);
    EXPECT_EQ(menuTitles(), (QStringList{"&File", "&View", "&Help"}));
    EXPECT_EQ(Frame()->windowTitle(), "Quorrel");
    EXPECT_FALSE(IsEnabled(ID_FILE_SAVE));
    EXPECT_FALSE(IsEnabled(ID_RANDOM_GENERATION));
    Press(Qt::Key_F5);                              // no view: nothing happens
    EXPECT_EQ(DocumentCount(), 0);
    EXPECT_TRUE(IsEnabled(ID_FILE_NEW));
    Press(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(DocumentCount(), 1);
    EXPECT_EQ(menuTitles().size(), 5);
}

TEST_F(EditorTest, NewWindowGivesASecondViewWithItsOwnHistory)
{
    ASSERT_TRUE(Start());
    CQuorrelView* first = ActiveView();
    Frame()->Router().Execute(ID_WINDOW_NEW);
    CQuorrelView* second = ActiveView();
    ASSERT_NE(first, second);
    EXPECT_EQ(first->GetParentFrame()->windowTitle(), "Quorrel1:1");
    EXPECT_EQ(second->GetDocument(), first->GetDocument());
    EXPECT_EQ(g_nOpenDocs, 1);
    EXPECT_EQ(second->GetParentFrame()->windowTitle(), "Quorrel1:2");
    EXPECT_EQ(second->History().Size(), 1u);   // a new document runs its first display again
    Press(Qt::Key_F5);
    EXPECT_EQ(second->History().Size(), 2u);
    EXPECT_EQ(first->History().Size(), 1u);
    EXPECT_TRUE(IsEnabled(ID_EDIT_UNDO));

    QMenu* windowMenu = nullptr;
    for (QAction* action : Frame()->menuBar()->actions())
        if (action->text() == "&Window")
            windowMenu = action->menu();
    ASSERT_NE(windowMenu, nullptr);
    emit windowMenu->aboutToShow();
    QStringList items;
    for (QAction* action : windowMenu->actions())
        if (!action->isSeparator())
            items << action->text();
    EXPECT_EQ(items, (QStringList{"&New Window", "&Cascade", "&Tile", "&Arrange Icons", "&1 Quorrel1:1",
                                  "&2 Quorrel1:2"}));
    EXPECT_TRUE(windowMenu->actions().last()->isChecked());
    windowMenu->actions()[windowMenu->actions().size() - 2]->trigger();
    EXPECT_EQ(ActiveView(), first);

    // Closing one of two windows keeps the document open without asking.
    second->GetParentFrame()->close();
    QApplication::processEvents();
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(DocumentCount(), 1);
    EXPECT_EQ(first->GetParentFrame()->windowTitle(), "Quorrel1");
}

} // namespace

namespace {

// A new document whose first Properties sheet is cancelled.
class CancelledSheetTest : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        CQuorrelView::SetPropertySheetRunner([](CQuorrelView&, bool, bool&) { return false; });
    }
    void TearDown() override
    {
        EditorFixture::TearDown();
        CQuorrelView::SetPropertySheetRunner({});
    }
};

TEST_F(CancelledSheetTest, ThePlaceholderRepeatsAtScaleOneUntilTheFirstRendering)
{
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    EXPECT_FALSE(view->IsRendered());
    EXPECT_EQ(view->History().Size(), 0u);
    EXPECT_FALSE(ActiveDoc()->IsModified());
    EXPECT_EQ(ActiveDoc()->m_params.m_nCosCos[0][0][0], 0);

    const QImage placeholder = QImage(":/images/placeholder.png").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(placeholder.size(), QSize(343, 125));
    Press(Qt::Key_Plus, Qt::KeypadModifier);   // the zoom does not scale the placeholder
    Press(Qt::Key_Plus, Qt::KeypadModifier);
    view->horizontalScrollBar()->setValue(0);
    view->verticalScrollBar()->setValue(0);
    QApplication::processEvents();
    const QImage shot = view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (const QPoint p : {QPoint(5, 5), QPoint(343 + 100, 60), QPoint(200, 125 + 7), QPoint(700, 300)}) {
        if (p.x() < shot.width() && p.y() < shot.height()) {
            EXPECT_EQ(shot.pixel(p), placeholder.pixel(p.x() % 343, p.y() % 125)) << p.x() << "," << p.y();
        }
    }

    // The first generation replaces it.
    Press(Qt::Key_F5);
    EXPECT_TRUE(view->IsRendered());
    EXPECT_EQ(view->History().Size(), 1u);
    EXPECT_TRUE(ActiveDoc()->IsModified());
}

} // namespace
