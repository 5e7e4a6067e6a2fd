// CRangeSliderCtrl driven with real mouse events: adding markers, dragging
// with and without crossing, pinning at the range ends, Ctrl-drag of both
// markers, the alternate phase, the value tip and the notifications; and
// values set directly, as assistive technologies set them.

#include "controls/RangeSliderCtrl.h"

#include <QSignalSpy>

#include <limits>
#include <QTest>

#include <gtest/gtest.h>

using namespace quorrel::controls;

namespace {

constexpr uint32_t kColorsStyle = 0x48F; // as the Colors page sets it up
constexpr uint32_t kShapesStyle = 0x08F; // as the Shapes page sets it up

class RangeSliderTest : public ::testing::Test {
protected:
    void SetUpSlider(float lo, float hi, int ticFreq, uint32_t style, std::initializer_list<float> values,
                     int maxMarkers = 2)
    {
        slider = std::make_unique<CRangeSliderCtrl>(nullptr, RSS_DEFAULT);
        slider->resize(300, 40);
        const uint32_t colors[3] = {0xFFFFFF, 0xFF0000, 0xFFFFFF};
        std::vector<uint32_t> allColors(size_t(maxMarkers) + 1, 0xFFFFFF);
        std::copy(colors, colors + std::min<size_t>(3, allColors.size()), allColors.begin());
        slider->SetUp(lo, hi, ticFreq, maxMarkers, nullptr, allColors.data(), int(style));
        std::vector<float> v(values);
        if (!v.empty())
            slider->SetMarkers(lo, hi, int(v.size()), v.data());
        slider->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(slider.get()));
    }

    // A point on the channel at the pixel of value v (inside a marker's body
    // when a marker stands there).
    QPoint At(float v) { return QPoint(slider->ValueToPixel(v), ChannelY()); }
    int ChannelY()
    {
        const Box c = slider->GetChannelRect();
        return (c.top + c.bottom) / 2;
    }

    std::vector<float> Values()
    {
        float buf[16] = {};
        const int n = slider->GetMarkerValues(buf);
        return std::vector<float>(buf, buf + n);
    }

    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::mousePress(slider.get(), Qt::LeftButton, mods, from);
        // Several steps, as a real pointer would move.
        for (int i = 1; i <= 4; ++i)
            QTest::mouseMove(slider.get(), from + (to - from) * i / 4);
        QTest::mouseRelease(slider.get(), Qt::LeftButton, mods, to);
    }

    std::unique_ptr<CRangeSliderCtrl> slider;
};

} // namespace

TEST(RangeSliderRules, TickCountFollowsTheFrequency)
{
    EXPECT_EQ(CRangeSliderCtrl::TickCountFor(20), 6);
    EXPECT_EQ(CRangeSliderCtrl::TickCountFor(17), 7);
    EXPECT_EQ(CRangeSliderCtrl::TickCountFor(50), 3);
    EXPECT_EQ(CRangeSliderCtrl::TickCountFor(100), 2);
    EXPECT_EQ(CRangeSliderCtrl::TickCountFor(1), 101);
    EXPECT_EQ(CRangeSliderCtrl::TickCountFor(0), 2);
}

TEST(RangeSliderRules, RoundToIsHalfUpInSinglePrecision)
{
    EXPECT_FLOAT_EQ(CRangeSliderCtrl::RoundTo(12.34f, 1), 12.3f);
    EXPECT_FLOAT_EQ(CRangeSliderCtrl::RoundTo(12.35f, 1), 12.4f);
    EXPECT_FLOAT_EQ(CRangeSliderCtrl::RoundTo(-0.5f, 0), 0.0f);
    EXPECT_FLOAT_EQ(CRangeSliderCtrl::RoundTo(2.5f, 0), 3.0f);
}

