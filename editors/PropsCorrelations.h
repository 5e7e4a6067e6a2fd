#pragma once
// "Correlations" page: the correlation rows of the components that are not
// generated themselves, in a 7 x 9 grid. A cell is editable only where it
// has an effect: in the row of a cleared component and the column of a
// ticked one (or the "+" and "Free" columns).

#include "WizardPage.h"

class QCheckBox;

namespace quorrel::model { class CTileParams; }
namespace quorrel::controls { class CGridCtrl; }

namespace quorrel::editors {

class CPropsCorrelations final : public CWizardPage {
    Q_OBJECT
public:
    CPropsCorrelations(model::CTileParams& params, IEditorMessages& messages,
                       QWidget* parent = nullptr);

    static constexpr int kRows = 7;
    static constexpr int kColumns = 9;
    static QString HeaderText(int index);  // "", "Red", ... "Lum", "+", "Free"

protected:
    void OnInitDialog() override;
    void Load() override;
    bool Store() override;

private:
    void ApplyEditability();

    model::CTileParams* m_pParams;
    QCheckBox* m_pCheck[6];
    controls::CGridCtrl* m_pGrid;
    bool m_bGridReady = false;
};

} // namespace quorrel::editors
