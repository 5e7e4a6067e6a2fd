// What a screen reader is told: every interactive control of the main
// window, of each page of the Properties sheet and of the coefficient
// dialogs has a name it can speak. The accessible tree is walked as an
// assistive technology reads it (QAccessible, the interfaces the
// accessibility bridge serves), including the grids' cells.

#include "EditorFixture.h"

#include "editors/CoeffsDlg.h"
#include "editors/CoeffsMainDlg.h"
#include "editors/QuorrelProp.h"

#include "controls/GridCtrl.h"

#include "model/TileParams.h"

#include <QAccessible>
#include <QApplication>
#include <QAbstractSpinBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTest>

#include <set>

using namespace quorrel;

namespace {

bool IsInteractive(QAccessible::Role role)
{
    static const std::set<QAccessible::Role> roles = {
        QAccessible::PushButton, QAccessible::CheckBox,     QAccessible::RadioButton, QAccessible::ComboBox,
        QAccessible::SpinBox,    QAccessible::Slider,       QAccessible::EditableText, QAccessible::ButtonMenu,
        QAccessible::ButtonDropDown, QAccessible::PageTab,  QAccessible::List,        QAccessible::ListItem,
        QAccessible::Table,      QAccessible::Cell,         QAccessible::Tree,        QAccessible::MenuItem,
        QAccessible::Dial,       QAccessible::Link,
    };
    return roles.count(role) != 0;
}

QString Describe(QAccessibleInterface* item)
{
    QStringList path;
    for (QAccessibleInterface* at = item; at; at = at->parent()) {
        const QObject* object = at->object();
        path.prepend(QStringLiteral("%1(%2)")
                         .arg(object ? QString::fromLatin1(object->metaObject()->className()) : QStringLiteral("-"),
                              object ? object->objectName() : QString::number(int(at->role()), 16)));
        if (object && object->isWidgetType() && static_cast<const QWidget*>(object)->isWindow())
            break;
    }
    return path.join(QStringLiteral(" > ")) + QStringLiteral(" role 0x%1").arg(int(item->role()), 0, 16);
}

// Every visible interactive element under `item` without a name.
void CollectUnnamed(QAccessibleInterface* item, QStringList& unnamed, int& interactive, int depth = 0)
{
    if (!item || !item->isValid() || depth > 40)
        return;
    if (item->state().invisible)
        return;
    // Words as they are spoken: no menu mnemonic, no blanks at either end.
    for (const QAccessible::Text kind : {QAccessible::Name, QAccessible::Description}) {
        const QString words = item->text(kind);
        static const QRegularExpression mnemonic(QStringLiteral("&(?!&)\\w"));
        if (mnemonic.match(words).hasMatch() || words != words.trimmed())
            unnamed << Describe(item) + QStringLiteral(" speaks '%1'").arg(words);
    }
    // A spin box's value and range are those of the number it shows.
    if (item->role() == QAccessible::SpinBox && item->valueInterface()) {
        bool isNumber = false;
        const int shown = item->text(QAccessible::Value).toInt(&isNumber);
        QAccessibleValueInterface* value = item->valueInterface();
        if (isNumber && (value->currentValue().toInt() != shown || value->minimumValue().toInt() > shown ||
                         value->maximumValue().toInt() < shown ||
                         value->minimumValue().toInt() == value->maximumValue().toInt()))
            unnamed << Describe(item) + QStringLiteral(" shows %1 but speaks %2 of %3..%4")
                                            .arg(shown)
                                            .arg(value->currentValue().toInt())
                                            .arg(value->minimumValue().toInt())
                                            .arg(value->maximumValue().toInt());
    }
    if (IsInteractive(item->role())) {
        ++interactive;
        const QString name = item->text(QAccessible::Name);
        if (name.trimmed().isEmpty())
            unnamed << Describe(item);
        // A name given to the control is the one spoken (on Linux Qt's own
        // combo box would speak its current item instead).
        const auto* widget = qobject_cast<const QWidget*>(item->object());
        if (widget && !widget->accessibleName().isEmpty() && name != widget->accessibleName())
            unnamed << Describe(item) + QStringLiteral(" speaks '%1', not '%2'").arg(name, widget->accessibleName());
    }
    for (int i = 0; i < item->childCount(); ++i)
        CollectUnnamed(item->child(i), unnamed, interactive, depth + 1);
}

// Names missing in `window`; at least `atLeast` interactive elements must
// have been found (a tree that shows nothing names nothing).
void ExpectEveryControlNamed(QWidget* window, int atLeast, const char* what)
{
    SCOPED_TRACE(what);
    QApplication::processEvents();
    QStringList unnamed;
    int interactive = 0;
    CollectUnnamed(QAccessible::queryAccessibleInterface(window), unnamed, interactive);
    EXPECT_GE(interactive, atLeast);
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.size() << " unnamed:\n" << unnamed.join('\n').toStdString();
}

using AccessibilityTest = test::EditorFixture;

TEST_F(AccessibilityTest, EveryInteractiveControlHasANameAScreenReaderSpeaks)
{
    ASSERT_TRUE(Start());
    Frame()->showNormal();
    Frame()->resize(1000, 700);
    ExpectEveryControlNamed(Frame(), 20, "main window");

    model::CTileParams params;
    editors::CQuorrelProp sheet(params);
    sheet.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
    int spinBoxes = 0;
    for (int page = 0; page < sheet.TabBar()->count(); ++page) {
        sheet.TabBar()->setCurrentIndex(page);
        ExpectEveryControlNamed(&sheet, 8, qPrintable(sheet.TabBar()->tabText(page)));
        for (const QAbstractSpinBox* spin : sheet.findChildren<QAbstractSpinBox*>())
            spinBoxes += spin->isVisible();
    }
    EXPECT_EQ(spinBoxes, 14) << "the General and Shapes pages' spin boxes were not all checked";
    sheet.reject();

    editors::CCoeffsMainDlg coefficients(params);
    coefficients.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&coefficients));
    ExpectEveryControlNamed(&coefficients, 30, "coefficients");
    coefficients.reject();

    params.m_nHorzHarm[model::Hue] = 3;
    params.m_nVertHarm[model::Hue] = 4;
    editors::CCoeffsDlg table(params, &model::CTileParams::m_nCosSin, model::Hue);
    table.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&table));
    ExpectEveryControlNamed(&table, 3 * 4 + 3, "coefficient table");
    // Whose table it is: the window and the table say so.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&table)->text(QAccessible::Name), "Hue Cos/Sin Coefficients");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(table.Grid())->text(QAccessible::Name),
              "Hue Cos/Sin Coefficients");
    // A cell speaks its value and is tied to its row's and column's headers.
    table.Grid()->SetItemText(2, 3, QStringLiteral("-17"));
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(table.Grid());
    ASSERT_NE(grid, nullptr);
    ASSERT_NE(grid->tableInterface(), nullptr);
    EXPECT_EQ(grid->role(), QAccessible::Table);
    EXPECT_EQ(grid->tableInterface()->rowCount(), 3);
    EXPECT_EQ(grid->tableInterface()->columnCount(), 4);
    QAccessibleInterface* cell = grid->tableInterface()->cellAt(1, 2);
    ASSERT_NE(cell, nullptr);
    ASSERT_NE(cell->tableCellInterface(), nullptr);
    EXPECT_EQ(cell->text(QAccessible::Name), "-17");
    EXPECT_EQ(cell->text(QAccessible::Description), table.Grid()->GetItemText(2, 0) + ", " + table.Grid()->GetItemText(0, 3));
    const QList<QAccessibleInterface*> rowHeaders = cell->tableCellInterface()->rowHeaderCells();
    const QList<QAccessibleInterface*> columnHeaders = cell->tableCellInterface()->columnHeaderCells();
    ASSERT_EQ(rowHeaders.size(), 1);
    ASSERT_EQ(columnHeaders.size(), 1);
    EXPECT_EQ(rowHeaders[0]->text(QAccessible::Name), table.Grid()->GetItemText(2, 0));
    EXPECT_EQ(columnHeaders[0]->role(), QAccessible::ColumnHeader);
    EXPECT_EQ(columnHeaders[0]->text(QAccessible::Name), table.Grid()->GetItemText(0, 3));
    EXPECT_EQ(grid->indexOfChild(cell), 2 * table.Grid()->GetColumnCount() + 3);
    table.reject();
}

