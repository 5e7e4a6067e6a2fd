// What the accessibility bridge is served for the controls: combo boxes that
// speak their given name with the current item (or its words) as value, and
// range sliders as a named group of markers that can be read and set. Read
// through QAccessible, the interfaces the bridge itself calls.

#include "controls/RangeSliderCtrl.h"
#include "controls/accessible/Accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace quorrel::controls;

namespace {

class ControlAccessibility : public ::testing::Test {
protected:
    void SetUp() override { InstallControlAccessibility(); }

    static QAccessibleInterface* Of(QObject* object) { return QAccessible::queryAccessibleInterface(object); }
};

TEST_F(ControlAccessibility, AComboBoxSpeaksItsNameAndItsItemAsValue)
{
    QComboBox named;
    named.addItems({QStringLiteral("Normal"), QStringLiteral("Reflected")});
    named.setCurrentIndex(1);
    named.setAccessibleName(QStringLiteral("Red wrap mode"));
    QComboBox unnamed;
    unnamed.addItems({QStringLiteral("Normal"), QStringLiteral("Reflected")});
    QComboBox pictures;
    pictures.addItem(QIcon(), QString());
    pictures.setItemData(0, QStringLiteral("Half turn symmetric"), Qt::AccessibleTextRole);
    pictures.setAccessibleName(QStringLiteral("Red symmetry"));

    QAccessibleInterface* combo = Of(&named);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->role(), QAccessible::ComboBox);
    EXPECT_EQ(combo->text(QAccessible::Name), "Red wrap mode");
    EXPECT_EQ(combo->text(QAccessible::Value), "Reflected");
    // The current item is its text too, where screen readers look for it.
    QAccessibleTextInterface* text = combo->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(0, text->characterCount()), "Reflected");
    named.setCurrentIndex(0);
    EXPECT_EQ(text->text(0, text->characterCount()), "Normal");
    EXPECT_EQ(Of(&pictures)->textInterface()->text(0, 4), "Half");
    // Without a name of its own it speaks its item, as before.
    EXPECT_EQ(Of(&unnamed)->text(QAccessible::Name), "Normal");
    // An item that is a picture speaks its words.
    EXPECT_EQ(Of(&pictures)->text(QAccessible::Name), "Red symmetry");
    EXPECT_EQ(Of(&pictures)->text(QAccessible::Value), "Half turn symmetric");

    // Its one child is the list of items.
    ASSERT_EQ(combo->childCount(), 1);
    QAccessibleInterface* list = combo->child(0);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->object(), named.view());
    EXPECT_EQ(combo->indexOfChild(list), 0);
    EXPECT_EQ(list->childCount() > 0, true);
}

TEST_F(ControlAccessibility, AComboBoxListOpensAndClosesThroughItsAction)
{
    QComboBox combo;
    combo.addItems({QStringLiteral("Normal"), QStringLiteral("Diamond")});
    combo.setAccessibleName(QStringLiteral("Red tile style"));
    combo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo));
    QAccessibleActionInterface* actions = Of(&combo)->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::showMenuAction()));
    EXPECT_FALSE(Of(&combo)->state().expanded);
    actions->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return combo.view()->isVisible(); }, 2000));
    EXPECT_TRUE(Of(&combo)->state().expanded);
    actions->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !combo.view()->isVisible(); }, 2000));
}

TEST_F(ControlAccessibility, AnEditableComboBoxKeepsItsTextField)
{
    QComboBox combo;
    combo.setEditable(true);
    combo.setAccessibleName(QStringLiteral("Size"));
    combo.lineEdit()->setText(QStringLiteral("1920x1080"));
    QAccessibleInterface* iface = Of(&combo);
    ASSERT_NE(iface, nullptr);
    bool hasTextField = false;
    for (int i = 0; i < iface->childCount(); ++i)
        hasTextField = hasTextField || (iface->child(i) && iface->child(i)->object() == combo.lineEdit());
    EXPECT_TRUE(hasTextField);
}

class RangeSliderAccessibility : public ControlAccessibility {
protected:
    void Make(std::initializer_list<float> values, int maxMarkers = 2)
    {
        slider = std::make_unique<CRangeSliderCtrl>(nullptr, RSS_DEFAULT);
        slider->resize(300, 40);
        slider->setAccessibleName(QStringLiteral("Red color range"));
        std::vector<uint32_t> colors(size_t(maxMarkers) + 1, 0xFFFFFF);
        slider->SetUp(0, 255, 20, maxMarkers, nullptr, colors.data(), 0x48F);
        std::vector<float> v(values);
        slider->SetMarkers(0, 255, int(v.size()), v.data());
        slider->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(slider.get()));
    }
    QAccessibleValueInterface* Marker(int i)
    {
        QAccessibleInterface* marker = Of(slider.get())->child(i);
        return marker ? marker->valueInterface() : nullptr;
    }

    std::unique_ptr<CRangeSliderCtrl> slider;
};

