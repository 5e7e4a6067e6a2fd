#include "CoeffsMainDlg.h"

#include "ComponentChecks.h"
#include "ControlIds.h"

#include "model/TileParams.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorrel::editors {

namespace {

struct TableButton {
    int base;
    const char* label;
    const char* tooltip;
    CoeffTableMember table;
};

const TableButton kTableButtons[4] = {
    {5000, "+ +", QT_TRANSLATE_NOOP("quorrel::editors::CCoeffsMainDlg", "Cos/Cos Coefficients"), &model::CTileParams::m_nCosCos},
    {5010, "+ -", QT_TRANSLATE_NOOP("quorrel::editors::CCoeffsMainDlg", "Cos/Sin Coefficients"), &model::CTileParams::m_nCosSin},
    {5100, "- +", QT_TRANSLATE_NOOP("quorrel::editors::CCoeffsMainDlg", "Sin/Cos Coefficients"), &model::CTileParams::m_nSinCos},
    {5110, "- -", QT_TRANSLATE_NOOP("quorrel::editors::CCoeffsMainDlg", "Sin/Sin Coefficients"), &model::CTileParams::m_nSinSin},
};

} // namespace

CCoeffsMainDlg::CCoeffsMainDlg(model::CTileParams& params, IEditorMessages* messages,
                               QWidget* parent)
    : QDialog(parent)
    , m_pParams(&params)
    , m_pMessages(messages)
{
    setWindowTitle(tr("Coefficients"));
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Colors")), 0, 0);
    for (int t = 0; t < 4; ++t)
        grid->addWidget(new QLabel(QString::fromLatin1(kTableButtons[t].label)), 0, 1 + t,
                        Qt::AlignCenter);
    for (int c = 0; c < 6; ++c) {
        const int row = c < 3 ? 1 + c : 2 + c;
        m_pCheck[c] = MakeComponentCheck(c);
        grid->addWidget(m_pCheck[c], row, 0);
        connect(m_pCheck[c], &QCheckBox::clicked, this, [this, c] { UpdateComponent(c); });
        for (int t = 0; t < 4; ++t) {
            const int id = kTableButtons[t].base + c;
            auto* button = new QPushButton(QString::fromLatin1(kTableButtons[t].label));
            SetControlId(button, id);
            button->setAutoDefault(false);
            button->setFixedWidth(44);
            button->setToolTip(tr(kTableButtons[t].tooltip));
            // "+ -" read aloud says little: the component and the table instead.
            button->setAccessibleName(ComponentName(c) + QLatin1Char(' ') + tr(kTableButtons[t].tooltip));
            m_pButton[c][t] = button;
            grid->addWidget(button, row, 1 + t);
            connect(button, &QPushButton::clicked, this, [this, id] { OnTableButton(id); });
        }
    }
    grid->setRowMinimumHeight(4, 10);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    SetControlId(buttons->button(QDialogButtonBox::Ok), 1);
    SetControlId(buttons->button(QDialogButtonBox::Cancel), 2);
    connect(buttons, &QDialogButtonBox::accepted, this, &CCoeffsMainDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCoeffsMainDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    Load();
}

CoeffTableMember CCoeffsMainDlg::TableForButton(int id)
{
    const int base = id - id % 10;
    for (const TableButton& button : kTableButtons) {
        if (button.base == base)
            return button.table;
    }
    return nullptr;
}

void CCoeffsMainDlg::Load()
{
    for (int c = 0; c < 6; ++c)
        m_pCheck[c]->setChecked(m_pParams->m_bEnabled[c] != 0);
    for (int c = 0; c < 6; ++c)
        UpdateComponent(c);
}

void CCoeffsMainDlg::UpdateComponent(int c)
{
    for (QPushButton* button : m_pButton[c])
        button->setEnabled(m_pCheck[c]->isChecked());
}

void CCoeffsMainDlg::accept()
{
    for (int c = 0; c < 6; ++c)
        m_pParams->m_bEnabled[c] = m_pCheck[c]->isChecked() ? 1 : 0;
    QDialog::accept();
}

void CCoeffsMainDlg::OnTableButton(int id)
{
    const int c = id % 10;
    const CoeffTableMember table = TableForButton(id);
    if (!table)
        return;
    const model::CTileParams backup(*m_pParams);
    CCoeffsDlg dialog(*m_pParams, table, c, m_pMessages, this);
    if (dialog.exec() != QDialog::Accepted)
        *m_pParams = backup;
}

} // namespace quorrel::editors
