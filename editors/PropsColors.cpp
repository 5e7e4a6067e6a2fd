#include "PropsColors.h"

#include "ComponentChecks.h"
#include "ControlIds.h"
#include "GradientStatic.h"
#include "GroupCheckBox.h"

#include "controls/ColorRef.h"
#include "controls/RangeSliderCtrl.h"
#include "controls/RangeSliderStyles.h"

#include "model/TileParams.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPalette>
#include <QToolButton>
#include <QVBoxLayout>

namespace quorrel::editors {

namespace {

constexpr int kSliderId = 3300;
constexpr int kStripId = 3400;
constexpr int kRgbBoxId = 3206;
constexpr int kHslBoxId = 3207;
constexpr uint32_t kColorSliderStyle = 0x48F;  // segments, labels, integer, value tip, alternate

} // namespace

CPropsColors::CPropsColors(model::CTileParams& params, IEditorMessages& messages,
                           QWidget* parent)
    : CWizardPage(MiddlePage, 112, tr(" Colors"), messages, parent)
    , m_pParams(&params)
    , m_pRgb(new CGroupCheckBox(QStringLiteral("RGB")))
    , m_pHsl(new CGroupCheckBox(QStringLiteral("HSL")))
    , m_pRgbStrip(new CGradientStatic)
    , m_pHslStrip(new CGradientStatic)
{
    SetControlId(m_pRgb, kRgbBoxId);
    SetControlId(m_pHsl, kHslBoxId);
    SetControlId(m_pRgbStrip, kStripId + 6);
    SetControlId(m_pHslStrip, kStripId + 7);
    m_pApply = MakeApplyButton(3530, tr("Apply the range to all RGB components"));

    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(2);
    grid->addWidget(new QLabel(tr("Colors")), 0, 0);
    grid->addWidget(new QLabel(tr("Color Ranges")), 0, 1);
    grid->addWidget(m_pRgb, 1, 0);
    grid->addWidget(m_pRgbStrip, 1, 1);
    grid->addWidget(m_pHsl, 5, 0);
    grid->addWidget(m_pHslStrip, 5, 1);
    m_pRgbStrip->setFixedHeight(12);
    m_pHslStrip->setFixedHeight(12);

    for (int c = 0; c < 6; ++c) {
        const int row = c < 3 ? 2 + c : 3 + c;
        m_pCheck[c] = MakeComponentCheck(c);
        m_pSlider[c] = new controls::CRangeSliderCtrl(nullptr, controls::RSS_DEFAULT);
        SetControlId(m_pSlider[c], kSliderId + c);
        SetSpokenName(m_pSlider[c], tr("%1 color range").arg(ComponentName(c)));
        m_pStrip[c] = new CGradientStatic;
        SetControlId(m_pStrip[c], kStripId + c);
        m_pStrip[c]->setFixedHeight(4);

        auto* cell = new QVBoxLayout;
        cell->setSpacing(0);
        cell->addWidget(m_pSlider[c]);
        cell->addWidget(m_pStrip[c]);
        grid->addWidget(m_pCheck[c], row, 0);
        grid->addLayout(cell, row, 1);

        connect(m_pCheck[c], &QCheckBox::clicked, this,
                [this, c] { OnComponentClicked(kComponentCheckId + c); });
        connect(m_pSlider[c], &controls::CRangeSliderCtrl::scrolled, this,
                [this] { ComputeStripColors(false); });
        connect(m_pSlider[c], &controls::CRangeSliderCtrl::markerMoved, this,
                [this] { ComputeStripColors(false); });
    }
    grid->addWidget(m_pApply, 2, 2, Qt::AlignTop);
    grid->setColumnStretch(1, 1);
    grid->setRowMinimumHeight(5, 24);

    connect(m_pRgb, &QCheckBox::clicked, this, [this] { OnGroupClicked(kRgbBoxId); });
    connect(m_pHsl, &QCheckBox::clicked, this, [this] { OnGroupClicked(kHslBoxId); });
    connect(m_pApply, &QToolButton::clicked, this, &CPropsColors::OnApplyToRgb);
}

void CPropsColors::OnInitDialog()
{
    CWizardPage::OnInitDialog();

    const QPalette pal = palette();
    const uint32_t window = controls::ToColorRef(pal.color(QPalette::Base));
    const uint32_t highlight = controls::ToColorRef(pal.color(QPalette::Active, QPalette::Highlight));
    const uint32_t colors[3] = {window, highlight, window};
    for (int c = 0; c < 6; ++c) {
        m_pSlider[c]->SetUp(0.0f, 255.0f, c < 3 ? 20 : 17, 2, nullptr, colors,
                            int(kColorSliderStyle));
        const float values[2] = {float(m_pParams->m_nColorLow[c]),
                                 float(m_pParams->m_nColorHigh[c])};
        m_pSlider[c]->SetMarkers(0.0f, 255.0f, 2, values);
        m_pSlider[c]->SetAlternate(m_pParams->m_nColorHigh[c] < m_pParams->m_nColorLow[c]);
    }
    m_bSlidersReady = true;
    ComputeStripColors(true);
    for (int c = 0; c < 6; ++c)
        OnComponentClicked(kComponentCheckId + c);
}

void CPropsColors::Load()
{
    for (int c = 0; c < 6; ++c)
        m_pCheck[c]->setChecked(m_pParams->m_bEnabled[c] != 0);
    for (int c = 0; c < 6; ++c)
        OnComponentClicked(kComponentCheckId + c);
}

bool CPropsColors::Store()
{
    for (int c = 0; c < 6; ++c)
        m_pParams->m_bEnabled[c] = m_pCheck[c]->isChecked() ? 1 : 0;
    for (int c = 0; c < 6; ++c) {
        int values[2] = {int(m_pParams->m_nColorLow[c]), int(m_pParams->m_nColorHigh[c])};
        if (m_pSlider[c]->GetMarkerValuesInt(values) < 2)
            continue;  // a slider without its two markers keeps the stored range
        if (!m_pSlider[c]->GetAlternate()) {
            m_pParams->m_nColorLow[c] = uint32_t(values[0]);
            m_pParams->m_nColorHigh[c] = uint32_t(values[1]);
        } else {
            m_pParams->m_nColorHigh[c] = uint32_t(values[0]);
            m_pParams->m_nColorLow[c] = uint32_t(values[1]);
        }
    }
    return true;
}

void CPropsColors::UpdateGroupBox(int first)
{
    int ticked = 0;
    for (int c = first; c < first + 3; ++c)
        ticked += m_pCheck[c]->isChecked() ? 1 : 0;
    CGroupCheckBox* box = first == 0 ? m_pRgb : m_pHsl;
    box->setCheckState(ticked == 3 ? Qt::Checked : ticked == 0 ? Qt::Unchecked
                                                               : Qt::PartiallyChecked);
}

void CPropsColors::OnComponentClicked(int id)
{
    const int c = id - kComponentCheckId;
    if (c == model::Red)
        m_pApply->setEnabled(m_pCheck[model::Red]->isChecked());
    UpdateGroupBox(c < 3 ? 0 : 3);
    m_pSlider[c]->setEnabled(m_pCheck[c]->isChecked());
    ComputeStripColors(false);
}

void CPropsColors::OnGroupClicked(int id)
{
    CGroupCheckBox* box = id == kRgbBoxId ? m_pRgb : m_pHsl;
    const int first = id == kRgbBoxId ? 0 : 3;
    const bool ticked = box->checkState() == Qt::Checked;
    for (int c = first; c < first + 3; ++c) {
        m_pCheck[c]->setChecked(ticked);
        m_pSlider[c]->setEnabled(ticked);
    }
    if (first == 0)
        m_pApply->setEnabled(ticked);
    ComputeStripColors(false);
}

std::pair<int, int> CPropsColors::StripRange(int c) const
{
    if (m_pCheck[c]->isChecked()) {
        int values[2] = {0, 0};
        if (m_pSlider[c]->GetMarkerValuesInt(values) >= 2)
            return {values[0], values[1]};
    }
    switch (c) {
    case model::Saturation: return {254, 255};
    case model::Luminosity: return {127, 128};
    default: return {0, 1};
    }
}

void CPropsColors::ComputeStripColors(bool firstTime)
{
    if (!m_bSlidersReady)
        return;
    if (firstTime) {
        for (int c = 0; c < 6; ++c)
            m_pStrip[c]->SetHslMode(c >= 3);
        m_pRgbStrip->SetHslMode(false);
        m_pHslStrip->SetHslMode(true);
        for (int c = 0; c < 3; ++c) {
            m_pStrip[c]->SetStartColor(0);
            m_pStrip[c]->SetEndColor(uint32_t(0xFF) << (8 * c));
        }
    }
    std::pair<int, int> range[6];
    for (int c = 0; c < 6; ++c)
        range[c] = StripRange(c);

    int hueMid = (range[model::Hue].first + range[model::Hue].second) / 2;
    if (m_pSlider[model::Hue]->GetAlternate())
        hueMid = hueMid < 128 ? hueMid + 128 : hueMid - 128;
    const int satMid = (range[model::Saturation].first + range[model::Saturation].second) / 2;
    const auto u = [](int v) { return uint32_t(v); };

    m_pStrip[model::Hue]->SetStartColor(PackColor(0, 255, 127));
    m_pStrip[model::Hue]->SetEndColor(PackColor(255, 255, 127));
    m_pStrip[model::Saturation]->SetStartColor(PackColor(u(hueMid), 0, 127));
    m_pStrip[model::Saturation]->SetEndColor(PackColor(u(hueMid), 255, 127));
    m_pStrip[model::Luminosity]->SetStartColor(PackColor(u(hueMid), u(satMid), 0));
    m_pStrip[model::Luminosity]->SetEndColor(PackColor(u(hueMid), u(satMid), 255));
    m_pRgbStrip->SetStartColor(PackColor(u(range[0].first), u(range[1].first), u(range[2].first)));
    m_pRgbStrip->SetEndColor(PackColor(u(range[0].second), u(range[1].second), u(range[2].second)));
    m_pHslStrip->SetStartColor(PackColor(u(range[3].first), u(range[4].first), u(range[5].first)));
    m_pHslStrip->SetEndColor(PackColor(u(range[3].second), u(range[4].second), u(range[5].second)));

    for (int c = 0; c < 6; ++c)
        m_pStrip[c]->update();
    m_pRgbStrip->update();
    m_pHslStrip->update();
}

void CPropsColors::OnApplyToRgb()
{
    if (!m_pCheck[model::Red]->isChecked())
        return;
    float values[2] = {0.0f, 255.0f};
    m_pSlider[model::Red]->GetMarkerValues(values);
    const bool alternate = m_pSlider[model::Red]->GetAlternate();
    for (int c = model::Green; c <= model::Blue; ++c) {
        if (!m_pCheck[c]->isChecked())
            continue;
        m_pSlider[c]->SetAlternate(alternate);
        m_pSlider[c]->SetMarkers(0.0f, 255.0f, 2, values);
    }
    ComputeStripColors(false);
}

} // namespace quorrel::editors
