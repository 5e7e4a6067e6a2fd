#include "EditorTestSupport.h"
#include "FakeEditorMessages.h"

#include "editors/ControlIds.h"
#include "editors/PropsShapes.h"
#include "editors/SpinEdit.h"

#include "model/TileParams.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QComboBox>
#include <QToolButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

using namespace quorrel;
using namespace quorrel::editors;
using namespace quorrel::editors::testing;

namespace {

const QString kAmplitudeQuestion =
    "Warning|Do you accept the new values for the amplitudes ranges?\n"
    "This will imply the regeneration of the coefficients.";

class ShapesPage : public ::testing::Test {
protected:
    void Open()
    {
        page = std::make_unique<CPropsShapes>(params, &regenerate, messages);
        page->resize(640, 400);
        page->show();
        page->OnSetActive();
    }

    QCheckBox* Check(int c) { return FindControl<QCheckBox>(page.get(), 3200 + c); }
    CSpinEdit* Horz(int c) { return FindControl<CSpinEdit>(page.get(), 2100 + c); }
    CSpinEdit* Vert(int c) { return FindControl<CSpinEdit>(page.get(), 2110 + c); }
    QComboBox* Wrap(int c) { return FindControl<QComboBox>(page.get(), 3500 + c); }
    QComboBox* Style(int c) { return FindControl<QComboBox>(page.get(), 3510 + c); }
    QToolButton* Button(int id) { return FindControl<QToolButton>(page.get(), id); }
    controls::CRangeSliderCtrl* Ampl(int c)
    {
        return FindControl<controls::CRangeSliderCtrl>(page.get(), 3520 + c);
    }

    std::pair<int, int> Markers(int c)
    {
        int values[2] = {-1, -1};
        EXPECT_EQ(Ampl(c)->GetMarkerValuesInt(values), 2);
        return {values[0], values[1]};
    }
    void SetRange(int c, float low, float high)
    {
        const float values[2] = {low, high};
        Ampl(c)->SetMarkers(0.0f, 100.0f, 2, values);
    }
    void StoredRange(int c, uint32_t low, uint32_t high)
    {
        params.m_nAmplMin[c] = low;
        params.m_nAmplMax[c] = high;
    }

    model::CTileParams params;
    bool regenerate = false;
    FakeEditorMessages messages;
    std::unique_ptr<CPropsShapes> page;
};

} // namespace

TEST_F(ShapesPage, ListsAndBoxesShowTheParameterSet)
{
    params.m_nWrapMode[model::Hue] = 2;
    params.m_nTileStyle[model::Hue] = 1;
    Open();
    EXPECT_EQ(Wrap(model::Hue)->count(), 3);
    EXPECT_EQ(Wrap(model::Hue)->itemText(0), "Cycled");
    EXPECT_EQ(Wrap(model::Hue)->currentText(), "Scaled");
    EXPECT_EQ(Style(model::Hue)->currentText(), "Diamond");
    EXPECT_EQ(Style(model::Saturation)->currentText(), "Normal");
    EXPECT_EQ(BoxText(Horz(model::Hue)), "3");
    EXPECT_EQ(Markers(model::Hue), std::make_pair(0, 60));
    EXPECT_EQ(Button(3540)->toolTip(), "Apply the horizontal harmonics to all RGB components");
    EXPECT_EQ(Button(3554)->toolTip(), "Apply the amplitudes range to all HSL components");
}

TEST_F(ShapesPage, ClearingAComponentZeroesAndDisablesItsRow)
{
    params.m_bEnabled[model::Blue] = 1;
    Open();
    ClickCheck(Check(model::Blue));
    EXPECT_EQ(BoxText(Horz(model::Blue)), "0");
    EXPECT_EQ(BoxText(Vert(model::Blue)), "0");
    for (QWidget* w : std::initializer_list<QWidget*>{Horz(model::Blue), Vert(model::Blue),
                                                      Wrap(model::Blue), Style(model::Blue),
                                                      Ampl(model::Blue)})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    ClickCheck(Check(model::Blue));
    EXPECT_EQ(BoxText(Horz(model::Blue)), "3");
    EXPECT_EQ(BoxText(Vert(model::Blue)), "3");
    EXPECT_TRUE(Ampl(model::Blue)->isEnabled());
}

