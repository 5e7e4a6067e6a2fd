#include "EditorTestSupport.h"
#include "FakeEditorMessages.h"

#include "editors/ControlIds.h"
#include "editors/IconLabel.h"
#include "editors/PropsSymmetries.h"
#include "editors/SymmetryItems.h"

#include "model/TileParams.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace quorrel;
using namespace quorrel::editors;
using namespace quorrel::editors::testing;

namespace {

class SymmetriesPage : public ::testing::Test {
protected:
    void Open()
    {
        page = std::make_unique<CPropsSymmetries>(params, &regenerate, messages);
        page->show();
        page->OnSetActive();
    }

    QComboBox* List(int c) { return FindControl<QComboBox>(page.get(), 4000 + c); }
    QCheckBox* Check(int c) { return FindControl<QCheckBox>(page.get(), 3200 + c); }
    int ValueIcon(int c, int s)
    {
        return FindControl<CIconLabel>(page.get(), 4100 + c + 10 * s)->IconId();
    }

    // Picks an item the way a user does with the keyboard.
    void Choose(int c, int item)
    {
        QComboBox* list = List(c);
        QTest::keyClick(list, Qt::Key_Home);
        for (int i = 0; i < item; ++i)
            QTest::keyClick(list, Qt::Key_Down);
        ASSERT_EQ(list->currentIndex(), item);
    }

    void ExpectRow(int c, int item)
    {
        const SymmetryRow& values = SymmetryItemValues(item);
        for (int s = 0; s < 6; ++s)
            EXPECT_EQ(params.m_nSymmetry[c][s], values[static_cast<size_t>(s)])
                << "component " << c << " column " << s;
    }

    model::CTileParams params;
    bool regenerate = false;
    FakeEditorMessages messages;
    std::unique_ptr<CPropsSymmetries> page;
};

} // namespace

TEST(SymmetryItems, ConversionsBothWays)
{
    for (int item = 0; item < kSymmetryItems; ++item)
        EXPECT_EQ(SymmetryItemFromValues(SymmetryItemValues(item)), item);
    int32_t unknown[6] = {1, -1, 1, 0, 0, 0};
    EXPECT_EQ(SymmetryItemFromValues(unknown), 0);
    SymmetryValuesFromItem(25, unknown);
    EXPECT_EQ(unknown[1], -1);  // unchanged
    SymmetryValuesFromItem(-1, unknown);
    EXPECT_EQ(unknown[0], 1);
}

TEST(SymmetryItems, EveryItemHasWordsOfItsOwn)
{
    std::set<std::string> seen;
    for (int item = 0; item < kSymmetryItems; ++item) {
        const std::string words = SymmetryRowDescription(SymmetryItemValues(item));
        EXPECT_FALSE(words.empty());
        EXPECT_TRUE(seen.insert(words).second) << "item " << item << " says what another says: " << words;
    }
    EXPECT_EQ(SymmetryRowDescription(SymmetryItemValues(0)), "No symmetry");
    EXPECT_EQ(SymmetryRowDescription({+1, -1, 0, 0, -1, 0}),
              "Horizontal-axis mirror symmetric, vertical-axis mirror antisymmetric, half turn antisymmetric");
    EXPECT_EQ(SymmetryRowDescription({0, 0, 0, 0, 0, -1}), "Quarter turn antisymmetric");
}

TEST_F(SymmetriesPage, AScreenReaderHearsTheChoiceAndEveryValueIcon)
{
    Open();
    Choose(model::Hue, 6);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(List(model::Hue));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->text(QAccessible::Name), "Hue symmetry");
    EXPECT_EQ(list->text(QAccessible::Value), QString::fromStdString(SymmetryRowDescription(SymmetryItemValues(6))));
    EXPECT_EQ(List(model::Hue)->itemData(6, Qt::ToolTipRole).toString(), list->text(QAccessible::Value));
    EXPECT_EQ(FindControl<CIconLabel>(page.get(), 4100 + model::Hue + 10 * 4)->accessibleName(),
              "Hue half turn: antisymmetric");
    EXPECT_EQ(FindControl<CIconLabel>(page.get(), 4100 + model::Hue + 10 * 1)->accessibleName(),
              "Hue vertical-axis mirror: symmetric");
    EXPECT_EQ(FindControl<CIconLabel>(page.get(), 4100 + model::Hue + 10 * 5)->accessibleName(),
              "Hue quarter turn: none");
    // A cleared component's greyed icons still say their values.
    EXPECT_EQ(FindControl<CIconLabel>(page.get(), 4100 + model::Red + 10 * 0)->accessibleName(),
              "Red horizontal-axis mirror: symmetric");
}

TEST_F(SymmetriesPage, LoadShowsTheDefaultsAndGreysClearedComponents)
{
    Open();
    EXPECT_EQ(List(model::Red)->currentIndex(), 21);
    EXPECT_EQ(List(model::Hue)->currentIndex(), 19);
    EXPECT_EQ(List(model::Red)->count(), 25);
    EXPECT_FALSE(List(model::Red)->isEnabled());
    EXPECT_TRUE(List(model::Hue)->isEnabled());
    EXPECT_EQ(ValueIcon(model::Red, 0), 921);
    EXPECT_EQ(ValueIcon(model::Hue, 0), 910);
    EXPECT_EQ(ValueIcon(model::Hue, 5), 911);
    EXPECT_FALSE(FindControl<QToolButton>(page.get(), 4310)->isEnabled());
    EXPECT_TRUE(FindControl<QToolButton>(page.get(), 4311)->isEnabled());
}

