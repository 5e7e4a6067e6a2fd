#include "PropsSymmetries.h"

#include "ComponentChecks.h"
#include "ControlIds.h"
#include "EditorIcons.h"
#include "EditorMessages.h"
#include "IconLabel.h"
#include "SymmetryItems.h"

#include "model/TileParams.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QToolButton>

namespace quorrel::editors {

namespace {

constexpr int kListId = 4000;
constexpr int kValueIconId = 4100;
constexpr int kHeadingIconId = 4106;

bool Forbids(const model::TableMask& oldMask, const model::TableMask& newMask)
{
    return (oldMask.cosCos && !newMask.cosCos) || (oldMask.cosSin && !newMask.cosSin)
        || (oldMask.sinCos && !newMask.sinCos) || (oldMask.sinSin && !newMask.sinSin);
}

} // namespace

CPropsSymmetries::CPropsSymmetries(model::CTileParams& params, bool* pbRegenerate,
                                   IEditorMessages& messages, QWidget* parent)
    : CWizardPage(MiddlePage, 113, tr("Symmetries"), messages, parent)
    , m_pParams(&params)
    , m_pbRegenerate(pbRegenerate)
{
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    grid->addWidget(new QLabel(tr("Colors")), 0, 0);
    grid->addWidget(new QLabel(tr("Symmetry")), 0, 1);
    for (int s = 0; s < 6; ++s) {
        auto* heading = new CIconLabel(kSymmetryColumnIcon + s, 20);
        SetControlId(heading, kHeadingIconId + 10 * s);
        const QString column = QString::fromStdString(SymmetryColumnName(s));
        heading->setToolTip(column);
        heading->setAccessibleName(column);
        grid->addWidget(heading, 0, 2 + s, Qt::AlignCenter);
    }

    m_pApplyRgb = MakeApplyButton(4310, tr("Apply the symmetry to all RGB components"));
    m_pApplyHsl = MakeApplyButton(4311, tr("Apply the symmetry to all HSL components"));
    grid->addWidget(m_pApplyRgb, 1, 1, Qt::AlignCenter);
    grid->addWidget(m_pApplyHsl, 5, 1, Qt::AlignCenter);
    connect(m_pApplyRgb, &QToolButton::clicked, this, [this] { OnApplyToGroup(model::Red); });
    connect(m_pApplyHsl, &QToolButton::clicked, this, [this] { OnApplyToGroup(model::Hue); });

    for (int c = 0; c < 6; ++c) {
        const int row = c < 3 ? 2 + c : 3 + c;
        m_pCheck[c] = MakeComponentCheck(c);
        grid->addWidget(m_pCheck[c], row, 0);
        connect(m_pCheck[c], &QCheckBox::clicked, this, [this, c] { UpdateComponent(c); });

        m_pList[c] = new QComboBox;
        SetControlId(m_pList[c], kListId + c);
        SetSpokenName(m_pList[c], tr("%1 symmetry").arg(ComponentName(c)));
        m_pList[c]->setIconSize(QSize(32, 32));
        m_pList[c]->setMinimumWidth(72);
        m_pList[c]->setMaxVisibleItems(8);
        grid->addWidget(m_pList[c], row, 1);
        connect(m_pList[c], &QComboBox::currentIndexChanged, this, [this, c] { OnSelChange(c); });

        for (int s = 0; s < 6; ++s) {
            m_pValue[c][s] = new CIconLabel(kValueIcon, 16);
            SetControlId(m_pValue[c][s], kValueIconId + c + 10 * s);
            grid->addWidget(m_pValue[c][s], row, 2 + s, Qt::AlignCenter);
        }
    }
    grid->setRowMinimumHeight(5, 18);
    grid->setColumnStretch(8, 1);
    grid->setRowStretch(9, 1);
}

void CPropsSymmetries::OnInitDialog()
{
    CWizardPage::OnInitDialog();
}

void CPropsSymmetries::Load()
{
    for (int c = 0; c < 6; ++c)
        m_pCheck[c]->setChecked(m_pParams->m_bEnabled[c] != 0);
    std::copy(&m_pParams->m_nSymmetry[0][0], &m_pParams->m_nSymmetry[0][0] + 36,
              &m_nWorkSym[0][0]);
    for (int c = 0; c < 6; ++c) {
        const QSignalBlocker block(m_pList[c]);
        m_pList[c]->clear();
        for (int item = 0; item < kSymmetryItems; ++item) {
            m_pList[c]->addItem(SymmetryPicture(item), QString());
            // The picture in words, for screen readers and as its tip.
            const QString words = QString::fromStdString(SymmetryRowDescription(SymmetryItemValues(item)));
            m_pList[c]->setItemData(item, words, Qt::AccessibleTextRole);
            m_pList[c]->setItemData(item, words, Qt::ToolTipRole);
        }
        m_pList[c]->setCurrentIndex(-1);
    }
    for (int c = 0; c < 6; ++c)
        OnSelChange(c);
    for (int c = 0; c < 6; ++c) {
        const QSignalBlocker block(m_pList[c]);
        m_pList[c]->setCurrentIndex(SymmetryItemFromValues(m_nWorkSym[c]));
    }
    for (int c = 0; c < 6; ++c)
        UpdateComponent(c);
}

bool CPropsSymmetries::Store()
{
    for (int c = 0; c < 6; ++c)
        m_pParams->m_bEnabled[c] = m_pCheck[c]->isChecked() ? 1 : 0;

    model::CTileParams proposed(*m_pParams);
    bool bDeclined = false;
    for (int c = 0; c < 6; ++c) {
        std::copy(std::begin(m_nWorkSym[c]), std::end(m_nWorkSym[c]),
                  std::begin(proposed.m_nSymmetry[c]));
        const model::TableMask newMask = proposed.GetSymmetryTables(c);
        const model::TableMask oldMask = m_pParams->GetSymmetryTables(c);
        if (!Forbids(oldMask, newMask) || *m_pbRegenerate) {
            Apply(c);
        } else if (!bDeclined) {
            if (Messages().AskYesNo(this, tr("Warning"),
                                    tr("Do you accept the new values for the "
                                                   "symmetries?\nThis will imply the "
                                                   "regeneration of the coefficients."))) {
                Apply(c);
                *m_pbRegenerate = true;
            } else {
                Revert(c);
                bDeclined = true;
            }
        } else {
            Revert(c);
        }
    }
    return true;
}

void CPropsSymmetries::Apply(int c)
{
    SymmetryValuesFromItem(m_pList[c]->currentIndex(), m_pParams->m_nSymmetry[c]);
    m_pParams->SquareHarmonics();
}

void CPropsSymmetries::Revert(int c)
{
    const int item = SymmetryItemFromValues(m_pParams->m_nSymmetry[c]);
    SymmetryValuesFromItem(item, m_nWorkSym[c]);
    {
        const QSignalBlocker block(m_pList[c]);
        m_pList[c]->setCurrentIndex(item);
    }
    OnSelChange(c);
}

void CPropsSymmetries::OnSelChange(int c)
{
    SymmetryValuesFromItem(m_pList[c]->currentIndex(), m_nWorkSym[c]);
    for (int s = 0; s < 6; ++s)
        ShowValue(c, s, kValueIcon);
    // The chosen picture in words when the pointer rests on the closed
    // list, as each picture has them in the open one.
    m_pList[c]->setToolTip(m_pList[c]->currentData(Qt::ToolTipRole).toString());
}

void CPropsSymmetries::ShowValue(int c, int s, int iconBase)
{
    const int value = m_nWorkSym[c][s];
    m_pValue[c][s]->SetIconId(iconBase + value);
    m_pValue[c][s]->setAccessibleName(ComponentName(c) + QLatin1Char(' ')
                                      + QString::fromStdString(SymmetryColumnName(s)).toLower() + QStringLiteral(": ")
                                      + QString::fromStdString(SymmetryValueName(value)));
}

void CPropsSymmetries::UpdateComponent(int c)
{
    const bool ticked = m_pCheck[c]->isChecked();
    m_pList[c]->setEnabled(ticked);
    for (int s = 0; s < 6; ++s)
        ShowValue(c, s, ticked ? kValueIcon : kGreyValueIcon);
    m_pApplyRgb->setEnabled(m_pCheck[model::Red]->isChecked()
                            && (m_pCheck[model::Green]->isChecked()
                                || m_pCheck[model::Blue]->isChecked()));
    m_pApplyHsl->setEnabled(m_pCheck[model::Hue]->isChecked()
                            && (m_pCheck[model::Saturation]->isChecked()
                                || m_pCheck[model::Luminosity]->isChecked()));
}

void CPropsSymmetries::OnApplyToGroup(int source)
{
    if (!m_pCheck[source]->isChecked())
        return;
    const int item = m_pList[source]->currentIndex();
    for (int target = source + 1; target < source + 3; ++target) {
        if (!m_pCheck[target]->isChecked())
            continue;
        {
            const QSignalBlocker block(m_pList[target]);
            m_pList[target]->setCurrentIndex(item);
        }
        OnSelChange(target);
    }
}

} // namespace quorrel::editors
