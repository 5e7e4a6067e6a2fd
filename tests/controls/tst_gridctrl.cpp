// CGridCtrl: structure and cell model, keyboard navigation that never enters
// the fixed cells, selection, Delete, copy, cut and paste, mouse selection
// and resizing, wheel scrolling, auto-scroll and printing.

#include "support/GridFixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QPdfWriter>
#include <QScrollBar>
#include <QTemporaryDir>

using namespace quorrel::controls;

TEST(GridStructure, CountsKeepTheFixedCountsConsistent)
{
    CGridCtrl grid;
    EXPECT_TRUE(grid.SetRowCount(7));
    EXPECT_TRUE(grid.SetColumnCount(9));
    EXPECT_TRUE(grid.SetFixedRowCount(1));
    EXPECT_TRUE(grid.SetFixedColumnCount(1));
    EXPECT_EQ(grid.GetColumnCount() - grid.GetFixedColumnCount(), 8);
    // Lowering a count below the fixed count lowers the fixed count.
    grid.SetRowCount(0);
    EXPECT_EQ(grid.GetFixedRowCount(), 0);
    // Raising a fixed count above the count raises the count.
    grid.SetFixedColumnCount(12);
    EXPECT_EQ(grid.GetColumnCount(), 12);
    EXPECT_FALSE(grid.SetRowCount(-1));
}

TEST(GridStructure, NewRowsAndColumnsTakeTheDefaultSizes)
{
    CGridCtrl grid;
    grid.SetRowCount(3);
    grid.SetColumnCount(2);
    EXPECT_EQ(grid.GetRowHeight(2), grid.GetDefaultRowHeight());
    EXPECT_EQ(grid.GetColumnWidth(1), grid.GetDefaultColumnWidth());
    // The defaults follow the font: a blank of margin on each side.
    const QFontMetrics fm(grid.font());
    EXPECT_EQ(grid.GetCellMargin(), fm.horizontalAdvance(QLatin1Char(' ')));
    EXPECT_EQ(grid.GetDefaultRowHeight(), fm.height() + fm.leading() + 2 * grid.GetCellMargin());
    EXPECT_EQ(grid.GetDefaultColumnWidth(), 12 * fm.averageCharWidth() + 2 * grid.GetCellMargin());

    EXPECT_TRUE(grid.SetRowHeight(0, 40));
    EXPECT_EQ(grid.GetRowHeight(0), 40);
    EXPECT_FALSE(grid.SetRowHeight(3, 40));
    EXPECT_FALSE(grid.SetColumnWidth(0, -1));
    EXPECT_FALSE(grid.SetColumnWidth(-1, 10));
}

TEST(GridStructure, SettingTheFontReachesEveryCell)
{
    CGridCtrl grid;
    grid.SetRowCount(2);
    grid.SetColumnCount(2);
    QFont big = grid.font();
    big.setPixelSize(30);
    grid.setFont(big);
    EXPECT_EQ(grid.GetCell(1, 1)->m_font.pixelSize(), 30);
    EXPECT_EQ(grid.GetCell(1, 1)->m_nMargin, QFontMetrics(big).horizontalAdvance(QLatin1Char(' ')));
}

TEST(GridStructure, AutoSizeFitsTheLargestCell)
{
    CGridCtrl grid;
    grid.SetRowCount(2);
    grid.SetColumnCount(2);
    grid.SetItemText(0, 1, QStringLiteral("1"));
    grid.SetItemText(1, 1, QStringLiteral("-2147483648"));
    grid.AutoSize();
    const QFontMetrics fm(grid.font());
    EXPECT_GE(grid.GetColumnWidth(1), fm.horizontalAdvance(QStringLiteral("-2147483648")) + 2 * grid.GetCellMargin());
    EXPECT_LT(grid.GetColumnWidth(0), grid.GetColumnWidth(1));
    EXPECT_GE(grid.GetRowHeight(0), fm.height());
}