TEST_F(ShapesPage, TickedComponentWithoutHarmonicsGetsThree)
{
    params.m_nHorzHarm[model::Saturation] = 0;
    params.m_nVertHarm[model::Saturation] = 0;
    Open();
    EXPECT_EQ(BoxText(Horz(model::Saturation)), "3");
    ASSERT_TRUE(page->OnKillActive());
    EXPECT_EQ(params.m_nHorzHarm[model::Saturation], 3u);
    EXPECT_EQ(params.m_nVertHarm[model::Saturation], 3u);
}

TEST_F(ShapesPage, GroupButtonsNeedTheSourceAndAnotherMember)
{
    params.m_bEnabled[model::Red] = params.m_bEnabled[model::Green] = 1;
    for (int s = 0; s < 6; ++s)
        params.m_nSymmetry[model::Red][s] = params.m_nSymmetry[model::Green][s] = 0;
    Open();
    for (int id = 3540; id <= 3544; ++id)
        EXPECT_TRUE(Button(id)->isEnabled()) << id;
    ClickCheck(Check(model::Green));
    for (int id = 3540; id <= 3544; ++id)
        EXPECT_FALSE(Button(id)->isEnabled()) << id;
    // The HSL vertical button: Hue's vertical box is tied by its quarter turn.
    EXPECT_TRUE(Button(3550)->isEnabled());
    EXPECT_FALSE(Button(3551)->isEnabled());
}

TEST_F(ShapesPage, TiedVerticalCountFollowsTheHorizontalOne)
{
    params.m_nVertHarm[model::Hue] = 7;  // SquareHarmonics at load makes it 3
    Open();
    EXPECT_FALSE(Vert(model::Hue)->isEnabled());
    EXPECT_EQ(BoxText(Vert(model::Hue)), "3");
    TypeText(Horz(model::Hue), "12");
    EXPECT_EQ(BoxText(Vert(model::Hue)), "12");
    QTest::keyClick(Horz(model::Hue), Qt::Key_Up);
    EXPECT_EQ(BoxText(Vert(model::Hue)), "13");
    ASSERT_TRUE(page->OnKillActive());
    EXPECT_EQ(params.m_nVertHarm[model::Hue], 13u);
}

TEST_F(ShapesPage, BadHarmonicsStopTheStoreAtThatComponent)
{
    Open();
    TypeText(Horz(model::Hue), "8");
    QTest::keyClick(Wrap(model::Hue), Qt::Key_Home);  // Cycled
    TypeText(Horz(model::Luminosity), "31");
    EXPECT_FALSE(page->OnKillActive());
    EXPECT_EQ(messages.errors, QStringList{"Please enter an integer between 0 and 30."});
    EXPECT_EQ(params.m_nHorzHarm[model::Hue], 8u);
    EXPECT_EQ(params.m_nWrapMode[model::Hue], 1);  // second pass never ran
    TypeText(Horz(model::Luminosity), "x");
    messages.errors.clear();
    EXPECT_FALSE(page->OnKillActive());
    EXPECT_EQ(messages.errors, QStringList{"Please enter a positive integer."});
    TypeText(Horz(model::Luminosity), "30");
    EXPECT_TRUE(page->OnKillActive());
    EXPECT_EQ(params.m_nWrapMode[model::Hue], 0);
    EXPECT_EQ(params.m_nHorzHarm[model::Luminosity], 30u);
}