TEST_F(SymmetriesPage, WideningStoresSilentlyNarrowingAsks)
{
    Open();
    Choose(model::Saturation, 13);  // CosCos -> CosCos and SinSin
    EXPECT_EQ(ValueIcon(model::Saturation, 0), 910);
    EXPECT_EQ(ValueIcon(model::Saturation, 2), 911);
    ASSERT_TRUE(page->OnKillActive());
    EXPECT_TRUE(messages.questions.isEmpty());
    EXPECT_FALSE(regenerate);
    ExpectRow(model::Saturation, 13);

    page->OnSetActive();
    Choose(model::Saturation, 21);
    messages.answers = {true};
    ASSERT_TRUE(page->OnKillActive());
    ASSERT_EQ(messages.questions.size(), 1);
    EXPECT_EQ(messages.questions[0],
              "Warning|Do you accept the new values for the symmetries?\n"
              "This will imply the regeneration of the coefficients.");
    EXPECT_TRUE(regenerate);
    ExpectRow(model::Saturation, 21);
}

TEST_F(SymmetriesPage, OneNoRevertsEveryLaterChangeWithoutAsking)
{
    Open();
    Choose(model::Hue, 1);          // CosCos+SinSin -> CosCos+SinCos: forbids SinSin
    Choose(model::Saturation, 2);   // CosCos -> CosSin+SinSin: forbids CosCos
    Choose(model::Luminosity, 13);  // widening only: no question needed
    messages.answers = {false};
    ASSERT_TRUE(page->OnKillActive());
    EXPECT_EQ(messages.questions.size(), 1);
    EXPECT_FALSE(regenerate);
    ExpectRow(model::Hue, 19);
    ExpectRow(model::Saturation, 21);
    ExpectRow(model::Luminosity, 13);
    // The lists and icons show the reverted choices.
    EXPECT_EQ(List(model::Hue)->currentIndex(), 19);
    EXPECT_EQ(List(model::Saturation)->currentIndex(), 21);
    EXPECT_EQ(page->m_nWorkSym[model::Saturation][0], 1);
    EXPECT_EQ(ValueIcon(model::Saturation, 0), 911);
}

TEST_F(SymmetriesPage, AfterYesLaterChangesNeedNoQuestion)
{
    regenerate = true;  // an earlier page (or visit) already accepted
    Open();
    Choose(model::Saturation, 2);
    ASSERT_TRUE(page->OnKillActive());
    EXPECT_TRUE(messages.questions.isEmpty());
    ExpectRow(model::Saturation, 2);
}

TEST_F(SymmetriesPage, SquareSymmetryTiesTheVerticalCount)
{
    params.m_nHorzHarm[model::Hue] = 5;
    params.m_nVertHarm[model::Hue] = 3;
    params.m_nSymmetry[model::Hue][4] = 0;
    params.m_nSymmetry[model::Hue][5] = 0;
    params.m_nSymmetry[model::Hue][0] = 1;  // item 1: CosCos and SinCos
    Open();
    ASSERT_EQ(List(model::Hue)->currentIndex(), 1);
    Choose(model::Hue, 0);  // no symmetry: every table allowed
    ASSERT_TRUE(page->OnKillActive());
    EXPECT_EQ(params.m_nVertHarm[model::Hue], 3u);
    page->OnSetActive();
    Choose(model::Hue, 19);  // quarter turn ties the counts
    messages.answers = {true};
    ASSERT_TRUE(page->OnKillActive());
    EXPECT_EQ(params.m_nVertHarm[model::Hue], 5u);
}

TEST_F(SymmetriesPage, QuarterTurnWithoutQuestionSquaresTheCounts)
{
    params.m_nHorzHarm[model::Saturation] = 5;
    params.m_nVertHarm[model::Saturation] = 3;
    Open();
    Choose(model::Saturation, 19);  // CosCos only -> CosCos and SinSin
    ASSERT_TRUE(page->OnKillActive());
    EXPECT_TRUE(messages.questions.isEmpty());
    ExpectRow(model::Saturation, 19);
    EXPECT_EQ(params.m_nVertHarm[model::Saturation], 5u);
}

TEST_F(SymmetriesPage, ClearedComponentIsGreyedButStillStored)
{
    Open();
    Choose(model::Luminosity, 13);
    ClickCheck(Check(model::Luminosity));
    EXPECT_FALSE(List(model::Luminosity)->isEnabled());
    EXPECT_EQ(ValueIcon(model::Luminosity, 2), 921);
    EXPECT_EQ(ValueIcon(model::Luminosity, 0), 920);
    ASSERT_TRUE(page->OnKillActive());
    EXPECT_EQ(params.m_bEnabled[model::Luminosity], 0);
    ExpectRow(model::Luminosity, 13);
}

TEST_F(SymmetriesPage, ApplyToGroupCopiesToTickedMembersOnly)
{
    Open();
    ClickCheck(Check(model::Saturation));  // clear Saturation
    Choose(model::Hue, 17);
    QTest::mouseClick(FindControl<QToolButton>(page.get(), 4311), Qt::LeftButton);
    EXPECT_EQ(List(model::Luminosity)->currentIndex(), 17);
    EXPECT_EQ(List(model::Saturation)->currentIndex(), 21);
    EXPECT_EQ(page->m_nWorkSym[model::Luminosity][4], 1);
    EXPECT_EQ(page->m_nWorkSym[model::Luminosity][0], 0);
}