namespace {

// A grid whose cells run out after a given number.
class ScarceGrid final : public CGridCtrl {
public:
    explicit ScarceGrid(int cells) : m_nLeft(cells) {}

protected:
    CGridCell* CreateCell(int nRow, int nCol) override
    {
        if (m_nLeft-- <= 0)
            throw std::bad_alloc();
        return CGridCtrl::CreateCell(nRow, nCol);
    }

private:
    int m_nLeft;
};

} // namespace

TEST(GridStructure, RunningOutOfMemoryReachesTheCallerAndLeavesAUsableGrid)
{
    ScarceGrid grid(20);
    grid.resize(300, 200);
    grid.SetColumnCount(9); // no rows yet: no cells needed
    EXPECT_THROW(grid.SetRowCount(7), std::bad_alloc);
    // The rows that were started exist; missing cells read as empty.
    EXPECT_GE(grid.GetRowCount(), 2);
    EXPECT_EQ(grid.GetItemText(grid.GetRowCount() - 1, 8), QString());
    EXPECT_FALSE(grid.SetItemText(grid.GetRowCount() - 1, 8, QStringLiteral("x")));
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(1);
    EXPECT_FALSE(grid.viewport()->grab().isNull());
}

TEST(GridCells, SetItemAndGetItemCopyTheMaskedFields)
{
    CGridCtrl grid;
    grid.SetRowCount(3);
    grid.SetColumnCount(3);
    CGridItem item;
    item.row = 1;
    item.col = 2;
    item.mask = GIM_TEXT | GIM_FORMAT | GIM_BKCLR | GIM_PARAM;
    item.strText = QStringLiteral("0.50");
    item.nFormat = DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
    item.crBkClr = 0x123456;
    item.crFgClr = 0x654321; // not in the mask
    item.lParam = 77;
    ASSERT_TRUE(grid.SetItem(item));

    CGridItem back;
    back.row = 1;
    back.col = 2;
    back.mask = GIM_TEXT | GIM_FORMAT | GIM_BKCLR | GIM_FGCLR | GIM_PARAM;
    ASSERT_TRUE(grid.GetItem(back));
    EXPECT_EQ(back.strText, QStringLiteral("0.50"));
    EXPECT_EQ(back.nFormat, item.nFormat);
    EXPECT_EQ(back.crBkClr, 0x123456u);
    EXPECT_EQ(back.crFgClr, CLR_DEFAULT);
    EXPECT_EQ(back.lParam, 77u);

    item.row = 3;
    EXPECT_FALSE(grid.SetItem(item));
    back.row = -1;
    EXPECT_FALSE(grid.GetItem(back));
    EXPECT_EQ(grid.GetItemState(5, 5), 0u);
    EXPECT_FALSE(grid.SetItemText(0, 3, QStringLiteral("x")));
    EXPECT_TRUE(grid.GetItemText(0, 3).isEmpty());
}

TEST(GridCells, StateKeepsTheSelectionInStep)
{
    CGridCtrl grid;
    grid.SetRowCount(3);
    grid.SetColumnCount(3);
    grid.SetItemState(1, 1, GCS_SELECTED | GCS_READONLY);
    EXPECT_TRUE(grid.IsCellSelected(1, 1));
    EXPECT_EQ(grid.GetSelectedCount(), 1);
    grid.SetItemState(1, 1, GCS_READONLY);
    EXPECT_FALSE(grid.IsCellSelected(1, 1));
    EXPECT_EQ(grid.GetItemState(1, 1), GCS_READONLY);
}