TEST_F(RangeSliderTest, SetUpStoresTickFrequencyAndMarkerCount)
{
    SetUpSlider(0, 255, 17, kColorsStyle, {});
    EXPECT_EQ(slider->GetTickCount(), 7);
    EXPECT_EQ(slider->GetMaxMarkers(), 2);
    EXPECT_EQ(slider->GetStyle(), kColorsStyle);
    EXPECT_EQ(slider->GetMarkerCount(), 0);
    // -1 keeps the style; given values add to the markers already present.
    const float more[2] = {30, 90};
    slider->SetUp(0, 255, 20, 2, more, nullptr, -1);
    EXPECT_EQ(slider->GetStyle(), kColorsStyle);
    EXPECT_EQ(slider->GetTickCount(), 6);
    EXPECT_EQ(Values(), std::vector<float>({30, 90}));
    const float again[1] = {60};
    slider->SetUp(0, 255, 20, 1, again, nullptr, -1);
    EXPECT_EQ(slider->GetMaxMarkers(), 1);
    EXPECT_EQ(Values(), std::vector<float>({30, 60, 90}));
}

TEST_F(RangeSliderTest, MarkersAreSortedAndReadBackTruncated)
{
    SetUpSlider(-10, 100, 20, kShapesStyle, {60.5f, 12.9f, -0.7f}, 3);
    EXPECT_EQ(Values(), std::vector<float>({-0.7f, 12.9f, 60.5f}));
    int ints[3] = {};
    ASSERT_EQ(slider->GetMarkerValuesInt(ints), 3);
    EXPECT_EQ(ints[0], 0); // toward zero, not down
    EXPECT_EQ(ints[1], 12);
    EXPECT_EQ(ints[2], 60);
}

TEST_F(RangeSliderTest, SetMarkersReplacesAndOutOfRangeValuesGoAtNextPaint)
{
    SetUpSlider(0, 100, 20, kShapesStyle, {10, 60});
    const float next[2] = {150, 40};
    EXPECT_TRUE(slider->SetMarkers(0, 100, 2, next));
    slider->repaint();
    EXPECT_EQ(Values(), std::vector<float>({40}));
    // A null list or a zero count keeps the markers and only sets the range.
    EXPECT_TRUE(slider->SetMarkers(0, 50, 0, next));
    EXPECT_EQ(Values(), std::vector<float>({40}));
    EXPECT_FLOAT_EQ(slider->GetMax(), 50.0f);
}

TEST_F(RangeSliderTest, ValueAxisRoundsToOneDecimalAndRunsBothWays)
{
    SetUpSlider(0, 100, 20, kShapesStyle, {});
    const Box active = slider->GetActiveRect();
    EXPECT_EQ(slider->ValueToPixel(0), active.left);
    EXPECT_EQ(slider->ValueToPixel(100), active.right);
    EXPECT_FLOAT_EQ(slider->PixelToValue(active.left), 0.0f);
    EXPECT_FLOAT_EQ(slider->PixelToValue(active.right), 100.0f);
    const float mid = slider->PixelToValue((active.left + active.right) / 2);
    EXPECT_FLOAT_EQ(mid, CRangeSliderCtrl::RoundTo(mid, 1));

    slider->SetUp(0, 100, 20, 2, nullptr, nullptr, int(kShapesStyle | RSS_REVERSED));
    EXPECT_EQ(slider->ValueToPixel(0), active.right);
    EXPECT_EQ(slider->ValueToPixel(100), active.left);
}

TEST_F(RangeSliderTest, ClickOnEmptyChannelAddsMarkersUpToTheMaximum)
{
    SetUpSlider(0, 100, 20, kShapesStyle, {});
    QSignalSpy scrolled(slider.get(), &CRangeSliderCtrl::scrolled);
    QTest::mouseClick(slider.get(), Qt::LeftButton, Qt::NoModifier, At(30));
    ASSERT_EQ(slider->GetMarkerCount(), 1);
    EXPECT_NEAR(Values()[0], 30.0f, 0.5f);
    EXPECT_GE(scrolled.count(), 1);
    QTest::mouseClick(slider.get(), Qt::LeftButton, Qt::NoModifier, At(70));
    EXPECT_EQ(slider->GetMarkerCount(), 2);
    // Full: a third click adds nothing.
    QTest::mouseClick(slider.get(), Qt::LeftButton, Qt::NoModifier, At(90));
    EXPECT_EQ(slider->GetMarkerCount(), 2);
    // A click off the channel never adds one.
    SetUpSlider(0, 100, 20, kShapesStyle, {});
    QTest::mouseClick(slider.get(), Qt::LeftButton, Qt::NoModifier, QPoint(At(50).x(), 38));
    EXPECT_EQ(slider->GetMarkerCount(), 0);
}

