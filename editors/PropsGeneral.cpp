#include "PropsGeneral.h"

#include "ComponentChecks.h"
#include "ControlIds.h"
#include "SpinEdit.h"

#include "model/TileParams.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace quorrel::editors {

CPropsGeneral::CPropsGeneral(model::CTileParams& params, IEditorMessages& messages,
                             QWidget* parent)
    : CWizardPage(FirstPage, 926, tr("General"), messages, parent)
    , m_pParams(&params)
    , m_pWidth(new CSpinEdit)
    , m_pHeight(new CSpinEdit)
{
    SetControlId(m_pWidth, 2011);
    SetControlId(m_pHeight, 2012);

    auto* group = new QGroupBox(tr("Dimensions"));
    auto* grid = new QGridLayout(group);
    auto* widthLabel = new QLabel(tr("Width:"));
    auto* heightLabel = new QLabel(tr("Height:"));
    widthLabel->setBuddy(m_pWidth);
    heightLabel->setBuddy(m_pHeight);
    SetSpokenName(m_pWidth, tr("Width"));
    SetSpokenName(m_pHeight, tr("Height"));
    grid->addWidget(widthLabel, 0, 0);
    grid->addWidget(m_pWidth, 1, 0);
    grid->addWidget(heightLabel, 2, 0);
    grid->addWidget(m_pHeight, 3, 0);
    grid->setColumnStretch(1, 1);
    m_pWidth->setMinimumWidth(90);
    m_pHeight->setMinimumWidth(90);

    auto* row = new QHBoxLayout;
    row->addWidget(group);
    row->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addStretch(1);
}

void CPropsGeneral::OnInitDialog()
{
    m_pWidth->setRange(1, int(model::kMaxSize));
    m_pHeight->setRange(1, int(model::kMaxSize));
    m_pWidth->setToolTip(tr("Width"));
    m_pHeight->setToolTip(tr("Height"));
    CWizardPage::OnInitDialog();
}

void CPropsGeneral::Load()
{
    m_pWidth->setText(QString::number(m_pParams->m_nWidth));
    m_pHeight->setText(QString::number(m_pParams->m_nHeight));
}

bool CPropsGeneral::Store()
{
    return ExchangeUnsigned(m_pWidth, m_pWidth->text(), 1, model::kMaxSize, m_pParams->m_nWidth)
        && ExchangeUnsigned(m_pHeight, m_pHeight->text(), 1, model::kMaxSize,
                            m_pParams->m_nHeight);
}

} // namespace quorrel::editors