TEST_F(GridFixture, ArrowsNeverEnterTheFixedCells)
{
    ClickCell(1, 1);
    Key(Qt::Key_Left);
    Key(Qt::Key_Up);
    EXPECT_EQ(Focus(), (CCellID{1, 1}));
    for (int i = 0; i < 12; ++i)
        Key(Qt::Key_Right);
    EXPECT_EQ(Focus(), (CCellID{1, 8}));
    for (int i = 0; i < 10; ++i)
        Key(Qt::Key_Down);
    EXPECT_EQ(Focus(), (CCellID{6, 8}));
    Key(Qt::Key_Home);
    EXPECT_EQ(Focus(), (CCellID{1, 8}));
    Key(Qt::Key_End);
    EXPECT_EQ(Focus(), (CCellID{6, 8}));
    // Without a focus cell the first key lands on the first scrolling cell.
    grid->SetFocusCell(-1, -1);
    Key(Qt::Key_Up);
    EXPECT_EQ(Focus(), (CCellID{1, 1}));
}

TEST_F(GridFixture, ClickingAHeaderPutsTheFocusOnAScrollingCell)
{
    ClickCell(0, 4);
    EXPECT_EQ(Focus(), (CCellID{1, 4}));
    // The whole column is selected.
    EXPECT_EQ(grid->GetSelectedCount(), 6);
    ClickCell(3, 0);
    EXPECT_EQ(Focus(), (CCellID{3, 1}));
    EXPECT_EQ(grid->GetSelectedCount(), 8);
}

TEST_F(GridFixture, MovingTheFocusNotifiesBothCells)
{
    ClickCell(2, 2);
    QSignalSpy changing(grid, &CGridCtrl::selChanging);
    QSignalSpy changed(grid, &CGridCtrl::selChanged);
    Key(Qt::Key_Right);
    ASSERT_EQ(changing.count(), 1);
    EXPECT_EQ(changing.at(0), (QList<QVariant>{2, 2}));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0), (QList<QVariant>{2, 3}));
    EXPECT_EQ(grid->GetItemState(2, 2) & GCS_FOCUSED, 0u);
    EXPECT_EQ(grid->GetItemState(2, 3) & GCS_FOCUSED, GCS_FOCUSED);
}

TEST_F(GridFixture, ShiftExtendsTheSelectionAndPlainKeysCollapseIt)
{
    ClickCell(2, 2);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid->GetSelectedCount(), 4);
    const GridCellRange range = grid->GetSelectedCellRange();
    EXPECT_EQ(range.minRow, 2);
    EXPECT_EQ(range.maxRow, 3);
    EXPECT_EQ(range.minCol, 2);
    EXPECT_EQ(range.maxCol, 3);
    Key(Qt::Key_Left);
    EXPECT_EQ(grid->GetSelectedCount(), 1);
    EXPECT_TRUE(grid->IsCellSelected(3, 2));
}

TEST_F(GridFixture, CopyingATwoByTwoSelection)
{
    ClickCell(2, 2);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("22\t23\n32\t33"));
}

TEST_F(GridFixture, DraggingSelectsARectangleInListModeWholeRows)
{
    QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, Center(2, 2));
    QTest::mouseMove(View(), Center(3, 4));
    QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, Center(3, 4));
    EXPECT_EQ(grid->GetSelectedCount(), 6);
    EXPECT_EQ(grid->CopyTextFromSelection(), QStringLiteral("22\t23\t24\n32\t33\t34"));

    grid->SetListMode(true);
    ClickCell(4, 3);
    EXPECT_EQ(grid->GetSelectedCount(), 8);
}

TEST_F(GridFixture, CtrlClickKeepsTheSelection)
{
    ClickCell(2, 2);
    ClickCell(4, 4, Qt::ControlModifier);
    EXPECT_TRUE(grid->IsCellSelected(2, 2));
    EXPECT_TRUE(grid->IsCellSelected(4, 4));
    // Copy spans the rectangle; unselected cells give nothing between tabs.
    EXPECT_EQ(grid->CopyTextFromSelection(), QStringLiteral("22\t\t\n\t\t\n\t\t44"));
    ClickCell(5, 5);
    EXPECT_EQ(grid->GetSelectedCount(), 1);
}

