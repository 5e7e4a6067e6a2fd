#pragma once
// "Coefficients": one row per component with its check box and one button
// per coefficient table ("+ +", "+ -", "- +", "- -": cosine for a plus,
// sine for a minus, horizontal first). A button opens that table in a grid;
// cancelling the grid puts the table back as it was.

#include "CoeffsDlg.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QPushButton;

namespace quorrel::model { class CTileParams; }

namespace quorrel::editors {

class IEditorMessages;

class CCoeffsMainDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CCoeffsMainDlg(model::CTileParams& params, IEditorMessages* messages = nullptr,
                            QWidget* parent = nullptr);

    model::CTileParams* m_pParams;

    // The table a button id (5000+c, 5010+c, 5100+c, 5110+c) opens.
    static CoeffTableMember TableForButton(int id);

    void accept() override;

private:
    void Load();
    void UpdateComponent(int c);
    void OnTableButton(int id);

    IEditorMessages* m_pMessages;
    QCheckBox* m_pCheck[6];
    QPushButton* m_pButton[6][4];
};

} // namespace quorrel::editors
