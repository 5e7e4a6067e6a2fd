#include "PropsCorrelations.h"

#include "ComponentChecks.h"
#include "ControlIds.h"
#include "EditorMessages.h"
#include "GridFormats.h"
#include "TextParsing.h"

#include "controls/ColorRef.h"
#include "controls/Contrast.h"
#include "controls/GridCtrl.h"

#include "model/TileParams.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPalette>
#include <QVBoxLayout>

#include <algorithm>
#include <new>

namespace quorrel::editors {

namespace {

constexpr int kRowHeight = 40;

} // namespace

CPropsCorrelations::CPropsCorrelations(model::CTileParams& params, IEditorMessages& messages,
                                       QWidget* parent)
    : CWizardPage(LastPage, 115, tr("Correlations"), messages, parent)
    , m_pParams(&params)
    , m_pGrid(new controls::CGridCtrl)
{
    SetControlId(m_pGrid, 6002);
    // The grid is sized to show every cell; it never scrolls.
    m_pGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(tr("Colors")), 0, 0);
    // The check boxes face the grid's component rows (40 pixels each).
    auto* checks = new QVBoxLayout;
    checks->setSpacing(0);
    checks->addSpacing(kRowHeight);
    for (int c = 0; c < 6; ++c) {
        m_pCheck[c] = MakeComponentCheck(c);
        m_pCheck[c]->setFixedHeight(kRowHeight);
        checks->addWidget(m_pCheck[c]);
        connect(m_pCheck[c], &QCheckBox::clicked, this, [this] { ApplyEditability(); });
    }
    checks->addStretch(1);
    layout->addLayout(checks, 1, 0);
    m_pGrid->setAccessibleName(tr("Correlations"));
    layout->addWidget(m_pGrid, 1, 1, Qt::AlignLeft | Qt::AlignTop);
    layout->setColumnStretch(2, 1);
    layout->setRowStretch(2, 1);
}

QString CPropsCorrelations::HeaderText(int index)
{
    static const char* const texts[kColumns] = {"", QT_TR_NOOP("Red"), QT_TR_NOOP("Green"), QT_TR_NOOP("Blue"), QT_TR_NOOP("Hue"),
                                                QT_TR_NOOP("Sat"), QT_TR_NOOP("Lum"), "+", QT_TR_NOOP("Free")};
    return tr(texts[index]);
}

void CPropsCorrelations::OnInitDialog()
{
    try {
        m_pGrid->SetEditable(true);
        m_pGrid->SetListMode(false);
        m_pGrid->SetRowCount(kRows);
        m_pGrid->SetColumnCount(kColumns);
        m_pGrid->SetFixedRowCount(1);
        m_pGrid->SetFixedColumnCount(1);
    } catch (const std::bad_alloc&) {
        Messages().ShowError(this, tr("Out of memory."));
        return;
    }
    m_bGridReady = true;
    CWizardPage::OnInitDialog();
    // 40 x 39 pixels fit the headers with a small dialog font; wider where
    // this font needs it, so that "Green" is not cut.
    const int width = std::max(39, m_pGrid->fontMetrics().horizontalAdvance(tr("Green"))
                                       + 2 * m_pGrid->GetCellMargin() + 6);
    for (int r = 0; r < kRows; ++r)
        m_pGrid->SetRowHeight(r, kRowHeight);
    for (int k = 0; k < kColumns; ++k)
        m_pGrid->SetColumnWidth(k, width);
    m_pGrid->SetRowResize(false);
    const int frame = 2 * m_pGrid->frameWidth();
    m_pGrid->setFixedSize(kColumns * width + frame, kRows * kRowHeight + frame);
}

void CPropsCorrelations::Load()
{
    if (m_bGridReady) {
        for (int r = 0; r < kRows; ++r) {
            for (int k = 0; k < kColumns; ++k) {
                controls::CGridItem item;
                item.row = r;
                item.col = k;
                item.mask = controls::GIM_TEXT | controls::GIM_FORMAT;
                if (r == 0 || k == 0) {
                    item.nFormat = kHeaderCellFormat;
                    item.strText = HeaderText(r == 0 ? k : r);
                } else if (m_pParams->m_bEnabled[r - 1]) {
                    // The text stays: the editability rule empties it.
                    item.mask = controls::GIM_FORMAT;
                    item.nFormat = kValueCellFormat;
                } else {
                    item.nFormat = kValueCellFormat;
                    item.strText = CorrelationText(m_pParams->m_dCorrel[r - 1][k - 1]);
                }
                m_pGrid->SetItem(item);
            }
        }
    }
    for (int c = 0; c < 6; ++c)
        m_pCheck[c]->setChecked(m_pParams->m_bEnabled[c] != 0);
    ApplyEditability();
}

bool CPropsCorrelations::Store()
{
    for (int c = 0; c < 6; ++c)
        m_pParams->m_bEnabled[c] = m_pCheck[c]->isChecked() ? 1 : 0;
    if (!m_bGridReady)
        return true;
    for (int r = 1; r < kRows; ++r) {
        for (int k = 1; k < kColumns; ++k)
            m_pParams->m_dCorrel[r - 1][k - 1] = ParseDoubleText(m_pGrid->GetItemText(r, k));
    }
    return true;
}

void CPropsCorrelations::ApplyEditability()
{
    if (!m_bGridReady)
        return;
    bool generated[8];
    for (int i = 0; i < 6; ++i)
        generated[i] = m_pCheck[i]->isChecked();
    generated[6] = generated[7] = true;

    // Read-only cells in the button face, editable ones in the field colour.
    // Most palettes make the two nearly alike (white and a light grey, or
    // two dark greys): the face is moved away from the field until a user
    // tells them apart at a glance.
    const QPalette pal = palette();
    const QColor base = pal.color(QPalette::Base);
    const QColor face = controls::LegibleOn(pal.color(QPalette::Button), base, controls::kSurfaceContrast);
    const uint32_t buttonFace = controls::ToColorRef(face);
    const uint32_t window = controls::ToColorRef(pal.color(QPalette::Base));
    for (int r = 1; r < kRows; ++r) {
        for (int k = 1; k < kColumns; ++k) {
            const uint32_t state = m_pGrid->GetItemState(r, k);
            if (generated[r - 1] || !generated[k - 1]) {
                m_pGrid->SetItemState(r, k, state | controls::GCS_READONLY);
                m_pGrid->SetItemBackColor(r, k, buttonFace);
                m_pGrid->SetItemText(r, k, QString());
            } else {
                m_pGrid->SetItemState(r, k, state & ~controls::GCS_READONLY);
                m_pGrid->SetItemBackColor(r, k, window);
            }
        }
    }
    m_pGrid->viewport()->repaint();
}

} // namespace quorrel::editors