TEST_F(GridFixture, DeleteClearsTheFocusCellWithBothNotifications)
{
    ClickCell(3, 3);
    Key(Qt::Key_Delete);
    EXPECT_TRUE(grid->GetItemText(3, 3).isEmpty());
    EXPECT_TRUE(grid->GetModified(3, 3));
    EXPECT_EQ(spyBegin->count(), 1);
    EXPECT_EQ(spyEnd->count(), 1);
}

TEST_F(GridFixture, PastingALineFillsCellsToTheRightSkippingReadOnlyOnes)
{
    grid->SetItemState(3, 4, GCS_READONLY);
    ClickCell(2, 3);
    QGuiApplication::clipboard()->setText(QStringLiteral("1,2,3\n4\t5\t6\n"));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(grid->GetItemText(2, 3), QStringLiteral("1"));
    EXPECT_EQ(grid->GetItemText(2, 4), QStringLiteral("2"));
    EXPECT_EQ(grid->GetItemText(2, 5), QStringLiteral("3"));
    EXPECT_EQ(grid->GetItemText(3, 3), QStringLiteral("4"));
    EXPECT_EQ(grid->GetItemText(3, 4), QStringLiteral("34")); // read-only
    EXPECT_EQ(grid->GetItemText(3, 5), QStringLiteral("6"));
    EXPECT_EQ(grid->GetItemText(4, 3), QStringLiteral("43")); // the last line feed adds no line
    EXPECT_TRUE(grid->GetModified(2, 5));
    EXPECT_FALSE(grid->GetModified(3, 4));
    EXPECT_EQ(spyBegin->count(), 5);
    EXPECT_EQ(spyEnd->count(), 5);
    EXPECT_FALSE(grid->IsCellSelected(2, 3));
}

TEST_F(GridFixture, PastingNeverWritesPastTheGrid)
{
    ClickCell(6, 7);
    grid->PasteTextToGrid(QStringLiteral("a,b,c\nd"));
    EXPECT_EQ(grid->GetItemText(6, 7), QStringLiteral("a"));
    EXPECT_EQ(grid->GetItemText(6, 8), QStringLiteral("b"));
    EXPECT_EQ(grid->GetRowCount(), 7);
    EXPECT_EQ(grid->GetColumnCount(), 9);
}

TEST_F(GridFixture, CutCopiesAndClearsTheEditableSelectedCells)
{
    grid->SetItemState(2, 3, GCS_READONLY);
    ClickCell(2, 2);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("22\t23"));
    EXPECT_TRUE(grid->GetItemText(2, 2).isEmpty());
    EXPECT_EQ(grid->GetItemText(2, 3), QStringLiteral("23"));
}

namespace {

struct ClipboardKeyCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    const char* clipboard;   // the clipboard's text afterwards
    const char* cell;        // the focus cell's text afterwards
};

void PrintTo(const ClipboardKeyCase& c, std::ostream* os) { *os << c.name; }

class GridClipboardKeys : public GridFixture, public ::testing::WithParamInterface<ClipboardKeyCase> {};

} // namespace

