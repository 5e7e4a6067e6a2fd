// CGridCtrl in a dialog: Enter and Escape belong to the dialog (the default
// button and Cancel) unless an in-place edit is open; arrows, characters and
// Tab stay with the grid.

#include "support/GridFixture.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

using namespace quorrel::controls;

namespace {

class GridDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog = std::make_unique<QDialog>();
        grid = new CGridCtrl;
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        auto* layout = new QVBoxLayout(dialog.get());
        layout->addWidget(grid);
        layout->addWidget(buttons);
        QObject::connect(buttons, &QDialogButtonBox::accepted, dialog.get(), &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, dialog.get(), &QDialog::reject);
        grid->SetRowCount(4);
        grid->SetColumnCount(4);
        grid->SetFixedRowCount(1);
        grid->SetFixedColumnCount(1);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                grid->SetItemText(r, c, QString::number(r * 10 + c));
        dialog->resize(400, 300);
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        dialog->activateWindow();
        grid->setFocus();
        QRect rect;
        grid->GetCellRect(2, 2, rect);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
        ASSERT_EQ(grid->GetFocusCell(), (CCellID{2, 2}));
        ASSERT_EQ(QApplication::focusWidget(), grid);
    }

    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : grid;
        QTest::keyClick(target, Qt::Key(key), mods);
    }

    std::unique_ptr<QDialog> dialog;
    CGridCtrl* grid = nullptr;
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
