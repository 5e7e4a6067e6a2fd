#include "EditorTestSupport.h"
#include "FakeEditorMessages.h"

#include "editors/ControlIds.h"
#include "editors/QuorrelProp.h"
#include "editors/SpinEdit.h"
#include "editors/WizardPage.h"

#include "controls/GridCtrl.h"
#include "controls/GridInPlaceEdit.h"

#include "model/TileParams.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace quorrel;
using namespace quorrel::editors;
using namespace quorrel::editors::testing;

namespace {

enum { General, Colors, Shapes, Symmetries, Correlations };

class PropertySheet : public ::testing::Test {
protected:
    void SetUp() override
    {
        sheet = std::make_unique<CQuorrelProp>(params, &messages);
        sheet->show();
        QApplication::setActiveWindow(sheet.get());
    }

    template <typename T>
    T* Control(int page, int id)
    {
        T* control = FindControl<T>(sheet->Page(page), id);
        EXPECT_NE(control, nullptr) << id;
        return control;
    }

    bool HasFocus(QWidget* control)
    {
        QWidget* focus = sheet->focusWidget();
        return focus && (focus == control || control->isAncestorOf(focus));
    }

    // Types a width and tries to leave the General page.
    void TryWidth(const QString& text)
    {
        messages.errors.clear();
        TypeText(Control<CSpinEdit>(General, 2011), text);
        ClickTab(sheet->TabBar(), Colors);
    }

    model::CTileParams params;
    FakeEditorMessages messages;
    std::unique_ptr<CQuorrelProp> sheet;
};

} // namespace