TEST_F(ShapesPage, WideningStoresNarrowingAsks)
{
    StoredRange(model::Hue, 10, 50);
    Open();
    SetRange(model::Hue, 0, 60);
    ASSERT_TRUE(page->OnKillActive());
    EXPECT_TRUE(messages.questions.isEmpty());
    EXPECT_EQ(params.m_nAmplMin[model::Hue], 0u);
    EXPECT_EQ(params.m_nAmplMax[model::Hue], 60u);
    SetRange(model::Hue, 20, 50);
    messages.answers = {true};
    ASSERT_TRUE(page->OnKillActive());
    EXPECT_EQ(messages.questions, QStringList{kAmplitudeQuestion});
    EXPECT_TRUE(regenerate);
    EXPECT_EQ(params.m_nAmplMin[model::Hue], 20u);
}

TEST_F(ShapesPage, OneYesCoversTheRestOfTheRun)
{
    Open();
    SetRange(model::Hue, 10, 40);
    SetRange(model::Luminosity, 5, 30);
    messages.answers = {true};
    ASSERT_TRUE(page->OnKillActive());
    EXPECT_EQ(messages.questions.size(), 1);
    EXPECT_EQ(params.m_nAmplMax[model::Hue], 40u);
    EXPECT_EQ(params.m_nAmplMin[model::Luminosity], 5u);
    // Later stores in the same run ask no more.
    page->OnSetActive();
    SetRange(model::Saturation, 20, 21);
    ASSERT_TRUE(page->OnKillActive());
    EXPECT_EQ(messages.questions.size(), 1);
    EXPECT_EQ(params.m_nAmplMax[model::Saturation], 21u);
}

TEST_F(ShapesPage, NoResetsEverySlider)
{
    params.m_bEnabled[model::Red] = params.m_bEnabled[model::Green] = 1;
    StoredRange(model::Green, 10, 80);
    Open();
    SetRange(model::Red, 20, 30);
    SetRange(model::Green, 30, 40);
    SetRange(model::Hue, 0, 100);  // widened, but after the reset it is gone as well
    messages.answers = {false, false};
    ASSERT_TRUE(page->OnKillActive());
    EXPECT_FALSE(regenerate);
    EXPECT_EQ(params.m_nAmplMin[model::Red], 0u);
    EXPECT_EQ(params.m_nAmplMax[model::Red], 60u);
    EXPECT_EQ(params.m_nAmplMin[model::Green], 10u);
    EXPECT_EQ(params.m_nAmplMax[model::Green], 80u);
    EXPECT_EQ(params.m_nAmplMax[model::Hue], 60u);
    EXPECT_EQ(Markers(model::Green), std::make_pair(10, 80));
    EXPECT_EQ(Markers(model::Red), std::make_pair(0, 60));
    // Green's slider was reset before its turn came, so only Red asked.
    EXPECT_EQ(messages.questions.size(), 1);
}

TEST_F(ShapesPage, ApplyButtonsCopyToTickedMembers)
{
    params.m_bEnabled[model::Red] = params.m_bEnabled[model::Green] = 1;
    Open();
    SetRange(model::Red, 15, 70);
    QTest::mouseClick(Button(3544), Qt::LeftButton);
    EXPECT_EQ(Markers(model::Green), std::make_pair(15, 70));
    EXPECT_EQ(Markers(model::Blue), std::make_pair(0, 60));

    TypeText(Horz(model::Red), "9");
    QTest::mouseClick(Button(3540), Qt::LeftButton);
    EXPECT_EQ(BoxText(Horz(model::Green)), "9");
    EXPECT_EQ(BoxText(Horz(model::Blue)), "0");

    QTest::keyClick(Style(model::Hue), Qt::Key_End);
    QTest::mouseClick(Button(3553), Qt::LeftButton);
    EXPECT_EQ(Style(model::Saturation)->currentIndex(), 1);
    EXPECT_EQ(Style(model::Luminosity)->currentIndex(), 1);
    ASSERT_TRUE(page->OnKillActive());
    EXPECT_EQ(params.m_nTileStyle[model::Luminosity], 1);
    EXPECT_EQ(params.m_nHorzHarm[model::Green], 9u);
}

// Every way a spin can be stepped: its up arrow, the Up and Page Up keys, the wheel.
enum class StepBy { UpArrow, UpKey, PageUpKey, Wheel };

