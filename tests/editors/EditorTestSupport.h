#pragma once
// Real-event helpers for the editors' tests: typing into boxes, switching
// tabs, dragging slider markers and typing into grid cells.

#include "controls/GridCtrl.h"
#include "controls/GridInPlaceEdit.h"
#include "controls/RangeSliderCtrl.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

namespace quorrel::editors::testing {

// Replaces the text of an edit box (or spin edit) the way a user does.
inline void TypeText(QWidget* box, const QString& text)
{
    QLineEdit* edit = qobject_cast<QLineEdit*>(box);
    if (!edit)
        edit = box->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    if (!text.isEmpty())
        QTest::keyClicks(edit, text);
}

// Clicks a check box on its indicator (a wide box ignores clicks beyond its
// text).
inline void ClickCheck(QAbstractButton* box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

inline QString BoxText(QWidget* box)
{
    QLineEdit* edit = qobject_cast<QLineEdit*>(box);
    if (!edit)
        edit = box->findChild<QLineEdit*>();
    return edit ? edit->text() : QString();
}

inline void ClickTab(QTabBar* tabs, int index)
{
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
}

// Drags marker `index` of a slider to the pixel of `value`.
inline void DragMarker(controls::CRangeSliderCtrl* slider, int index, float value)
{
    const controls::Box body = slider->GetMarkerBody(index);
    const QPoint from((body.left + body.right) / 2, (body.top + body.bottom) / 2);
    const QPoint to(slider->ValueToPixel(value), from.y());
    QTest::mousePress(slider, Qt::LeftButton, {}, from);
    QTest::mouseMove(slider, QPoint((from.x() + to.x()) / 2, from.y()));
    QTest::mouseMove(slider, to);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, to);
}

// Clicks a cell and types into it; Return ends the edit.
inline void TypeIntoCell(controls::CGridCtrl* grid, int row, int col, const QString& text)
{
    QRect rect;
    ASSERT_TRUE(grid->GetCellRect(row, col, rect));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
    ASSERT_EQ(grid->GetFocusCell().row, row);
    QTest::keyClicks(grid, text.left(1));
    controls::CGridInPlaceEdit* edit = grid->GetInPlaceEdit();
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, text.mid(1));
    QTest::keyClick(edit, Qt::Key_Return);
}

} // namespace quorrel::editors::testing
