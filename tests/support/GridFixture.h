#pragma once

// A window holding a 7 x 9 grid with one fixed row and column (the size the
// correlations editor uses) and a second control to move the focus to.

#include "controls/GridCtrl.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

class GridFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<QWidget>();
        window->resize(460, 400);
        grid = new quorrel::controls::CGridCtrl(window.get());
        grid->setGeometry(0, 0, 400, 300);
        other = new QLineEdit(window.get());
        other->setGeometry(0, 320, 200, 24);
        Build(7, 9);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        grid->setFocus();
        spyBegin = std::make_unique<QSignalSpy>(grid, &quorrel::controls::CGridCtrl::beginEdit);
        spyEnd = std::make_unique<QSignalSpy>(grid, &quorrel::controls::CGridCtrl::endEdit);
    }

    void Build(int rows, int cols, int rowHeight = 40, int colWidth = 39)
    {
        grid->SetRowCount(rows);
        grid->SetColumnCount(cols);
        grid->SetFixedRowCount(1);
        grid->SetFixedColumnCount(1);
        for (int r = 0; r < rows; ++r)
            grid->SetRowHeight(r, rowHeight);
        for (int c = 0; c < cols; ++c)
            grid->SetColumnWidth(c, colWidth);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c)
                grid->SetItemText(r, c, QString::number(r * 10 + c));
    }

    QWidget* View() const { return grid->viewport(); }

    QPoint Center(int row, int col) const
    {
        QRect rect;
        grid->GetCellRect(row, col, rect);
        return rect.center();
    }

    void ClickCell(int row, int col, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::mouseClick(View(), Qt::LeftButton, mods, Center(row, col));
    }

    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : grid;
        QTest::keyClick(target, Qt::Key(key), mods);
    }

    void Type(const QString& text)
    {
        for (QChar c : text) {
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : grid;
            QTest::keyClick(target, c.toLatin1());
        }
    }

    quorrel::controls::CCellID Focus() const { return grid->GetFocusCell(); }
    quorrel::controls::CGridInPlaceEdit* Edit() const { return grid->GetInPlaceEdit(); }

    std::unique_ptr<QWidget> window;
    quorrel::controls::CGridCtrl* grid = nullptr;
    QLineEdit* other = nullptr;
    std::unique_ptr<QSignalSpy> spyBegin;
    std::unique_ptr<QSignalSpy> spyEnd;
};
