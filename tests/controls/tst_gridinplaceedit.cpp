// In-place editing of grid cells with real key and mouse events: what starts
// an edit and where the caret goes, how Tab, Enter, Escape and the arrows end
// it, the end-edit report and moving on, read-only cells.

#include "support/GridFixture.h"

#include <QApplication>

using namespace quorrel::controls;

using GridEdit = GridFixture;

TEST_F(GridEdit, TypingADigitReplacesTheWholeTextAndEnterKeepsIt)
{
    ClickCell(2, 3);
    ASSERT_EQ(Focus(), (CCellID{2, 3}));
    Type("7");
    ASSERT_NE(Edit(), nullptr);
    EXPECT_EQ(Edit()->text(), QStringLiteral("7"));
    EXPECT_EQ(spyBegin->count(), 1);
    Type("5");
    Key(Qt::Key_Return);
    EXPECT_EQ(Edit(), nullptr);
    EXPECT_EQ(grid->GetItemText(2, 3), QStringLiteral("75"));
    EXPECT_TRUE(grid->GetModified(2, 3));
    EXPECT_EQ(spyEnd->count(), 1);
    EXPECT_EQ(spyEnd->at(0), (QList<QVariant>{2, 3}));
    // Enter ends without moving on, and the grid has the focus back.
    EXPECT_EQ(Focus(), (CCellID{2, 3}));
    EXPECT_EQ(QApplication::focusWidget(), grid);
}

TEST_F(GridEdit, EscapeRestoresTheTextAndMarksNothingButStillReports)
{
    ClickCell(2, 3);
    Type("99");
    ASSERT_NE(Edit(), nullptr);
    Key(Qt::Key_Escape);
    EXPECT_EQ(Edit(), nullptr);
    EXPECT_EQ(grid->GetItemText(2, 3), QStringLiteral("23"));
    EXPECT_FALSE(grid->GetModified(2, 3));
    EXPECT_FALSE(grid->GetModified());
    EXPECT_EQ(spyEnd->count(), 1);
    // The window is still open: Escape went to the edit only.
    EXPECT_TRUE(window->isVisible());
}

TEST_F(GridEdit, EnterStartsWithTheCaretAtTheEnd)
{
    ClickCell(2, 3);
    Key(Qt::Key_Return);
    ASSERT_NE(Edit(), nullptr);
    EXPECT_EQ(Edit()->text(), QStringLiteral("23"));
    EXPECT_FALSE(Edit()->hasSelectedText());
    EXPECT_EQ(Edit()->cursorPosition(), 2);
    Type("4");
    Key(Qt::Key_Return);
    EXPECT_EQ(grid->GetItemText(2, 3), QStringLiteral("234"));
}

TEST_F(GridEdit, BackspaceStartsAtTheEndAndIsApplied)
{
    ClickCell(2, 3);
    Key(Qt::Key_Backspace);
    ASSERT_NE(Edit(), nullptr);
    EXPECT_EQ(Edit()->text(), QStringLiteral("2"));
    Key(Qt::Key_Return);
    EXPECT_EQ(grid->GetItemText(2, 3), QStringLiteral("2"));
}

TEST_F(GridEdit, BlankStartsWithEverythingSelected)
{
    ClickCell(2, 3);
    Key(Qt::Key_Space);
    ASSERT_NE(Edit(), nullptr);
    EXPECT_EQ(Edit()->text(), QStringLiteral("23"));
    EXPECT_EQ(Edit()->selectedText(), QStringLiteral("23"));
}

TEST_F(GridEdit, ClickOnTheFocusCellEditsWithTheCaretAtTheEnd)
{
    ClickCell(2, 3);
    EXPECT_EQ(Edit(), nullptr); // the first click only moves the focus
    ClickCell(2, 3);
    ASSERT_NE(Edit(), nullptr);
    EXPECT_EQ(Edit()->cursorPosition(), 2);
    EXPECT_FALSE(Edit()->hasSelectedText());
    // Started by the mouse: the arrows move the caret and keep the edit open.
    Key(Qt::Key_Left);
    ASSERT_NE(Edit(), nullptr);
    EXPECT_EQ(Edit()->cursorPosition(), 1);
    Key(Qt::Key_Down);
    ASSERT_NE(Edit(), nullptr);
    Type("x");
    // Ctrl with an arrow ends it all the same.
    Key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(Edit() ? Edit()->Column() : -1, 4);
    Key(Qt::Key_Escape);
    EXPECT_EQ(grid->GetItemText(2, 3), QStringLiteral("23x"));
}

TEST_F(GridEdit, DoubleClickStartsAnEdit)
{
    QTest::mouseDClick(View(), Qt::LeftButton, Qt::NoModifier, Center(4, 5));
    ASSERT_NE(Edit(), nullptr);
    EXPECT_EQ(Edit()->Row(), 4);
    EXPECT_EQ(Edit()->Column(), 5);
    EXPECT_EQ(Edit()->text(), QStringLiteral("45"));
    EXPECT_EQ(Focus(), (CCellID{4, 5}));
}