TEST_F(RangeSliderTest, DraggingPastTheOtherMarkerResortsAndFlipsTheAlternatePhase)
{
    SetUpSlider(0, 255, 20, kColorsStyle, {50, 200});
    ASSERT_FALSE(slider->GetAlternate());
    QSignalSpy moved(slider.get(), &CRangeSliderCtrl::markerMoved);
    Drag(At(50), At(230));
    const auto v = Values();
    ASSERT_EQ(v.size(), 2u);
    EXPECT_FLOAT_EQ(v[0], 200.0f);
    EXPECT_NEAR(v[1], 230.0f, 1.0f);
    EXPECT_TRUE(slider->GetAlternate());
    EXPECT_EQ(moved.count(), 1);

    // Back across: the phase flips again.
    Drag(At(v[1]), At(20));
    EXPECT_FALSE(slider->GetAlternate());
    EXPECT_EQ(moved.count(), 2);

    // A drag that keeps the order leaves the phase alone.
    const auto w = Values();
    Drag(At(w[0]), At(w[0] + 10));
    EXPECT_FALSE(slider->GetAlternate());
}

TEST_F(RangeSliderTest, ValuesReadInTheMiddleOfADragAreAscending)
{
    SetUpSlider(0, 255, 20, kColorsStyle, {50, 200});
    QTest::mousePress(slider.get(), Qt::LeftButton, Qt::NoModifier, At(50));
    QTest::mouseMove(slider.get(), At(150));
    QTest::mouseMove(slider.get(), At(230));
    const auto v = Values();
    ASSERT_EQ(v.size(), 2u);
    EXPECT_FLOAT_EQ(v[0], 200.0f);
    EXPECT_NEAR(v[1], 230.0f, 1.0f);
    QTest::mouseRelease(slider.get(), Qt::LeftButton, Qt::NoModifier, At(230));
}

TEST_F(RangeSliderTest, WithoutAlternateColoursTheFlagNeverFlips)
{
    SetUpSlider(0, 100, 20, kShapesStyle, {20, 60});
    Drag(At(20), At(80));
    EXPECT_FALSE(slider->GetAlternate());
    EXPECT_EQ(Values()[0], 60.0f);
}

TEST_F(RangeSliderTest, NoCrossingStopsAtTheNeighbour)
{
    SetUpSlider(0, 100, 20, RSS_DEFAULT, {20, 60}); // the default style forbids crossing
    Drag(At(20), At(90));
    EXPECT_EQ(Values(), std::vector<float>({60, 60}));
}

TEST_F(RangeSliderTest, DraggingBeyondAnEndPinsTheMarkerThere)
{
    SetUpSlider(0, 255, 20, kColorsStyle, {50, 200});
    const Box client{0, 0, slider->width(), slider->height()};
    Drag(At(200), QPoint(client.right + 40, ChannelY()));
    EXPECT_EQ(Values(), std::vector<float>({50, 255}));
    Drag(At(50), QPoint(-40, ChannelY()));
    EXPECT_EQ(Values(), std::vector<float>({0, 255}));
}

TEST_F(RangeSliderTest, SecondMarkerReleasedAtTheMinimumReturnsToItsStart)
{
    SetUpSlider(0, 255, 20, kColorsStyle, {50, 200});
    Drag(At(200), QPoint(-40, ChannelY()));
    EXPECT_EQ(Values(), std::vector<float>({50, 200}));
    EXPECT_FALSE(slider->GetAlternate());
}

