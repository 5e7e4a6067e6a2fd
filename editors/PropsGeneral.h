#pragma once
// "General" page: the image width and height.

#include "WizardPage.h"

namespace quorrel::model { class CTileParams; }

namespace quorrel::editors {

class CSpinEdit;

class CPropsGeneral final : public CWizardPage {
    Q_OBJECT
public:
    CPropsGeneral(model::CTileParams& params, IEditorMessages& messages,
                  QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;
    void Load() override;
    bool Store() override;

private:
    model::CTileParams* m_pParams;
    CSpinEdit* m_pWidth;
    CSpinEdit* m_pHeight;
};

} // namespace quorrel::editors