TEST_F(GridEdit, TabEndsTheEditAndEditsTheNextCell)
{
    ClickCell(2, 7);
    Type("1");
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid->GetItemText(2, 7), QStringLiteral("1"));
    EXPECT_EQ(Focus(), (CCellID{2, 8}));
    ASSERT_NE(Edit(), nullptr);
    EXPECT_EQ(Edit()->Column(), 8);
    EXPECT_EQ(Edit()->selectedText(), QStringLiteral("28"));
    // At the row's end Tab goes on to the first scrolling column below.
    Key(Qt::Key_Tab);
    EXPECT_EQ(Focus(), (CCellID{3, 1}));
    ASSERT_NE(Edit(), nullptr);
    // Shift+Tab goes back to the end of the previous row.
    Key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(Focus(), (CCellID{2, 8}));
    Key(Qt::Key_Escape);
    EXPECT_EQ(spyEnd->count(), 4);
}

TEST_F(GridEdit, ArrowsEndAKeyStartedEditAndMoveOn)
{
    ClickCell(2, 3);
    Type("8");
    Key(Qt::Key_Down);
    EXPECT_EQ(grid->GetItemText(2, 3), QStringLiteral("8"));
    EXPECT_EQ(Focus(), (CCellID{3, 3}));
    ASSERT_NE(Edit(), nullptr);
    EXPECT_EQ(Edit()->Row(), 3);
    Key(Qt::Key_Right);
    EXPECT_EQ(Focus(), (CCellID{3, 4}));
    Key(Qt::Key_Escape);
    EXPECT_EQ(Edit(), nullptr);
    EXPECT_EQ(grid->GetItemText(3, 3), QStringLiteral("33"));
    EXPECT_FALSE(grid->GetModified(3, 3));
}

TEST_F(GridEdit, LosingTheFocusEndsTheEditKeepingTheText)
{
    ClickCell(2, 3);
    Type("6");
    other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(Edit(), nullptr);
    EXPECT_EQ(grid->GetItemText(2, 3), QStringLiteral("6"));
    EXPECT_EQ(spyEnd->count(), 1);
    EXPECT_EQ(QApplication::focusWidget(), other);
}

TEST_F(GridEdit, ReadOnlyCellsOpenNoEdit)
{
    grid->SetItemState(2, 3, GCS_READONLY);
    ClickCell(2, 3);
    Type("5");
    EXPECT_EQ(Edit(), nullptr);
    ClickCell(2, 3);
    EXPECT_EQ(Edit(), nullptr);
    QTest::mouseDClick(View(), Qt::LeftButton, Qt::NoModifier, Center(2, 3));
    EXPECT_EQ(Edit(), nullptr);
    Key(Qt::Key_Delete);
    EXPECT_EQ(grid->GetItemText(2, 3), QStringLiteral("23"));
    EXPECT_EQ(spyBegin->count(), 0);
}

TEST_F(GridEdit, ANonEditableGridOpensNoEdit)
{
    grid->SetEditable(false);
    ClickCell(2, 3);
    Type("5");
    EXPECT_EQ(Edit(), nullptr);
    EXPECT_EQ(grid->GetItemText(2, 3), QStringLiteral("23"));
}

TEST_F(GridEdit, NavigatingIntoAReadOnlyCellStopsEditing)
{
    grid->SetItemState(3, 3, GCS_READONLY);
    ClickCell(2, 3);
    Type("1");
    Key(Qt::Key_Down);
    EXPECT_EQ(Focus(), (CCellID{3, 3}));
    EXPECT_EQ(Edit(), nullptr);
}

TEST_F(GridEdit, TheEditWidensWithItsTextUpToTheRightEdge)
{
    ClickCell(2, 7);
    Type("1");
    ASSERT_NE(Edit(), nullptr);
    const int start = Edit()->width();
    Type("234567890");
    EXPECT_GT(Edit()->width(), start);
    Type("1234567890123456789012345678901234567890");
    EXPECT_LE(Edit()->geometry().right(), View()->width());
    Key(Qt::Key_Return);
}

TEST_F(GridEdit, RightAlignedCellsEditRightAligned)
{
    grid->SetItemFormat(2, 3, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    ClickCell(2, 3);
    Key(Qt::Key_Return);
    ASSERT_NE(Edit(), nullptr);
    EXPECT_TRUE(Edit()->alignment() & Qt::AlignRight);
    Key(Qt::Key_Escape);
}

TEST_F(GridEdit, ClickingAnotherCellEndsTheEditThere)
{
    ClickCell(2, 3);
    Type("4");
    ClickCell(5, 6);
    EXPECT_EQ(Edit(), nullptr);
    EXPECT_EQ(grid->GetItemText(2, 3), QStringLiteral("4"));
    EXPECT_EQ(spyEnd->count(), 1);
    EXPECT_EQ(Focus(), (CCellID{5, 6}));
}
