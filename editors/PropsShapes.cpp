#include "PropsShapes.h"

#include "ComponentChecks.h"
#include "ControlIds.h"
#include "EditorMessages.h"
#include "SpinEdit.h"

#include "controls/ColorRef.h"
#include "controls/RangeSliderCtrl.h"
#include "controls/RangeSliderStyles.h"

#include "model/TileParams.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QToolButton>

namespace quorrel::editors {

namespace {

constexpr int kHorzId = 2100;   // the edit box; its spin (2200 + c) is part of it
constexpr int kVertId = 2110;   // likewise with the spin 2210 + c
constexpr int kWrapId = 3500;
constexpr int kStyleId = 3510;
constexpr int kAmplId = 3520;
constexpr int kApplyRgbId = 3540;
constexpr int kApplyHslId = 3550;
constexpr uint32_t kAmplSliderStyle = 0x8F;  // segments, labels, integer, value tip

const char* const kApplyWhat[5] = {QT_TRANSLATE_NOOP("quorrel::editors::CPropsShapes", "horizontal harmonics"), QT_TRANSLATE_NOOP("quorrel::editors::CPropsShapes", "vertical harmonics"), QT_TRANSLATE_NOOP("quorrel::editors::CPropsShapes", "wrap mode"),
                                   QT_TRANSLATE_NOOP("quorrel::editors::CPropsShapes", "tile style"), QT_TRANSLATE_NOOP("quorrel::editors::CPropsShapes", "amplitudes range")};

void FillList(QComboBox* list, const QStringList& items, int selected)
{
    list->clear();
    list->addItems(items);
    list->setCurrentIndex(selected >= 0 && selected < list->count() ? selected : -1);
}

} // namespace

CPropsShapes::CPropsShapes(model::CTileParams& params, bool* pbRegenerate,
                           IEditorMessages& messages, QWidget* parent)
    : CWizardPage(MiddlePage, 114, tr("Shapes"), messages, parent)
    , m_pParams(&params)
    , m_pbRegenerate(pbRegenerate)
{
    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(2);
    grid->addWidget(new QLabel(tr("Harmonics")), 0, 1, 1, 2, Qt::AlignCenter);
    grid->addWidget(new QLabel(tr("Colors")), 1, 0);
    grid->addWidget(new QLabel(tr("Horiz")), 1, 1);
    grid->addWidget(new QLabel(tr("Vertical")), 1, 2);
    grid->addWidget(new QLabel(tr("Wrap Mode")), 1, 3);
    grid->addWidget(new QLabel(tr("Tile Style")), 1, 4);
    grid->addWidget(new QLabel(tr("Amplitudes Ranges")), 1, 5);

    for (int group = 0; group < 2; ++group) {
        const char* const name = group == 0 ? "RGB" : "HSL";
        const int row = group == 0 ? 2 : 6;
        for (int column = 0; column < 5; ++column) {
            const int id = (group == 0 ? kApplyRgbId : kApplyHslId) + column;
            m_pApply[group][column] = MakeApplyButton(
                id, tr("Apply the %1 to all %2 components")
                        .arg(tr(kApplyWhat[column]), QLatin1String(name)));
            grid->addWidget(m_pApply[group][column], row, 1 + column, Qt::AlignCenter);
            connect(m_pApply[group][column], &QToolButton::clicked, this,
                    [this, group, column] { OnApply(group, Column(column)); });
        }
    }

    for (int c = 0; c < 6; ++c) {
        const int row = c < 3 ? 3 + c : 4 + c;
        m_pCheck[c] = MakeComponentCheck(c);
        m_pHorz[c] = new CSpinEdit;
        m_pVert[c] = new CSpinEdit;
        m_pWrap[c] = new QComboBox;
        m_pStyle[c] = new QComboBox;
        m_pAmpl[c] = new controls::CRangeSliderCtrl(nullptr, controls::RSS_DEFAULT);
        SetControlId(m_pHorz[c], kHorzId + c);
        SetControlId(m_pVert[c], kVertId + c);
        SetControlId(m_pWrap[c], kWrapId + c);
        SetControlId(m_pStyle[c], kStyleId + c);
        SetControlId(m_pAmpl[c], kAmplId + c);
        m_pAmpl[c]->setMinimumWidth(200);
        // Wide enough for the longest item before the lists are first filled.
        m_pWrap[c]->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        m_pWrap[c]->setMinimumContentsLength(9);
        m_pStyle[c]->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        m_pStyle[c]->setMinimumContentsLength(7);
        m_pHorz[c]->setMinimumWidth(52);
        m_pVert[c]->setMinimumWidth(52);
        // The headings above the columns are no labels of the row's controls.
        SetSpokenName(m_pHorz[c], tr("%1 horizontal harmonics").arg(ComponentName(c)));
        SetSpokenName(m_pVert[c], tr("%1 vertical harmonics").arg(ComponentName(c)));
        SetSpokenName(m_pWrap[c], tr("%1 wrap mode").arg(ComponentName(c)));
        SetSpokenName(m_pStyle[c], tr("%1 tile style").arg(ComponentName(c)));
        SetSpokenName(m_pAmpl[c], tr("%1 amplitudes range").arg(ComponentName(c)));

        grid->addWidget(m_pCheck[c], row, 0);
        grid->addWidget(m_pHorz[c], row, 1);
        grid->addWidget(m_pVert[c], row, 2);
        grid->addWidget(m_pWrap[c], row, 3);
        grid->addWidget(m_pStyle[c], row, 4);
        grid->addWidget(m_pAmpl[c], row, 5);

        connect(m_pCheck[c], &QCheckBox::clicked, this, [this, c] { UpdateComponent(c); });
        connect(m_pHorz[c], &CSpinEdit::textChanged, this, [this, c] { OnHorzChanged(c); });
    }
    grid->setColumnStretch(5, 1);
    grid->setRowStretch(10, 1);
}

void CPropsShapes::OnInitDialog()
{
    CWizardPage::OnInitDialog();
    ResetSliders();
    for (int c = 0; c < 6; ++c) {
        m_pHorz[c]->setRange(0, model::kMaxHarmonics);
        m_pVert[c]->setRange(0, model::kMaxHarmonics);
    }
}

void CPropsShapes::ResetSliders()
{
    const QPalette pal = palette();
    const uint32_t window = controls::ToColorRef(pal.color(QPalette::Base));
    const uint32_t highlight = controls::ToColorRef(pal.color(QPalette::Active, QPalette::Highlight));
    const uint32_t colors[3] = {window, highlight, window};
    for (int c = 0; c < 6; ++c) {
        m_pAmpl[c]->SetUp(0.0f, 100.0f, 20, 2, nullptr, colors, int(kAmplSliderStyle));
        const float values[2] = {float(m_pParams->m_nAmplMin[c]), float(m_pParams->m_nAmplMax[c])};
        m_pAmpl[c]->SetMarkers(0.0f, 100.0f, 2, values);
    }
}

void CPropsShapes::Load()
{
    m_pParams->SquareHarmonics();
    const QStringList wrapModes = {tr("Cycled"), tr("Reflected"),
                                   tr("Scaled")};
    const QStringList tileStyles = {tr("Normal"), tr("Diamond")};
    for (int c = 0; c < 6; ++c) {
        FillList(m_pWrap[c], wrapModes, m_pParams->m_nWrapMode[c]);
        FillList(m_pStyle[c], tileStyles, m_pParams->m_nTileStyle[c]);
    }
    for (int c = 0; c < 6; ++c) {
        m_pCheck[c]->setChecked(m_pParams->m_bEnabled[c] != 0);
        m_pHorz[c]->setText(QString::number(m_pParams->m_nHorzHarm[c]));
        m_pVert[c]->setText(QString::number(m_pParams->m_nVertHarm[c]));
    }
    for (int c = 0; c < 6; ++c)
        UpdateComponent(c);
}

bool CPropsShapes::Store()
{
    int wrap[6];
    int style[6];
    for (int c = 0; c < 6; ++c) {
        wrap[c] = m_pWrap[c]->currentIndex();
        style[c] = m_pStyle[c]->currentIndex();
        m_pParams->m_bEnabled[c] = m_pCheck[c]->isChecked() ? 1 : 0;
        if (!ExchangeUnsigned(m_pHorz[c], m_pHorz[c]->text(), 0, model::kMaxHarmonics,
                              m_pParams->m_nHorzHarm[c])
            || !ExchangeUnsigned(m_pVert[c], m_pVert[c]->text(), 0, model::kMaxHarmonics,
                                 m_pParams->m_nVertHarm[c]))
            return false;
    }

    for (int c = 0; c < 6; ++c) {
        // A list without a selection keeps the stored value.
        if (wrap[c] >= 0)
            m_pParams->m_nWrapMode[c] = wrap[c];
        if (style[c] >= 0)
            m_pParams->m_nTileStyle[c] = style[c];

        int values[2] = {0, 100};
        const int count = m_pAmpl[c]->GetMarkerValuesInt(values);
        const uint32_t low = count < 1 ? 0u : uint32_t(values[0]);
        const uint32_t high = count < 2 ? 100u : uint32_t(values[1]);

        const bool widened = low <= m_pParams->m_nAmplMin[c] && high >= m_pParams->m_nAmplMax[c];
        if (widened || *m_pbRegenerate
            || Messages().AskYesNo(this, tr("Warning"),
                                   tr("Do you accept the new values for the "
                                                  "amplitudes ranges?\nThis will imply the "
                                                  "regeneration of the coefficients."))) {
            if (!widened)
                *m_pbRegenerate = true;
            m_pParams->m_nAmplMin[c] = low;
            m_pParams->m_nAmplMax[c] = high;
        } else {
            // Declined: every slider goes back to the stored ranges, also
            // those of components not stored yet.
            ResetSliders();
        }
    }
    return true;
}

void CPropsShapes::UpdateComponent(int c)
{
    const bool ticked = m_pCheck[c]->isChecked();
    if (!ticked) {
        m_pHorz[c]->setValue(0);
        m_pVert[c]->setValue(0);
    } else if (m_pHorz[c]->value() == 0 && m_pVert[c]->value() == 0) {
        m_pHorz[c]->setValue(3);
        m_pVert[c]->setValue(3);
    }

    m_pHorz[c]->setEnabled(ticked);
    m_pVert[c]->setEnabled(ticked);
    m_pWrap[c]->setEnabled(ticked);
    m_pStyle[c]->setEnabled(ticked);
    m_pAmpl[c]->setEnabled(ticked);

    const auto on = [this](int k) { return m_pCheck[k]->isChecked(); };
    const bool rgb = on(model::Red) && (on(model::Green) || on(model::Blue));
    const bool hsl = on(model::Hue) && (on(model::Saturation) || on(model::Luminosity));
    for (int column = 0; column < 5; ++column) {
        m_pApply[0][column]->setEnabled(rgb);
        m_pApply[1][column]->setEnabled(hsl);
    }

    // A diagonal, anti-diagonal or quarter-turn symmetry ties the vertical
    // count to the horizontal one: the box is disabled with its spin arrows
    // (and its Up/Down keys and wheel), so only the horizontal count moves it
    // and the two stay equal.
    for (int k = 0; k < 6; ++k) {
        const int32_t* s = m_pParams->m_nSymmetry[k];
        m_pVert[k]->setEnabled(on(k) && s[2] == 0 && s[3] == 0 && s[5] == 0);
    }
    m_pApply[0][VertColumn]->setEnabled(
        m_pVert[model::Red]->isEnabled()
        && (m_pVert[model::Green]->isEnabled() || m_pVert[model::Blue]->isEnabled()));
    m_pApply[1][VertColumn]->setEnabled(
        m_pVert[model::Hue]->isEnabled()
        && (m_pVert[model::Saturation]->isEnabled() || m_pVert[model::Luminosity]->isEnabled()));
}

void CPropsShapes::OnHorzChanged(int c)
{
    if (m_pHorz[c]->isEnabled() && !m_pVert[c]->isEnabled())
        m_pVert[c]->setValue(m_pHorz[c]->value());
}

void CPropsShapes::OnApply(int group, Column column)
{
    const int source = group == 0 ? model::Red : model::Hue;
    const auto qualifies = [this, column](int k) {
        return column == VertColumn ? m_pVert[k]->isEnabled() : m_pCheck[k]->isChecked();
    };
    if (!qualifies(source))
        return;
    float values[2] = {0.0f, 100.0f};
    if (column == AmplColumn)
        m_pAmpl[source]->GetMarkerValues(values);
    for (int target = source + 1; target < source + 3; ++target) {
        if (!qualifies(target))
            continue;
        switch (column) {
        case HorzColumn: m_pHorz[target]->setValue(m_pHorz[source]->value()); break;
        case VertColumn: m_pVert[target]->setValue(m_pVert[source]->value()); break;
        case WrapColumn: m_pWrap[target]->setCurrentIndex(m_pWrap[source]->currentIndex()); break;
        case StyleColumn:
            m_pStyle[target]->setCurrentIndex(m_pStyle[source]->currentIndex());
            break;
        case AmplColumn: m_pAmpl[target]->SetMarkers(0.0f, 100.0f, 2, values); break;
        }
    }
}

} // namespace quorrel::editors
