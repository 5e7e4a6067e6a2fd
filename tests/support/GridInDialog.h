#pragma once

// A square grid with one fixed row and column above OK and Cancel in a dialog,
// each cell showing its number: where the grid's keys and the dialog's meet.

#include "controls/GridCtrl.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

namespace quorrel::test {

class CGridInDialog final {
public:
    explicit CGridInDialog(int size)
        : dialog(std::make_unique<QDialog>())
        , grid(new controls::CGridCtrl)
    {
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        auto* layout = new QVBoxLayout(dialog.get());
        layout->addWidget(grid);
        layout->addWidget(buttons);
        QObject::connect(buttons, &QDialogButtonBox::accepted, dialog.get(), &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, dialog.get(), &QDialog::reject);
        grid->SetRowCount(size);
        grid->SetColumnCount(size);
        grid->SetFixedRowCount(1);
        grid->SetFixedColumnCount(1);
        for (int r = 0; r < size; ++r)
            for (int c = 0; c < size; ++c)
                grid->SetItemText(r, c, QString::number(r * 10 + c));
        dialog->resize(420, 300);
    }

    // Shows the dialog and clicks cell (2, 2); true when the grid then has the
    // focus on that cell.
    bool Open()
    {
        dialog->show();
        dialog->activateWindow();
        if (!QTest::qWaitForWindowActive(dialog.get(), 5000))
            return false;
        grid->setFocus();
        QRect rect;
        grid->GetCellRect(2, 2, rect);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
        return grid->GetFocusCell() == controls::CCellID{2, 2} && QApplication::focusWidget() == grid;
    }

    std::unique_ptr<QDialog> dialog;
    controls::CGridCtrl* grid;
};

} // namespace quorrel::test