// Each clipboard key does its work in the grid, also while the window holds
// an action on the same keys (the editor's Cut, Copy and Paste commands).
TEST_P(GridClipboardKeys, EveryClipboardKeyWorksInTheGrid)
{
    const ClipboardKeyCase& c = GetParam();
    int windowShortcuts = 0;
    auto* action = new QAction(window.get());
    action->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Insert), QKeySequence(Qt::SHIFT | Qt::Key_Delete),
                          QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    QObject::connect(action, &QAction::triggered, [&windowShortcuts] { ++windowShortcuts; });
    window->addAction(action);
    QGuiApplication::clipboard()->setText(QStringLiteral("p"));
    ClickCell(2, 2);
    Key(c.key, c.mods);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromLatin1(c.clipboard));
    EXPECT_EQ(grid->GetItemText(2, 2), QString::fromLatin1(c.cell));
    EXPECT_EQ(grid->GetItemText(2, 3), QStringLiteral("23"));
    EXPECT_EQ(windowShortcuts, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, GridClipboardKeys,
    ::testing::Values(ClipboardKeyCase{"CtrlC", Qt::Key_C, Qt::ControlModifier, "22", "22"},
                      ClipboardKeyCase{"CtrlInsert", Qt::Key_Insert, Qt::ControlModifier, "22", "22"},
                      ClipboardKeyCase{"CtrlX", Qt::Key_X, Qt::ControlModifier, "22", ""},
                      ClipboardKeyCase{"ShiftDelete", Qt::Key_Delete, Qt::ShiftModifier, "22", ""},
                      ClipboardKeyCase{"CtrlV", Qt::Key_V, Qt::ControlModifier, "p", "p"},
                      ClipboardKeyCase{"ShiftInsert", Qt::Key_Insert, Qt::ShiftModifier, "p", "p"},
                      ClipboardKeyCase{"Delete", Qt::Key_Delete, Qt::NoModifier, "p", ""},
                      ClipboardKeyCase{"Insert", Qt::Key_Insert, Qt::NoModifier, "p", "22"}),
    [](const ::testing::TestParamInfo<ClipboardKeyCase>& info) { return std::string(info.param.name); });

TEST_F(GridFixture, SelectAllTakesEveryScrollingCell)
{
    ClickCell(1, 1);
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(grid->GetSelectedCount(), 6 * 8);
    EXPECT_FALSE(grid->IsCellSelected(0, 1));
}

TEST_F(GridFixture, DraggingAColumnDividerResizesTheColumn)
{
    QRect header;
    grid->GetCellRect(0, 2, header);
    const QPoint divider(header.left() + header.width(), header.center().y());
    QTest::mouseMove(View(), divider);
    EXPECT_EQ(View()->cursor().shape(), Qt::SizeHorCursor);
    QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, divider);
    QTest::mouseMove(View(), divider + QPoint(25, 0));
    QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, divider + QPoint(25, 0));
    EXPECT_EQ(grid->GetColumnWidth(2), 39 + 25);
    EXPECT_EQ(Focus(), CCellID{}); // resizing selects nothing

    // Dragged left of the column's own left edge it stops at zero width.
    QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, divider + QPoint(25, 0));
    QTest::mouseMove(View(), QPoint(2, header.center().y()));
    QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, QPoint(2, header.center().y()));
    EXPECT_EQ(grid->GetColumnWidth(2), 0);
}

TEST_F(GridFixture, RowResizingCanBeSwitchedOff)
{
    grid->SetRowResize(false);
    QRect header;
    grid->GetCellRect(2, 0, header);
    const QPoint divider(header.center().x(), header.top() + header.height());
    QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, divider);
    QTest::mouseMove(View(), divider + QPoint(0, 20));
    QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, divider + QPoint(0, 20));
    EXPECT_EQ(grid->GetRowHeight(2), 40);

    grid->SetRowResize(true);
    QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, divider);
    QTest::mouseMove(View(), divider + QPoint(0, 20));
    QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, divider + QPoint(0, 20));
    EXPECT_EQ(grid->GetRowHeight(2), 60);
}