TEST_F(RangeSliderTest, CtrlDragMovesBothMarkersByTheSameAmount)
{
    SetUpSlider(0, 100, 20, kShapesStyle, {20, 50});
    Drag(At(20), At(40), Qt::ControlModifier);
    auto v = Values();
    ASSERT_EQ(v.size(), 2u);
    EXPECT_NEAR(v[0], 40.0f, 1.0f);
    EXPECT_NEAR(v[1] - v[0], 30.0f, 1e-3f);
}

TEST_F(RangeSliderTest, CtrlDragRefusesStepsBeyondTheRange)
{
    SetUpSlider(0, 100, 20, kShapesStyle, {20, 80});
    // The upper marker would pass 100 long before the pointer stops.
    Drag(At(20), At(60), Qt::ControlModifier);
    auto v = Values();
    ASSERT_EQ(v.size(), 2u);
    EXPECT_LE(v[1], 100.0f);
    EXPECT_GE(v[0], 20.0f);
    EXPECT_NEAR(v[1] - v[0], 60.0f, 1e-3f);

    // Beyond the lower end, released outside the control: the pair keeps its
    // width and stays inside the range.
    Drag(At(v[0]), QPoint(-30, ChannelY()), Qt::ControlModifier);
    v = Values();
    EXPECT_GE(v[0], 0.0f);
    EXPECT_LT(v[0], 40.0f);
    EXPECT_NEAR(v[1] - v[0], 60.0f, 1e-3f);
}

TEST_F(RangeSliderTest, CtrlDragNeedsExactlyTwoMarkers)
{
    SetUpSlider(0, 100, 20, kShapesStyle, {20, 50, 70}, 3);
    Drag(At(20), At(30), Qt::ControlModifier);
    auto v = Values();
    EXPECT_NEAR(v[0], 30.0f, 1.0f);
    EXPECT_FLOAT_EQ(v[1], 50.0f);
    EXPECT_FLOAT_EQ(v[2], 70.0f);
}

TEST_F(RangeSliderTest, DragOutRemovesTheMarker)
{
    SetUpSlider(0, 100, 20, kShapesStyle | RSS_DRAGOUTREMOVES, {20, 50});
    Drag(At(20), QPoint(At(20).x(), slider->height() + 30));
    EXPECT_EQ(Values(), std::vector<float>({50}));
}

TEST_F(RangeSliderTest, DragOutReleasedInsideBeyondTheRangeKeepsTheOrder)
{
    SetUpSlider(0, 100, 20, kShapesStyle | RSS_DRAGOUTREMOVES, {20, 50});
    // Past the other marker, then out of the value zone but still inside the
    // client: the marker stays where the last step put it, re-sorted.
    QTest::mousePress(slider.get(), Qt::LeftButton, Qt::NoModifier, At(20));
    QTest::mouseMove(slider.get(), At(70));
    QTest::mouseMove(slider.get(), QPoint(1, ChannelY()));
    QTest::mouseRelease(slider.get(), Qt::LeftButton, Qt::NoModifier, QPoint(1, ChannelY()));
    const auto v = Values();
    ASSERT_EQ(v.size(), 2u);
    EXPECT_LE(v[0], v[1]);
    EXPECT_FLOAT_EQ(v[0], 50.0f);
    EXPECT_NEAR(v[1], 70.0f, 1.0f);
}

