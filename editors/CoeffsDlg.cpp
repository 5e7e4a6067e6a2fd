#include "CoeffsDlg.h"

#include "ComponentChecks.h"
#include "ControlIds.h"
#include "EditorMessages.h"
#include "GridFormats.h"
#include "TextParsing.h"

#include "controls/GridCtrl.h"
#include "controls/WidestText.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>
#include <new>

namespace quorrel::editors {

CCoeffsDlg::CCoeffsDlg(model::CTileParams& params, CoeffTableMember table, int component,
                       IEditorMessages* messages, QWidget* parent)
    : QDialog(parent)
    , m_pParams(&params)
    , m_pTable(table)
    , m_nComponent(component)
    , m_pGrid(new controls::CGridCtrl)
{
    setWindowTitle(tr("Coefficients"));
    SetControlId(m_pGrid, 6001);
    // Whose table it is, on screen above it and in the names a screen
    // reader speaks for the window and the table.
    const QString whose = ComponentName(component) + QLatin1Char(' ') + TableTitle(table);
    setAccessibleName(whose);
    m_pGrid->setAccessibleName(whose);
    auto* heading = new QLabel(whose);
    heading->setObjectName(QStringLiteral("TableHeading"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_pGrid, 1);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CCoeffsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCoeffsDlg::reject);

    const int rows = int(m_pParams->m_nHorzHarm[component]) + 1;
    const int columns = int(m_pParams->m_nVertHarm[component]) + 1;
    try {
        m_pGrid->SetEditable(true);
        m_pGrid->SetListMode(false);
        m_pGrid->SetRowCount(rows);
        m_pGrid->SetColumnCount(columns);
        m_pGrid->SetFixedRowCount(1);
        m_pGrid->SetFixedColumnCount(1);
    } catch (const std::bad_alloc&) {
        (messages ? *messages : DefaultEditorMessages())
            .ShowError(this, tr("Out of memory."));
        return;
    }
    m_bGridReady = true;
    Load();
    FitGrid();
}

QString CCoeffsDlg::TableTitle(CoeffTableMember table)
{
    if (table == &model::CTileParams::m_nCosCos)
        return QStringLiteral("Cos/Cos Coefficients");
    if (table == &model::CTileParams::m_nCosSin)
        return QStringLiteral("Cos/Sin Coefficients");
    if (table == &model::CTileParams::m_nSinCos)
        return QStringLiteral("Sin/Cos Coefficients");
    return QStringLiteral("Sin/Sin Coefficients");
}

// The widest text a user can type for a 32-bit value: a sign and ten digits.
int CCoeffsDlg::WidestValueWidth(const QFontMetrics& fm)
{
    int width = 0;
    for (const QString& value : {QStringLiteral("-9999999999"), QStringLiteral("+9999999999")})
        width = std::max(width, fm.horizontalAdvance(controls::WidestText(value, fm)));
    // Advances are fractional; one pixel covers their rounding in any mix.
    return width + 1;
}

void CCoeffsDlg::FitGrid()
{
    if (!m_bGridReady)
        return;
    m_pGrid->AutoSize();
    // Every value column takes any 32-bit value as typed, so a number never
    // shows cut short with an ellipsis.
    const int valueWidth = WidestValueWidth(QFontMetrics(m_pGrid->font())) + 2 * m_pGrid->GetCellMargin();
    for (int k = 1; k < m_pGrid->GetColumnCount(); ++k)
        m_pGrid->SetColumnWidth(k, std::max(m_pGrid->GetColumnWidth(k), valueWidth));

    // Fit the dialog to the table, up to a size that leaves the rest of the
    // table to the scroll bars.
    int width = 2 * m_pGrid->frameWidth() + 2;
    for (int k = 0; k < m_pGrid->GetColumnCount(); ++k)
        width += m_pGrid->GetColumnWidth(k);
    int height = 2 * m_pGrid->frameWidth() + 2;
    for (int r = 0; r < m_pGrid->GetRowCount(); ++r)
        height += m_pGrid->GetRowHeight(r);
    m_pGrid->setMinimumSize(std::clamp(width, 200, 900), std::clamp(height, 60, 640));
    adjustSize();
}

void CCoeffsDlg::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    // The font the dialog ends up with (its style's, the user's) sizes the
    // cells, not the one it was built with.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        FitGrid();
}

void CCoeffsDlg::showEvent(QShowEvent* event)
{
    FitGrid();
    QDialog::showEvent(event);
}

void CCoeffsDlg::Load()
{
    const auto& table = (m_pParams->*m_pTable)[m_nComponent];
    for (int r = 0; r < m_pGrid->GetRowCount(); ++r) {
        for (int k = 0; k < m_pGrid->GetColumnCount(); ++k) {
            controls::CGridItem item;
            item.row = r;
            item.col = k;
            item.mask = controls::GIM_TEXT | controls::GIM_FORMAT;
            item.nFormat = r == 0 ? kHeaderCellFormat : kValueCellFormat;
            if (r == 0)
                item.strText = QString::asprintf("%d", k);
            else if (k == 0)
                item.strText = QString::asprintf("%d", r);
            else
                item.strText = QString::asprintf("%d", table[r - 1][k - 1]);
            m_pGrid->SetItem(item);
        }
    }
}

void CCoeffsDlg::accept()
{
    if (m_bGridReady) {
        auto& table = (m_pParams->*m_pTable)[m_nComponent];
        for (int r = 1; r < m_pGrid->GetRowCount(); ++r) {
            for (int k = 1; k < m_pGrid->GetColumnCount(); ++k)
                table[r - 1][k - 1] = ParseIntText(m_pGrid->GetItemText(r, k));
        }
    }
    QDialog::accept();
}

} // namespace quorrel::editors