void StepUp(CSpinEdit* spin, StepBy how)
{
    switch (how) {
    case StepBy::UpArrow: {
        QStyleOptionSpinBox option;
        option.initFrom(spin);
        option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
        option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
        const QRect up =
            spin->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, spin);
        ASSERT_TRUE(up.isValid());
        QTest::mouseClick(spin, Qt::LeftButton, {}, up.center());
        break;
    }
    case StepBy::UpKey: QTest::keyClick(spin, Qt::Key_Up); break;
    case StepBy::PageUpKey: QTest::keyClick(spin, Qt::Key_PageUp); break;
    case StepBy::Wheel: {
        const QPointF at(spin->width() / 2.0, spin->height() / 2.0);
        QWheelEvent wheel(at, spin->mapToGlobal(at), {}, QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(spin, &wheel);
        break;
    }
    }
}

const char* const kStepNames[] = {"UpArrow", "UpKey", "PageUpKey", "Wheel"};
void PrintTo(StepBy how, std::ostream* os) { *os << kStepNames[int(how)]; }
std::string StepName(const ::testing::TestParamInfo<StepBy>& info) { return kStepNames[int(info.param)]; }

class TiedShapesPage : public ShapesPage, public ::testing::WithParamInterface<StepBy> {};

TEST_P(TiedShapesPage, ATiedVerticalCountCannotBeSteppedApartFromTheHorizontalOne)
{
    const int32_t mirrors[6] = {1, 1, 0, 0, 1, 0};   // no diagonal or quarter turn
    std::copy(std::begin(mirrors), std::end(mirrors), params.m_nSymmetry[model::Saturation]);
    Open();
    CSpinEdit* tied = Vert(model::Hue);   // the quarter turn ties Hue's counts
    CSpinEdit* free = Vert(model::Saturation);
    EXPECT_FALSE(tied->isEnabled());
    ASSERT_TRUE(free->isEnabled());

    // The same step moves an untied count (the step works) but not the tied one.
    const QString freeBefore = BoxText(free);
    StepUp(free, GetParam());
    EXPECT_NE(BoxText(free), freeBefore);
    ASSERT_EQ(BoxText(tied), "3");
    StepUp(tied, GetParam());
    EXPECT_EQ(BoxText(tied), "3");
    TypeText(Horz(model::Hue), "6");
    StepUp(tied, GetParam());
    EXPECT_EQ(BoxText(tied), "6");
    ASSERT_TRUE(page->OnKillActive());
    EXPECT_EQ(params.m_nHorzHarm[model::Hue], 6u);
    EXPECT_EQ(params.m_nVertHarm[model::Hue], 6u);

    // A cleared component disables its boxes; ticking it again enables the
    // horizontal one, the vertical one stays tied.
    ClickCheck(Check(model::Hue));
    EXPECT_FALSE(Horz(model::Hue)->isEnabled());
    ClickCheck(Check(model::Hue));
    EXPECT_TRUE(Horz(model::Hue)->isEnabled());
    EXPECT_FALSE(tied->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(EveryStep, TiedShapesPage,
                         ::testing::Values(StepBy::UpArrow, StepBy::UpKey, StepBy::PageUpKey, StepBy::Wheel),
                         StepName);

TEST_F(ShapesPage, HarmonicsBoxesTakeOnlyDigitsAsTypedButPastedTextIsStillValidated)
{
    Open();
    CSpinEdit* horz = Horz(model::Saturation);
    horz->setFocus();
    horz->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(horz, "1a-2. ,x");
    EXPECT_EQ(BoxText(horz), "12");
    QTest::keyClick(horz, Qt::Key_Backspace);
    EXPECT_EQ(BoxText(horz), "1");

    QApplication::clipboard()->setText(QStringLiteral("-5"));
    horz->findChild<QLineEdit*>()->selectAll();
    QTest::keyClick(horz, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(BoxText(horz), "-5");
    EXPECT_FALSE(page->OnKillActive());
    EXPECT_EQ(messages.errors, QStringList{"Please enter an integer between 0 and 30."});
}