TEST_F(RangeSliderTest, ValueTipShowsWhileDraggingAndFollowsTheStyle)
{
    SetUpSlider(0, 100, 20, kShapesStyle, {20, 50});
    QTest::mousePress(slider.get(), Qt::LeftButton, Qt::NoModifier, At(20));
    EXPECT_TRUE(slider->GetTip().isVisible());
    EXPECT_EQ(slider->GetTip().GetText(), QStringLiteral("20"));
    QTest::mouseMove(slider.get(), At(35));
    EXPECT_TRUE(slider->GetTip().isVisible());
    EXPECT_NEAR(slider->GetTip().GetText().toDouble(), 35.0, 1.0);
    QTest::mouseRelease(slider.get(), Qt::LeftButton, Qt::NoModifier, At(35));

    // Without RSS_INTEGER the tip carries one decimal.
    SetUpSlider(0, 100, 20, kShapesStyle & ~RSS_INTEGER, {});
    int px = slider->ValueToPixel(20);
    while (slider->PixelToValue(px) == float(int(slider->PixelToValue(px))))
        ++px; // a pixel whose value has a decimal
    const float v = slider->PixelToValue(px);
    slider->SetMarkers(0, 100, 1, &v);
    QTest::mousePress(slider.get(), Qt::LeftButton, Qt::NoModifier, QPoint(px, ChannelY()));
    EXPECT_EQ(slider->GetTip().GetText(), QString::asprintf("%.1f", double(v)));
    EXPECT_TRUE(slider->GetTip().GetText().contains(QLatin1Char('.')));
    QTest::mouseRelease(slider.get(), Qt::LeftButton, Qt::NoModifier, QPoint(px, ChannelY()));

    // Without RSS_VALUETIP no tip at all.
    SetUpSlider(0, 100, 20, kShapesStyle & ~RSS_VALUETIP, {20});
    QTest::mousePress(slider.get(), Qt::LeftButton, Qt::NoModifier, At(20));
    EXPECT_FALSE(slider->GetTip().isVisible());
    QTest::mouseRelease(slider.get(), Qt::LeftButton, Qt::NoModifier, At(20));
}

