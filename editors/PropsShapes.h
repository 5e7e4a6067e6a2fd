#pragma once
// "Shapes" page: per component the horizontal and vertical harmonics, the
// wrap mode, the tile style and the amplitude range of generated
// coefficients, with apply-to-all buttons per group. Narrowing an amplitude
// range needs new coefficients and is accepted only after the user agrees.

#include "WizardPage.h"

class QCheckBox;
class QComboBox;
class QToolButton;

namespace quorrel::model { class CTileParams; }
namespace quorrel::controls { class CRangeSliderCtrl; }

namespace quorrel::editors {

class CSpinEdit;

class CPropsShapes final : public CWizardPage {
    Q_OBJECT
public:
    CPropsShapes(model::CTileParams& params, bool* pbRegenerate, IEditorMessages& messages,
                 QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;
    void Load() override;
    bool Store() override;

private:
    enum Column { HorzColumn, VertColumn, WrapColumn, StyleColumn, AmplColumn };

    void ResetSliders();
    void UpdateComponent(int c);
    void OnHorzChanged(int c);
    void OnApply(int group, Column column);

    model::CTileParams* m_pParams;
    bool* m_pbRegenerate;
    QCheckBox* m_pCheck[6];
    CSpinEdit* m_pHorz[6];
    CSpinEdit* m_pVert[6];
    QComboBox* m_pWrap[6];
    QComboBox* m_pStyle[6];
    controls::CRangeSliderCtrl* m_pAmpl[6];
    QToolButton* m_pApply[2][5];
};

} // namespace quorrel::editors
