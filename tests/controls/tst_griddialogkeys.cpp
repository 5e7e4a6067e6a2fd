// CGridCtrl in a dialog: Enter and Escape belong to the dialog (the default
// button and Cancel) unless an in-place edit is open; arrows, characters and
// Tab stay with the grid.

#include "support/GridFixture.h"
#include "support/GridInDialog.h"


using namespace quorrel::controls;

namespace {

class GridDialogTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_setup.Open()); }

    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : grid;
        QTest::keyClick(target, Qt::Key(key), mods);
    }

    quorrel::test::CGridInDialog m_setup{4};
    std::unique_ptr<QDialog>& dialog = m_setup.dialog;
    CGridCtrl*& grid = m_setup.grid;
};

} // namespace

TEST_F(GridDialogTest, EnterOnASelectedCellPressesOk)
{
    for (const auto& [key, mods] : {std::pair{Qt::Key_Return, Qt::KeyboardModifiers()},
                                    std::pair{Qt::Key_Enter, Qt::KeyboardModifiers(Qt::KeypadModifier)}}) {
        dialog->setResult(-1);
        dialog->show();
        dialog->activateWindow();
        grid->setFocus();
        Key(key, mods);
        EXPECT_EQ(grid->GetInPlaceEdit(), nullptr);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
    }
}

TEST_F(GridDialogTest, EscapeOnASelectedCellCancels)
{
    Key(Qt::Key_Escape);
    EXPECT_EQ(grid->GetInPlaceEdit(), nullptr);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

TEST_F(GridDialogTest, AnOpenEditTakesEnterAndEscapeAndTheDialogStays)
{
    Key(Qt::Key_5);
    ASSERT_NE(grid->GetInPlaceEdit(), nullptr);
    Key(Qt::Key_Return);
    EXPECT_EQ(grid->GetInPlaceEdit(), nullptr);
    EXPECT_EQ(grid->GetItemText(2, 2), "5");
    EXPECT_TRUE(dialog->isVisible());

    Key(Qt::Key_7);
    ASSERT_NE(grid->GetInPlaceEdit(), nullptr);
    Key(Qt::Key_Escape);
    EXPECT_EQ(grid->GetInPlaceEdit(), nullptr);
    EXPECT_EQ(grid->GetItemText(2, 2), "5");
    EXPECT_TRUE(dialog->isVisible());

    // Then Enter reaches the dialog again.
    Key(Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(GridDialogTest, ArrowsCharactersAndTabStayWithTheGrid)
{
    Key(Qt::Key_Right);
    EXPECT_EQ(grid->GetFocusCell(), (CCellID{2, 3}));
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid->GetFocusCell(), (CCellID{3, 1}));
    EXPECT_EQ(QApplication::focusWidget(), grid);
    Key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(grid->GetFocusCell(), (CCellID{3, 1}));
    Key(Qt::Key_9);
    ASSERT_NE(grid->GetInPlaceEdit(), nullptr);
    EXPECT_EQ(grid->GetInPlaceEdit()->text(), "9");
    EXPECT_TRUE(dialog->isVisible());
}