TEST_F(RangeSliderTest, RestingOnAMarkerShowsItsValueAfterOneSecond)
{
    SetUpSlider(0, 255, 20, kColorsStyle, {50, 200});
    QTest::mouseMove(slider.get(), At(200));
    QTest::qWait(400);
    EXPECT_FALSE(slider->GetTip().isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(slider->GetTip().isVisible(), 2000);
    EXPECT_EQ(slider->GetTip().GetText(), QStringLiteral("200"));
    // Leaving the marker hides it.
    QTest::mouseMove(slider.get(), At(120));
    EXPECT_FALSE(slider->GetTip().isVisible());
}

TEST_F(RangeSliderTest, KeysMoveNoMarker)
{
    SetUpSlider(0, 100, 20, kShapesStyle, {20, 50});
    slider->setFocus();
    QTest::keyClick(slider.get(), Qt::Key_Right);
    QTest::keyClick(slider.get(), Qt::Key_PageUp);
    EXPECT_EQ(Values(), std::vector<float>({20, 50}));
}

TEST_F(RangeSliderTest, VerticalSliderRunsBottomToTop)
{
    SetUpSlider(0, 100, 20, kShapesStyle, {});
    slider->SetTrackbarStyle(Qt::Vertical, QSlider::TicksBelow);
    slider->resize(48, 300);
    const Box active = slider->GetActiveRect();
    const int x = (slider->GetChannelRect().top + slider->GetChannelRect().bottom) / 2;
    // Near the bottom: a small value.
    QTest::mouseClick(slider.get(), Qt::LeftButton, Qt::NoModifier, QPoint(x, active.right - 10));
    QTest::mouseClick(slider.get(), Qt::LeftButton, Qt::NoModifier, QPoint(x, active.left + 10));
    const auto v = Values();
    ASSERT_EQ(v.size(), 2u);
    EXPECT_LT(v[0], 10.0f);
    EXPECT_GT(v[1], 90.0f);
    // Dragging the low marker up past the other works the same way.
    QTest::mousePress(slider.get(), Qt::LeftButton, Qt::NoModifier, QPoint(x, active.right - 10));
    QTest::mouseMove(slider.get(), QPoint(x, 150));
    QTest::mouseRelease(slider.get(), Qt::LeftButton, Qt::NoModifier, QPoint(x, 150));
    EXPECT_NEAR(Values()[0], 50.0f, 2.0f);
}

TEST_F(RangeSliderTest, DisabledAndFocusedSlidersPaint)
{
    SetUpSlider(0, 255, 17, kColorsStyle | RSS_FOCUSRECT, {0, 255});
    slider->setFocus();
    QImage enabled = slider->grab().toImage();
    slider->setEnabled(false);
    QImage disabled = slider->grab().toImage();
    EXPECT_NE(enabled, disabled);
    // The highlighted segment between the markers turns grey when disabled.
    const QPoint mid(slider->ValueToPixel(128), ChannelY());
    EXPECT_EQ(QColor(enabled.pixel(mid)), QColor(0, 0, 0xFF));
    EXPECT_NE(QColor(disabled.pixel(mid)), QColor(0, 0, 0xFF));
}

// Setting a marker's value (what assistive technologies do instead of
// dragging): kept between its neighbours and the range ends, refused for no
// marker or no number, and announced like a drop.
struct MarkerValueCase {
    const char* what;
    int index;
    float value;
    bool accepted;
    std::vector<float> after;
};

class RangeSliderMarkerValue : public RangeSliderTest, public ::testing::WithParamInterface<MarkerValueCase> {};

TEST_P(RangeSliderMarkerValue, StaysBetweenItsNeighboursAndNotifiesLikeADrop)
{
    const MarkerValueCase& c = GetParam();
    SetUpSlider(0, 100, 20, kColorsStyle, {20, 50});
    const bool alternate = slider->GetAlternate();
    QSignalSpy moved(slider.get(), &CRangeSliderCtrl::markerMoved);
    QSignalSpy scrolled(slider.get(), &CRangeSliderCtrl::scrolled);
    EXPECT_EQ(slider->SetMarkerValue(c.index, c.value), c.accepted);
    EXPECT_EQ(Values(), c.after);
    EXPECT_EQ(moved.count(), c.accepted ? 1 : 0);
    EXPECT_EQ(scrolled.count(), c.accepted ? 1 : 0);
    // Never crossing, the alternate phase never flips.
    EXPECT_EQ(slider->GetAlternate(), alternate);
    if (c.accepted) {
        // The marker is drawn where its value now is.
        const QRect body = slider->GetMarkerRect(c.index);
        EXPECT_TRUE(body.contains(slider->ValueToPixel(c.after[size_t(c.index)]), body.center().y()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RangeSliderMarkerValue,
    ::testing::Values(MarkerValueCase{"LowerInside", 0, 30, true, {30, 50}},
                      MarkerValueCase{"LowerPastUpperStopsThere", 0, 70, true, {50, 50}},
                      MarkerValueCase{"RoundedAsShown", 0, 30.6f, true, {31, 50}},
                      MarkerValueCase{"LowerBelowTheRange", 0, -5, true, {0, 50}},
                      MarkerValueCase{"UpperBelowLowerStopsThere", 1, 10, true, {20, 20}},
                      MarkerValueCase{"UpperBeyondTheRange", 1, 150, true, {20, 100}},
                      MarkerValueCase{"NoSuchMarker", 2, 10, false, {20, 50}},
                      MarkerValueCase{"NegativeIndex", -1, 10, false, {20, 50}},
                      MarkerValueCase{"NotANumber", 0, std::numeric_limits<float>::quiet_NaN(), false, {20, 50}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(RangeSliderTest, NoValueIsSetAndNoWrapToggledDuringADrag)
{
    SetUpSlider(0, 100, 20, kColorsStyle, {20, 50});
    QTest::mousePress(slider.get(), Qt::LeftButton, Qt::NoModifier, At(20));
    QTest::mouseMove(slider.get(), At(30));
    EXPECT_FALSE(slider->SetMarkerValue(1, 80));
    EXPECT_FALSE(slider->ToggleWrap());
    QTest::mouseRelease(slider.get(), Qt::LeftButton, Qt::NoModifier, At(30));
    // Only the drag moved a marker.
    ASSERT_EQ(Values().size(), 2u);
    EXPECT_NE(Values()[0], 20.0f);
    EXPECT_EQ(Values()[1], 50.0f);
    EXPECT_FALSE(slider->GetAlternate());
    EXPECT_TRUE(slider->ToggleWrap());
    EXPECT_TRUE(slider->GetAlternate());
}
