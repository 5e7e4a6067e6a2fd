#pragma once
// " Colors" page: per component the colour range on a two-marker slider
// (dragging one marker past the other makes the range wrap through 255 to 0,
// stored as low > high), a strip showing the component's scale, and two
// strips summarising the colours the RGB and HSL ranges span.

#include "WizardPage.h"

#include <utility>

class QCheckBox;
class QToolButton;

namespace quorrel::model { class CTileParams; }
namespace quorrel::controls { class CRangeSliderCtrl; }

namespace quorrel::editors {

class CGradientStatic;
class CGroupCheckBox;

class CPropsColors final : public CWizardPage {
    Q_OBJECT
public:
    CPropsColors(model::CTileParams& params, IEditorMessages& messages,
                 QWidget* parent = nullptr);

    // The (low, high) pair a strip is computed from for component c.
    std::pair<int, int> StripRange(int c) const;

protected:
    void OnInitDialog() override;
    void Load() override;
    bool Store() override;

private:
    void OnComponentClicked(int id);
    void OnGroupClicked(int id);
    void UpdateGroupBox(int first);
    void ComputeStripColors(bool firstTime);
    void OnApplyToRgb();

    model::CTileParams* m_pParams;
    QCheckBox* m_pCheck[6];
    CGroupCheckBox* m_pRgb;
    CGroupCheckBox* m_pHsl;
    controls::CRangeSliderCtrl* m_pSlider[6];
    CGradientStatic* m_pStrip[6];
    CGradientStatic* m_pRgbStrip;
    CGradientStatic* m_pHslStrip;
    QToolButton* m_pApply;
    bool m_bSlidersReady = false;
};

} // namespace quorrel::editors
