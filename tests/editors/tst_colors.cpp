#include "EditorTestSupport.h"
#include "FakeEditorMessages.h"

#include "editors/ControlIds.h"
#include "editors/GradientStatic.h"
#include "editors/PropsColors.h"

#include "model/TileParams.h"

#include <QCheckBox>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace quorrel;
using namespace quorrel::editors;
using namespace quorrel::editors::testing;

namespace {

class ColorsPage : public ::testing::Test {
protected:
    void Open()
    {
        page = std::make_unique<CPropsColors>(params, messages);
        page->resize(600, 400);
        page->show();
        page->OnSetActive();
    }

    controls::CRangeSliderCtrl* Slider(int c)
    {
        return FindControl<controls::CRangeSliderCtrl>(page.get(), 3300 + c);
    }
    CGradientStatic* Strip(int id) { return FindControl<CGradientStatic>(page.get(), id); }
    QCheckBox* Check(int id) { return FindControl<QCheckBox>(page.get(), id); }
    QToolButton* ApplyButton() { return FindControl<QToolButton>(page.get(), 3530); }

    std::pair<int, int> Markers(int c)
    {
        int values[2] = {-1, -1};
        EXPECT_EQ(Slider(c)->GetMarkerValuesInt(values), 2);
        return {values[0], values[1]};
    }

    void SetRange(int c, float low, float high)
    {
        const float values[2] = {low, high};
        Slider(c)->SetMarkers(0.0f, 255.0f, 2, values);
    }

    model::CTileParams params;
    FakeEditorMessages messages;
    std::unique_ptr<CPropsColors> page;
};

} // namespace

TEST_F(ColorsPage, WrappingRangeIsShownAlternateAndStoredBack)
{
    params.m_nColorLow[model::Hue] = 200;
    params.m_nColorHigh[model::Hue] = 50;
    Open();
    EXPECT_EQ(Markers(model::Hue), std::make_pair(50, 200));
    EXPECT_TRUE(Slider(model::Hue)->GetAlternate());
    EXPECT_FALSE(Slider(model::Saturation)->GetAlternate());
    ASSERT_TRUE(page->OnKillActive());
    EXPECT_EQ(params.m_nColorLow[model::Hue], 200u);
    EXPECT_EQ(params.m_nColorHigh[model::Hue], 50u);
    EXPECT_EQ(params.m_nColorLow[model::Saturation], 69u);
    EXPECT_EQ(params.m_nColorHigh[model::Saturation], 225u);
}

TEST_F(ColorsPage, DraggingAMarkerPastTheOtherStoresLowAboveHigh)
{
    Open();
    // Saturation 69..225: drag the lower marker beyond the upper one.
    DragMarker(Slider(model::Saturation), 0, 240.0f);
    ASSERT_TRUE(Slider(model::Saturation)->GetAlternate());
    const auto [lower, upper] = Markers(model::Saturation);
    // The drag recomputed the strips: Luminosity's uses the new middle saturation.
    EXPECT_EQ((Strip(3405)->GetEndColor() >> 8) & 0xFF, uint32_t(lower + upper) / 2);
    EXPECT_EQ(lower, 225);
    EXPECT_NEAR(upper, 240, 2);
    ASSERT_TRUE(page->OnKillActive());
    EXPECT_EQ(params.m_nColorLow[model::Saturation], uint32_t(upper));
    EXPECT_EQ(params.m_nColorHigh[model::Saturation], 225u);
    EXPECT_GT(params.m_nColorLow[model::Saturation], params.m_nColorHigh[model::Saturation]);
}