TEST_F(AccessibilityTest, AColourRangeSetAndWrappedThroughItsMarkersIsStoredByOk)
{
    ASSERT_TRUE(Start());
    model::CTileParams params;
    params.m_nColorLow[model::Red] = 20;
    params.m_nColorHigh[model::Red] = 200;
    editors::CQuorrelProp sheet(params);
    sheet.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
    sheet.TabBar()->setCurrentIndex(1);  // Colors
    QApplication::processEvents();

    QAccessibleInterface* range = nullptr;
    for (auto* widget : sheet.findChildren<QWidget*>())
        if (widget->isVisible() && widget->accessibleName() == QStringLiteral("Red color range"))
            range = QAccessible::queryAccessibleInterface(widget);
    ASSERT_NE(range, nullptr);
    ASSERT_EQ(range->childCount(), 2);
    QAccessibleValueInterface* lower = range->child(0)->valueInterface();
    QAccessibleValueInterface* upper = range->child(1)->valueInterface();
    ASSERT_NE(lower, nullptr);
    ASSERT_NE(upper, nullptr);
    EXPECT_EQ(lower->currentValue().toInt(), 20);
    EXPECT_EQ(upper->currentValue().toInt(), 200);
    lower->setCurrentValue(64);
    upper->setCurrentValue(180);
    // Wrapped around the ends, the range runs from 180 up to 64.
    range->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(range->child(1)->text(QAccessible::Name), "Red color range, from");
    QTest::mouseClick(sheet.OkButton(), Qt::LeftButton);
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(params.m_nColorLow[model::Red], 180u);
    EXPECT_EQ(params.m_nColorHigh[model::Red], 64u);
}

} // namespace
