#pragma once
// One coefficient table of one component as an editable grid of integers:
// rows are the horizontal harmonics, columns the vertical ones.

#include "model/TileParams.h"

#include <QDialog>

class QFontMetrics;

namespace quorrel::controls { class CGridCtrl; }

namespace quorrel::editors {

class IEditorMessages;

// Which of the four tables: a member pointer into the parameter set.
using CoeffTableMember = model::CoeffTable model::CTileParams::*;

class CCoeffsDlg final : public QDialog {
    Q_OBJECT
public:
    // "Cos/Cos Coefficients" ... "Sin/Sin Coefficients".
    static QString TableTitle(CoeffTableMember table);

    CCoeffsDlg(model::CTileParams& params, CoeffTableMember table, int component,
               IEditorMessages* messages = nullptr, QWidget* parent = nullptr);

    model::CTileParams* m_pParams;
    CoeffTableMember m_pTable;
    int m_nComponent;

    controls::CGridCtrl* Grid() const { return m_pGrid; }

    void accept() override;

    // Width of the widest 32-bit value a user can type ("-" and ten digits).
    static int WidestValueWidth(const QFontMetrics& fm);

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Load();
    // Sizes every column to its widest cell and at least to any typed value,
    // and the dialog to the grid.
    void FitGrid();

    controls::CGridCtrl* m_pGrid;
    bool m_bGridReady = false;
};

} // namespace quorrel::editors