TEST_F(RangeSliderAccessibility, EachMarkerIsASliderReadAndSetBetweenItsNeighbours)
{
    Make({40, 200});
    QAccessibleInterface* group = Of(slider.get());
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->role(), QAccessible::Grouping);
    EXPECT_EQ(group->text(QAccessible::Name), "Red color range");
    ASSERT_EQ(group->childCount(), 2);
    QAccessibleInterface* lower = group->child(0);
    QAccessibleInterface* upper = group->child(1);
    EXPECT_EQ(lower->role(), QAccessible::Slider);
    EXPECT_EQ(lower->text(QAccessible::Name), "Red color range, from");
    EXPECT_EQ(upper->text(QAccessible::Name), "Red color range, to");
    EXPECT_EQ(group->indexOfChild(upper), 1);
    EXPECT_EQ(lower->parent(), group);
    // Where the marker is drawn, on the screen.
    EXPECT_TRUE(slider->rect().translated(slider->mapToGlobal(QPoint())).contains(lower->rect().center()));
    EXPECT_EQ(group->childAt(lower->rect().center().x(), lower->rect().center().y()), lower);

    EXPECT_EQ(Marker(0)->currentValue().toDouble(), 40.0);
    EXPECT_EQ(Marker(0)->minimumValue().toDouble(), 0.0);
    EXPECT_EQ(Marker(0)->maximumValue().toDouble(), 200.0);
    EXPECT_EQ(Marker(1)->minimumValue().toDouble(), 40.0);
    EXPECT_EQ(Marker(1)->maximumValue().toDouble(), 255.0);
    EXPECT_EQ(lower->text(QAccessible::Value), "40");  // a whole-number slider
    EXPECT_EQ(Marker(0)->minimumStepSize().toDouble(), 1.0);

    // Setting a value moves the marker, rounded as shown, and tells the
    // page, as a drop does.
    QSignalSpy moved(slider.get(), &CRangeSliderCtrl::markerMoved);
    Marker(0)->setCurrentValue(90.6);
    EXPECT_EQ(moved.count(), 1);
    float values[2] = {};
    ASSERT_EQ(slider->GetMarkerValues(values), 2);
    EXPECT_FLOAT_EQ(values[0], 91.0f);
    EXPECT_EQ(lower->text(QAccessible::Value), "91");
    EXPECT_EQ(Marker(1)->minimumValue().toDouble(), 91.0);
    Marker(1)->setCurrentValue(10);  // below its neighbour: stops there
    slider->GetMarkerValues(values);
    EXPECT_FLOAT_EQ(values[1], 91.0f);
    Marker(0)->setCurrentValue(QStringLiteral("not a number"));
    EXPECT_EQ(moved.count(), 2);
}

TEST_F(RangeSliderAccessibility, AColourRangeWrapsAroundThroughItsToggleAndSaysSo)
{
    Make({40, 200});
    QAccessibleInterface* group = Of(slider.get());
    QAccessibleActionInterface* actions = group->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    EXPECT_EQ(group->text(QAccessible::Description), QString());
    QSignalSpy moved(slider.get(), &CRangeSliderCtrl::markerMoved);
    actions->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(slider->GetAlternate());
    EXPECT_EQ(moved.count(), 1);
    EXPECT_EQ(group->text(QAccessible::Description), "wraps around the ends");
    // The range now starts at the upper marker.
    EXPECT_EQ(group->child(1)->text(QAccessible::Name), "Red color range, from");
    EXPECT_EQ(group->child(0)->text(QAccessible::Name), "Red color range, to");
    actions->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(slider->GetAlternate());
    EXPECT_EQ(group->child(0)->text(QAccessible::Name), "Red color range, from");

    // A range without alternating colours (the amplitudes) has no wrap.
    slider->SetUp(0, 255, 20, 2, nullptr, nullptr, 0x08F);
    EXPECT_FALSE(group->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    EXPECT_FALSE(slider->ToggleWrap());
}

TEST_F(RangeSliderAccessibility, ChildrenFollowTheMarkers)
{
    Make({10, 20, 30}, 3);
    QAccessibleInterface* group = Of(slider.get());
    ASSERT_EQ(group->childCount(), 3);
    EXPECT_EQ(group->child(1)->text(QAccessible::Name), "Red color range, marker 2 of 3");
    QAccessibleInterface* third = group->child(2);
    const float one = 50;
    slider->SetMarkers(0, 255, 1, &one);
    EXPECT_EQ(group->childCount(), 1);
    EXPECT_EQ(group->child(0)->text(QAccessible::Name), "Red color range");
    EXPECT_EQ(group->child(2), nullptr);
    // The interface of a marker that went stays, merely invalid.
    EXPECT_FALSE(third->isValid());
    EXPECT_EQ(third->text(QAccessible::Name), QString());
}

} // namespace