TEST_F(GridFixture, WheelScrollsByTheWheelSetting)
{
    Build(60, 9, 20, 39);
    EXPECT_EQ(grid->GetWheelScrollLines(), QApplication::wheelScrollLines());
    grid->SetWheelScrollLines(3);
    QScrollBar* v = grid->verticalScrollBar();
    ASSERT_GT(v->maximum(), 10);
    QWheelEvent down(QPointF(50, 50), grid->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(View(), &down);
    EXPECT_EQ(v->value(), 3);
    // Two notches up at once.
    QWheelEvent up(QPointF(50, 50), grid->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 240), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(View(), &up);
    EXPECT_EQ(v->value(), 0);
    // -1 means a page a notch.
    grid->SetWheelScrollLines(-1);
    QApplication::sendEvent(View(), &down);
    EXPECT_EQ(v->value(), v->pageStep());
}

TEST_F(GridFixture, PageKeysScrollAndMoveTheFocusByTheRowsScrolled)
{
    Build(60, 9, 20, 39);
    ClickCell(2, 2);
    QScrollBar* v = grid->verticalScrollBar();
    Key(Qt::Key_PageDown);
    const int scrolled = v->value();
    EXPECT_GT(scrolled, 0);
    EXPECT_EQ(Focus().row, 2 + scrolled);
    EXPECT_TRUE(grid->IsCellVisible(Focus().row, Focus().col));
    Key(Qt::Key_PageUp);
    EXPECT_EQ(v->value(), 0);
    EXPECT_EQ(Focus().row, 2);
    Key(Qt::Key_End);
    EXPECT_EQ(Focus().row, 59);
    EXPECT_TRUE(grid->IsCellVisible(59, 2));
    Key(Qt::Key_Home);
    EXPECT_EQ(Focus().row, 1);
    EXPECT_EQ(v->value(), 0);
}

TEST_F(GridFixture, ArrowsScrollTheFocusCellIntoView)
{
    Build(60, 9, 20, 39);
    ClickCell(1, 1);
    for (int i = 0; i < 30; ++i)
        Key(Qt::Key_Down);
    EXPECT_EQ(Focus().row, 31);
    EXPECT_TRUE(grid->IsCellVisible(31, 1));
    QRect rect;
    ASSERT_TRUE(grid->GetCellRect(31, 1, rect));
    EXPECT_LE(rect.bottom(), View()->height());
    // Fixed rows stay at the top while the rest scrolls.
    QRect header;
    grid->GetCellRect(0, 1, header);
    EXPECT_EQ(header.top(), 0);
}

TEST_F(GridFixture, DraggingBelowTheGridAutoScrollsAndExtendsTheSelection)
{
    Build(60, 9, 20, 39);
    QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, Center(2, 2));
    QTest::mouseMove(View(), QPoint(Center(2, 2).x(), View()->height() + 30));
    QTRY_VERIFY_WITH_TIMEOUT(grid->verticalScrollBar()->value() >= 3, 2000);
    QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, QPoint(Center(2, 2).x(), View()->height() + 30));
    const int top = grid->verticalScrollBar()->value();
    EXPECT_GT(Focus().row, 2 + top - 1);
    EXPECT_TRUE(grid->IsCellSelected(2, 2));
    EXPECT_TRUE(grid->IsCellSelected(Focus().row, 2));
    // Released: no more scrolling.
    QTest::qWait(100);
    EXPECT_EQ(grid->verticalScrollBar()->value(), top);
}

TEST_F(GridFixture, PaintsGridLinesAndGreyReadOnlyCells)
{
    grid->SetItemBackColor(2, 2, 0x00C8D0D4);
    grid->SetItemText(2, 2, QString());
    const QImage image = grid->viewport()->grab().toImage();
    QRect cell;
    ASSERT_TRUE(grid->GetCellRect(2, 2, cell));
    EXPECT_EQ(QColor(image.pixel(cell.center())), FromColorRef(0x00C8D0D4));
    EXPECT_EQ(QColor(image.pixel(cell.right(), cell.center().y())), FromColorRef(CGridCtrl::kGridLineColor));
}

