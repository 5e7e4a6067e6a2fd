#pragma once
// "Symmetries" page: one list of 25 symmetry pictures per component and six
// value icons showing the chosen row. A change that forbids a coefficient
// table the old symmetry allowed needs new coefficients and is accepted
// only after the user agrees.

#include "WizardPage.h"

#include <cstdint>

class QCheckBox;
class QComboBox;
class QToolButton;

namespace quorrel::model { class CTileParams; }

namespace quorrel::editors {

class CIconLabel;

class CPropsSymmetries final : public CWizardPage {
    Q_OBJECT
public:
    CPropsSymmetries(model::CTileParams& params, bool* pbRegenerate, IEditorMessages& messages,
                     QWidget* parent = nullptr);

    // The working rows: as chosen in the lists, not yet stored.
    int32_t m_nWorkSym[6][6] = {};

protected:
    void OnInitDialog() override;
    void Load() override;
    bool Store() override;

private:
    void OnSelChange(int c);
    void UpdateComponent(int c);
    // Value icon s of component c from the working row: its picture (from
    // the normal or the greyed set) and the words a screen reader speaks.
    void ShowValue(int c, int s, int iconBase);
    void OnApplyToGroup(int source);
    void Revert(int c);
    void Apply(int c);

    model::CTileParams* m_pParams;
    bool* m_pbRegenerate;
    QCheckBox* m_pCheck[6];
    QComboBox* m_pList[6];
    CIconLabel* m_pValue[6][6];
    QToolButton* m_pApplyRgb;
    QToolButton* m_pApplyHsl;
};

} // namespace quorrel::editors