TEST_F(PropertySheet, FivePagesInOrderOpeningOnGeneral)
{
    EXPECT_EQ(sheet->windowTitle(), "Properties");
    const QStringList captions = {"General", " Colors", "Shapes", "Symmetries", "Correlations"};
    ASSERT_EQ(sheet->TabBar()->count(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(sheet->TabBar()->tabText(i), captions[i]);
    EXPECT_EQ(sheet->ActivePageIndex(), General);
    EXPECT_EQ(BoxText(Control<CSpinEdit>(General, 2011)), "125");
    EXPECT_EQ(Control<CSpinEdit>(General, 2011)->toolTip(), "Width");
    EXPECT_EQ(Control<CSpinEdit>(General, 2012)->toolTip(), "Height");
    EXPECT_FALSE(sheet->Page(Shapes)->IsStarted());
    EXPECT_FALSE(sheet->m_bRegenerate);
}

TEST_F(PropertySheet, InvalidWidthKeepsThePageWithItsMessage)
{
    const QString range = "Please enter an integer between 1 and 1024.";
    const struct { const char* text; QString message; } refused[] = {
        {"0", range}, {"1025", range}, {"-5", range}, {"", "Please enter a positive integer."},
        {"px", "Please enter a positive integer."}};
    for (const auto& c : refused) {
        TryWidth(c.text);
        ASSERT_EQ(messages.errors.size(), 1) << c.text;
        EXPECT_EQ(messages.errors[0], c.message) << c.text;
        EXPECT_EQ(sheet->ActivePageIndex(), General);
        EXPECT_EQ(sheet->TabBar()->currentIndex(), General);
        EXPECT_TRUE(HasFocus(Control<CSpinEdit>(General, 2011))) << c.text;
        EXPECT_EQ(params.m_nWidth, 125u);
    }
    // OK is refused the same way and the sheet stays open.
    TypeText(Control<CSpinEdit>(General, 2011), "2000");
    messages.errors.clear();
    QTest::mouseClick(sheet->OkButton(), Qt::LeftButton);
    EXPECT_EQ(messages.errors.size(), 1);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_NE(sheet->result(), QDialog::Accepted);
}

TEST_F(PropertySheet, HeightFailureKeepsTheWidthAlreadyStored)
{
    TypeText(Control<CSpinEdit>(General, 2011), "300");
    TypeText(Control<CSpinEdit>(General, 2012), "0");
    ClickTab(sheet->TabBar(), Colors);
    EXPECT_EQ(messages.errors, QStringList{"Please enter an integer between 1 and 1024."});
    EXPECT_TRUE(HasFocus(Control<CSpinEdit>(General, 2012)));
    EXPECT_EQ(params.m_nWidth, 300u);
    EXPECT_EQ(params.m_nHeight, 125u);
}

TEST_F(PropertySheet, EdgeValuesAndTrailingTextAreAccepted)
{
    TryWidth("1024");
    EXPECT_TRUE(messages.errors.isEmpty());
    EXPECT_EQ(params.m_nWidth, 1024u);
    ClickTab(sheet->TabBar(), General);
    EXPECT_EQ(BoxText(Control<CSpinEdit>(General, 2011)), "1024");
    TryWidth("1");
    EXPECT_EQ(params.m_nWidth, 1u);
    ClickTab(sheet->TabBar(), General);
    TryWidth("200px");
    EXPECT_TRUE(messages.errors.isEmpty());
    EXPECT_EQ(params.m_nWidth, 200u);
}

TEST_F(PropertySheet, SpinArrowsStepWithinTheRange)
{
    auto* width = Control<CSpinEdit>(General, 2011);
    TypeText(width, "1023");
    QTest::keyClick(width, Qt::Key_Up);
    EXPECT_EQ(BoxText(width), "1024");
    QTest::keyClick(width, Qt::Key_Up);
    EXPECT_EQ(BoxText(width), "1024");
    TypeText(width, "1");
    QTest::keyClick(width, Qt::Key_Down);
    EXPECT_EQ(BoxText(width), "1");
}

TEST_F(PropertySheet, CheckBoxChangedOnOnePageIsSeenOnTheNext)
{
    ClickTab(sheet->TabBar(), Colors);
    ASSERT_EQ(sheet->ActivePageIndex(), Colors);
    ClickCheck(Control<QCheckBox>(Colors, 3203));  // clear Hue
    ClickCheck(Control<QCheckBox>(Colors, 3202));  // tick Blue
    ClickTab(sheet->TabBar(), Shapes);
    ASSERT_EQ(sheet->ActivePageIndex(), Shapes);
    EXPECT_FALSE(Control<QCheckBox>(Shapes, 3203)->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(Shapes, 3202)->isChecked());
    EXPECT_EQ(BoxText(Control<CSpinEdit>(Shapes, 2103)), "0");
    EXPECT_FALSE(Control<CSpinEdit>(Shapes, 2103)->isEnabled());
    EXPECT_EQ(BoxText(Control<CSpinEdit>(Shapes, 2102)), "3");

    // And back: a change on Shapes reaches Colors when it becomes active again.
    ClickCheck(Control<QCheckBox>(Shapes, 3202));  // clear Blue
    ClickTab(sheet->TabBar(), Colors);
    EXPECT_FALSE(Control<QCheckBox>(Colors, 3202)->isChecked());
}

TEST_F(PropertySheet, OkStoresTheActivePageAndNeedsNoRegenerationForSizes)
{
    TypeText(Control<CSpinEdit>(General, 2012), "77");
    ClickTab(sheet->TabBar(), Colors);
    ClickTab(sheet->TabBar(), Correlations);
    ClickCheck(Control<QCheckBox>(Correlations, 3200));  // tick Red
    QTest::mouseClick(sheet->OkButton(), Qt::LeftButton);
    EXPECT_EQ(sheet->result(), QDialog::Accepted);
    EXPECT_EQ(params.m_nHeight, 77u);
    EXPECT_EQ(params.m_bEnabled[model::Red], 1);
    EXPECT_FALSE(sheet->m_bRegenerate);
}

TEST_F(PropertySheet, KeyboardPageSwitchStoresLikeAClick)
{
    TypeText(Control<CSpinEdit>(General, 2011), "0");
    QTest::keyClick(sheet.get(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(messages.errors.size(), 1);
    EXPECT_EQ(sheet->ActivePageIndex(), General);
    TypeText(Control<CSpinEdit>(General, 2011), "5");
    QTest::keyClick(sheet.get(), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(sheet->ActivePageIndex(), Colors);
    EXPECT_EQ(params.m_nWidth, 5u);
    QTest::keyClick(sheet.get(), Qt::Key_PageUp, Qt::ControlModifier);
    QTest::keyClick(sheet.get(), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(sheet->ActivePageIndex(), Correlations);
}

TEST_F(PropertySheet, CancelStoresNothingMore)
{
    TypeText(Control<CSpinEdit>(General, 2011), "640");
    QTest::mouseClick(sheet->CancelButton(), Qt::LeftButton);
    EXPECT_EQ(sheet->result(), QDialog::Rejected);
    EXPECT_EQ(params.m_nWidth, 125u);
}

TEST(WizardPage, ButtonsFollowThePosition)
{
    EXPECT_EQ(CWizardPage::WizardButtonsFor(CWizardPage::OnlyPage), CWizardPage::Finish);
    EXPECT_EQ(CWizardPage::WizardButtonsFor(CWizardPage::FirstPage), CWizardPage::Next);
    EXPECT_EQ(CWizardPage::WizardButtonsFor(CWizardPage::MiddlePage),
              CWizardPage::Back | CWizardPage::Next);
    EXPECT_EQ(CWizardPage::WizardButtonsFor(CWizardPage::LastPage),
              CWizardPage::Back | CWizardPage::Finish);
}

TEST_F(PropertySheet, EnterOnACorrelationsCellPressesOkAndStoresThePage)
{
    params.m_dCorrel[model::Red][model::Hue] = 0.5;
    ClickTab(sheet->TabBar(), Correlations);
    auto* grid = Control<controls::CGridCtrl>(Correlations, 6002);
    QRect cell;
    ASSERT_TRUE(grid->GetCellRect(1, 4, cell));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(grid->GetFocusCell(), (controls::CCellID{1, 4}));
    // Ctrl+Tab turns the page instead of moving along the row.
    QTest::keyClick(grid, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(sheet->ActivePageIndex(), General);
    ClickTab(sheet->TabBar(), Correlations);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(grid->GetInPlaceEdit(), nullptr);
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(sheet->result(), QDialog::Accepted);
    EXPECT_EQ(params.m_dCorrel[model::Red][model::Hue], 0.5);
}