TEST(GridPrinting, PagesFollowTheRowsAndCarryAPageFooter)
{
    CGridCtrl grid;
    grid.resize(300, 300);
    grid.SetRowCount(7);
    grid.SetColumnCount(9);
    grid.SetFixedRowCount(1);
    QTemporaryDir dir;
    QPdfWriter small(dir.filePath(QStringLiteral("small.pdf")));
    EXPECT_EQ(grid.PrintPageCount(small), 1);
    grid.SetRowCount(400);
    QPdfWriter big(dir.filePath(QStringLiteral("big.pdf")));
    const int pages = grid.PrintPageCount(big);
    EXPECT_GT(pages, 1);
    grid.Print(big);
    QFile file(dir.filePath(QStringLiteral("big.pdf")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page "), pages);
}

TEST_F(GridFixture, WithoutTabNavigationTabLeavesTheGrid)
{
    ClickCell(2, 2);
    Key(Qt::Key_Tab);
    EXPECT_EQ(Focus(), (CCellID{2, 3}));
    EXPECT_EQ(QApplication::focusWidget(), grid);
    grid->SetHandleTabKey(false);
    Key(Qt::Key_Tab);
    EXPECT_EQ(Focus(), (CCellID{2, 3}));
    EXPECT_EQ(QApplication::focusWidget(), other);
}

TEST_F(GridFixture, AHeaderClickFocusesTheFirstScrollingRowOrColumnEvenWhenScrolled)
{
    Build(40, 30, 20, 39);
    grid->verticalScrollBar()->setValue(5);
    grid->horizontalScrollBar()->setValue(4);
    ASSERT_EQ(grid->GetTopLeftNonFixedCell(), (CCellID{6, 5}));
    ClickCell(0, 7);
    EXPECT_EQ(Focus(), (CCellID{1, 7}));
    EXPECT_TRUE(grid->IsCellSelected(39, 7));
    ClickCell(9, 0);
    EXPECT_EQ(Focus(), (CCellID{9, 1}));
    EXPECT_TRUE(grid->IsCellSelected(9, 29));
}

TEST_F(GridFixture, CtrlTabNeverMovesTheFocusCell)
{
    ClickCell(2, 2);
    for (const auto& [key, mods] : {std::pair{Qt::Key_Tab, Qt::KeyboardModifiers(Qt::ControlModifier)},
                                    std::pair{Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier},
                                    std::pair{Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier}}) {
        QKeyEvent press(QEvent::KeyPress, key, mods);
        QApplication::sendEvent(grid, &press);
        EXPECT_FALSE(press.isAccepted()) << key;   // left to the window
        EXPECT_EQ(Focus(), (CCellID{2, 2}));
        EXPECT_EQ(Edit(), nullptr);
    }
    Key(Qt::Key_Tab);
    EXPECT_EQ(Focus(), (CCellID{2, 3}));
}

TEST_F(GridFixture, OutsideADialogEnterEditsTheFocusCell)
{
    ClickCell(2, 2);
    Key(Qt::Key_Return);
    ASSERT_NE(Edit(), nullptr);
    EXPECT_EQ(Edit()->text(), "22");
}

TEST(GridAutoSize, EveryValueShowsWholeWithoutAnEllipsis)
{
    CGridCtrl grid;
    QFont font = grid.font();
    const QStringList texts = {"100", "1", "7", "-1", "11", "41", "-100", "1000", "77", "-2147483648", "Free"};
    for (const int size : {9, 11, 13, 17}) {
        font.setPixelSize(size);
        grid.setFont(font);
        grid.SetRowCount(2);
        grid.SetColumnCount(int(texts.size()));
        for (int c = 0; c < texts.size(); ++c) {
            grid.SetItemText(1, c, texts[c]);
            grid.SetItemFormat(1, c, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
        }
        grid.AutoSize();
        const QFontMetrics fm(grid.GetCell(1, 0)->m_font);
        for (int c = 0; c < texts.size(); ++c) {
            const int room = grid.GetColumnWidth(c) - 2 * grid.GetCellMargin();
            EXPECT_EQ(fm.elidedText(texts[c], Qt::ElideRight, room), texts[c]) << size << " " << texts[c].toStdString();
        }
    }
}