TEST_F(ColorsPage, SaturationStripFollowsTheHueRange)
{
    Open();
    // Hue ticked over 0..255: the middle hue 127.
    EXPECT_EQ(Strip(3404)->GetStartColor(), PackColor(127, 0, 127));
    ClickCheck(Check(3203));  // clear Hue: hue 0
    EXPECT_EQ(Strip(3404)->GetStartColor(), PackColor(0, 0, 127));
    EXPECT_EQ(Strip(3404)->GetEndColor(), PackColor(0, 255, 127));
    ClickCheck(Check(3203));
    SetRange(model::Hue, 0, 20);
    emit Slider(model::Hue)->scrolled();  // the slider's movement notification
    EXPECT_EQ(Markers(model::Hue), std::make_pair(0, 20));
    EXPECT_EQ(Strip(3404)->GetStartColor(), PackColor(10, 0, 127));
    Slider(model::Hue)->SetAlternate(true);
    emit Slider(model::Hue)->scrolled();
    EXPECT_EQ(Strip(3404)->GetStartColor(), PackColor(138, 0, 127));
    // Luminosity uses the middle hue and the middle saturation (69..225: 147).
    EXPECT_EQ(Strip(3405)->GetEndColor(), PackColor(138, 147, 255));
    EXPECT_TRUE(Strip(3405)->IsHslMode());
    EXPECT_FALSE(Strip(3406)->IsHslMode());
    EXPECT_EQ(Strip(3400)->GetEndColor(), PackColor(255, 0, 0));
}

TEST_F(ColorsPage, GroupBoxTicksAndClearsItsComponents)
{
    Open();
    QCheckBox* rgb = Check(3206);
    EXPECT_EQ(rgb->checkState(), Qt::Unchecked);
    EXPECT_EQ(Check(3207)->checkState(), Qt::Checked);
    EXPECT_FALSE(ApplyButton()->isEnabled());

    ClickCheck(rgb);
    EXPECT_EQ(rgb->checkState(), Qt::Checked);
    for (int c = 0; c < 3; ++c) {
        EXPECT_TRUE(Check(3200 + c)->isChecked());
        EXPECT_TRUE(Slider(c)->isEnabled());
    }
    EXPECT_TRUE(ApplyButton()->isEnabled());
    // The RGB summary now spans the three ranges (0..255 each).
    EXPECT_EQ(Strip(3406)->GetEndColor(), PackColor(255, 255, 255));

    ClickCheck(Check(3201));  // clear Green alone
    EXPECT_EQ(rgb->checkState(), Qt::PartiallyChecked);
    EXPECT_FALSE(Slider(model::Green)->isEnabled());

    ClickCheck(rgb);  // an indeterminate box clears
    EXPECT_EQ(rgb->checkState(), Qt::Unchecked);
    for (int c = 0; c < 3; ++c) {
        EXPECT_FALSE(Check(3200 + c)->isChecked());
        EXPECT_FALSE(Slider(c)->isEnabled());
    }
    EXPECT_FALSE(ApplyButton()->isEnabled());

    ClickCheck(rgb);
    ClickCheck(rgb);  // a ticked box clears too
    EXPECT_EQ(rgb->checkState(), Qt::Unchecked);
    ASSERT_TRUE(page->OnKillActive());
    EXPECT_EQ(params.m_bEnabled[model::Red], 0);
}

TEST_F(ColorsPage, ApplyButtonCopiesRedToTickedMembers)
{
    Open();
    ClickCheck(Check(3200));
    ClickCheck(Check(3201));
    SetRange(model::Red, 30, 90);
    Slider(model::Red)->SetAlternate(true);
    QTest::mouseClick(ApplyButton(), Qt::LeftButton);
    EXPECT_EQ(Markers(model::Green), std::make_pair(30, 90));
    EXPECT_TRUE(Slider(model::Green)->GetAlternate());
    EXPECT_EQ(Markers(model::Blue), std::make_pair(0, 255));
    EXPECT_FALSE(Slider(model::Blue)->GetAlternate());
    ASSERT_TRUE(page->OnKillActive());
    EXPECT_EQ(params.m_nColorLow[model::Green], 90u);
    EXPECT_EQ(params.m_nColorHigh[model::Green], 30u);
}
