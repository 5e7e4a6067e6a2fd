// The grid's construction, cells, structure (rows, columns, sizes) and font.
// Geometry and selection, keys and editing, the mouse, and painting live in
// GridCtrlGeometry.cpp, GridCtrlKeyboard.cpp, GridCtrlMouse.cpp and
// GridCtrlPaint.cpp.

#include "controls/GridCtrl.h"

#include "controls/accessible/Accessibility.h"
#include "controls/GridInPlaceEdit.h"

#include <QApplication>
#include <QFontMetrics>
#include <QScrollBar>

#include <algorithm>

namespace quorrel::controls {

CGridCtrl::CGridCtrl(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    InstallControlAccessibility();
    const QPalette& pal = palette();
    m_crText = ToColorRef(pal.color(QPalette::Text));
    m_crTextBk = ToColorRef(pal.color(QPalette::Base));
    m_crFixedBk = ToColorRef(pal.color(QPalette::Button));
    m_crFixedText = ToColorRef(pal.color(QPalette::WindowText));
    m_crBk = ToColorRef(pal.color(QPalette::Dark));
    // The desktop's setting for the lines one wheel notch scrolls.
    m_nRowsPerWheelNotch = QApplication::wheelScrollLines();

    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);
    ApplyFont(font());
}

CGridCtrl::~CGridCtrl()
{
    if (m_pEdit)
        delete m_pEdit.data();
    for (int r = 0; r < m_nRows; ++r)
        for (int c = 0; c < m_nCols; ++c)
            DestroyCell(r, c);
}

// ---------------------------------------------------------------- cells

CGridCell* CGridCtrl::CreateCell(int, int)
{
    auto* cell = new CGridCell;
    cell->m_font = m_font;
    cell->m_nMargin = m_nMargin;
    return cell;
}

void CGridCtrl::DestroyCell(int nRow, int nCol)
{
    if (nRow < 0 || nRow >= int(m_RowData.size()) || nCol < 0 || nCol >= int(m_RowData[size_t(nRow)].size()))
        return;
    delete m_RowData[size_t(nRow)][size_t(nCol)];
    m_RowData[size_t(nRow)][size_t(nCol)] = nullptr;
}

CGridCell* CGridCtrl::Cell(int nRow, int nCol) const
{
    if (!IsValid(nRow, nCol))
        return nullptr;
    return m_RowData[size_t(nRow)][size_t(nCol)];
}

const CGridCell* CGridCtrl::GetCell(int nRow, int nCol) const
{
    return Cell(nRow, nCol);
}

bool CGridCtrl::IsCellEditable(int nRow, int nCol) const
{
    const CGridCell* cell = Cell(nRow, nCol);
    return m_bEditable && cell && !IsFixed(nRow, nCol) && !(cell->m_nState & GCS_READONLY);
}

// ---------------------------------------------------------------- structure

bool CGridCtrl::SetRowCount(int nRows)
{
    if (nRows < 0)
        return false;
    if (nRows == m_nRows)
        return true;
    if (nRows < m_nRows) {
        for (int r = nRows; r < m_nRows; ++r) {
            for (int c = 0; c < m_nCols; ++c) {
                DestroyCell(r, c);
                m_selected.remove(Key(r, c));
            }
        }
        m_RowData.resize(size_t(nRows));
        m_arRowHeights.resize(size_t(nRows));
        m_nRows = nRows;
        if (m_nFixedRows > nRows)
            m_nFixedRows = nRows;
        if (m_idCurrentCell.row >= nRows)
            m_idCurrentCell = {};
    } else {
        m_RowData.reserve(size_t(nRows));
        m_arRowHeights.reserve(size_t(nRows));
        for (int r = m_nRows; r < nRows; ++r) {
            m_RowData.emplace_back(size_t(m_nCols), nullptr);
            m_arRowHeights.push_back(uint32_t(m_nDefCellHeight));
            ++m_nRows;
            for (int c = 0; c < m_nCols; ++c)
                m_RowData[size_t(r)][size_t(c)] = CreateCell(r, c);
        }
    }
    UpdateScrollBars();
    Refresh();
    return true;
}

bool CGridCtrl::SetColumnCount(int nCols)
{
    if (nCols < 0)
        return false;
    if (nCols == m_nCols)
        return true;
    if (nCols < m_nCols) {
        for (int r = 0; r < m_nRows; ++r) {
            for (int c = nCols; c < m_nCols; ++c) {
                DestroyCell(r, c);
                m_selected.remove(Key(r, c));
            }
            m_RowData[size_t(r)].resize(size_t(nCols));
        }
        m_arColWidths.resize(size_t(nCols));
        m_nCols = nCols;
        if (m_nFixedCols > nCols)
            m_nFixedCols = nCols;
        if (m_idCurrentCell.col >= nCols)
            m_idCurrentCell = {};
    } else {
        for (auto& row : m_RowData)
            row.reserve(size_t(nCols));
        m_arColWidths.reserve(size_t(nCols));
        const int oldCols = m_nCols;
        for (auto& row : m_RowData)
            row.resize(size_t(nCols), nullptr);
        m_arColWidths.resize(size_t(nCols), uint32_t(m_nDefCellWidth));
        m_nCols = nCols;
        for (int r = 0; r < m_nRows; ++r)
            for (int c = oldCols; c < nCols; ++c)
                m_RowData[size_t(r)][size_t(c)] = CreateCell(r, c);
    }
    UpdateScrollBars();
    Refresh();
    return true;
}

bool CGridCtrl::SetFixedRowCount(int nFixedRows)
{
    if (nFixedRows < 0)
        return false;
    if (nFixedRows > m_nRows && !SetRowCount(nFixedRows))
        return false;
    m_nFixedRows = nFixedRows;
    if (m_idCurrentCell.IsValid() && m_idCurrentCell.row < nFixedRows)
        m_idCurrentCell = {};
    for (int r = 0; r < nFixedRows; ++r)
        for (int c = 0; c < m_nCols; ++c)
            m_selected.remove(Key(r, c));
    UpdateScrollBars();
    Refresh();
    return true;
}

bool CGridCtrl::SetFixedColumnCount(int nFixedCols)
{
    if (nFixedCols < 0)
        return false;
    if (nFixedCols > m_nCols && !SetColumnCount(nFixedCols))
        return false;
    m_nFixedCols = nFixedCols;
    if (m_idCurrentCell.IsValid() && m_idCurrentCell.col < nFixedCols)
        m_idCurrentCell = {};
    for (int r = 0; r < m_nRows; ++r)
        for (int c = 0; c < nFixedCols; ++c)
            m_selected.remove(Key(r, c));
    UpdateScrollBars();
    Refresh();
    return true;
}

bool CGridCtrl::SetRowHeight(int nRow, int nHeight)
{
    if (nRow < 0 || nRow >= m_nRows || nHeight < 0)
        return false;
    m_arRowHeights[size_t(nRow)] = uint32_t(nHeight);
    UpdateScrollBars();
    Refresh();
    return true;
}

bool CGridCtrl::SetColumnWidth(int nCol, int nWidth)
{
    if (nCol < 0 || nCol >= m_nCols || nWidth < 0)
        return false;
    m_arColWidths[size_t(nCol)] = uint32_t(nWidth);
    UpdateScrollBars();
    Refresh();
    return true;
}

int CGridCtrl::GetRowHeight(int nRow) const
{
    return nRow >= 0 && nRow < m_nRows ? int(m_arRowHeights[size_t(nRow)]) : -1;
}

int CGridCtrl::GetColumnWidth(int nCol) const
{
    return nCol >= 0 && nCol < m_nCols ? int(m_arColWidths[size_t(nCol)]) : -1;
}

void CGridCtrl::AutoSize()
{
    std::vector<int> widths(size_t(m_nCols), 0);
    std::vector<int> heights(size_t(m_nRows), 0);
    for (int r = 0; r < m_nRows; ++r) {
        for (int c = 0; c < m_nCols; ++c) {
            const CGridCell* cell = Cell(r, c);
            if (!cell)
                continue;
            const QFontMetrics fm(cell->m_font);
            const QString text = cell->m_strText.isEmpty() ? QStringLiteral(" ") : cell->m_strText;
            const QRect extent = fm.boundingRect(QRect(0, 0, 32767, 32767), Qt::AlignLeft | Qt::AlignTop, text);
            // The ink of a line can be narrower than its advance, which is what
            // the painter's ellipsis rule measures: take the wider.
            int lineWidth = extent.width();
            for (const QString& line : text.split(QLatin1Char('\n')))
                lineWidth = std::max(lineWidth, fm.horizontalAdvance(line));
            const int w = lineWidth + 2 * cell->m_nMargin;
            const int h = extent.height() + 2 * cell->m_nMargin;
            widths[size_t(c)] = std::max(widths[size_t(c)], w);
            heights[size_t(r)] = std::max(heights[size_t(r)], h);
        }
    }
    for (int c = 0; c < m_nCols; ++c)
        m_arColWidths[size_t(c)] = uint32_t(widths[size_t(c)]);
    for (int r = 0; r < m_nRows; ++r)
        m_arRowHeights[size_t(r)] = uint32_t(heights[size_t(r)]);
    UpdateScrollBars();
    Refresh();
}

void CGridCtrl::SetRedraw(bool bAllowDraw)
{
    m_bAllowDraw = bAllowDraw;
    if (bAllowDraw) {
        UpdateScrollBars();
        viewport()->update();
    }
}

void CGridCtrl::Refresh()
{
    if (m_bAllowDraw)
        viewport()->update();
}

// ---------------------------------------------------------------- cell fields

bool CGridCtrl::SetItem(const CGridItem& item)
{
    CGridCell* cell = Cell(item.row, item.col);
    if (!cell)
        return false;
    if (item.mask & GIM_TEXT)
        cell->m_strText = item.strText;
    if (item.mask & GIM_IMAGE)
        cell->m_iImage = item.iImage;
    if (item.mask & GIM_PARAM)
        cell->m_lParam = item.lParam;
    if (item.mask & GIM_STATE)
        SetItemState(item.row, item.col, item.nState);
    if (item.mask & GIM_BKCLR)
        cell->m_crBkClr = item.crBkClr;
    if (item.mask & GIM_FGCLR)
        cell->m_crFgClr = item.crFgClr;
    if (item.mask & GIM_FORMAT)
        cell->m_nFormat = item.nFormat;
    if (item.mask & GIM_FONT)
        cell->m_font = item.font;
    Refresh();
    return true;
}

bool CGridCtrl::GetItem(CGridItem& item) const
{
    const CGridCell* cell = Cell(item.row, item.col);
    if (!cell)
        return false;
    if (item.mask & GIM_TEXT)
        item.strText = cell->m_strText;
    if (item.mask & GIM_IMAGE)
        item.iImage = cell->m_iImage;
    if (item.mask & GIM_PARAM)
        item.lParam = cell->m_lParam;
    if (item.mask & GIM_STATE)
        item.nState = cell->m_nState;
    if (item.mask & GIM_BKCLR)
        item.crBkClr = cell->m_crBkClr;
    if (item.mask & GIM_FGCLR)
        item.crFgClr = cell->m_crFgClr;
    if (item.mask & GIM_FORMAT)
        item.nFormat = cell->m_nFormat;
    if (item.mask & GIM_FONT)
        item.font = cell->m_font;
    return true;
}

bool CGridCtrl::SetItemText(int nRow, int nCol, const QString& text)
{
    CGridCell* cell = Cell(nRow, nCol);
    if (!cell)
        return false;
    cell->m_strText = text;
    Refresh();
    return true;
}

QString CGridCtrl::GetItemText(int nRow, int nCol) const
{
    const CGridCell* cell = Cell(nRow, nCol);
    return cell ? cell->m_strText : QString();
}

bool CGridCtrl::SetItemState(int nRow, int nCol, uint32_t state)
{
    CGridCell* cell = Cell(nRow, nCol);
    if (!cell)
        return false;
    cell->m_nState = state;
    if (state & GCS_SELECTED)
        m_selected.insert(Key(nRow, nCol));
    else
        m_selected.remove(Key(nRow, nCol));
    Refresh();
    return true;
}

uint32_t CGridCtrl::GetItemState(int nRow, int nCol) const
{
    const CGridCell* cell = Cell(nRow, nCol);
    return cell ? cell->m_nState : 0;
}

bool CGridCtrl::SetItemFormat(int nRow, int nCol, uint32_t nFormat)
{
    CGridCell* cell = Cell(nRow, nCol);
    if (!cell)
        return false;
    cell->m_nFormat = nFormat;
    Refresh();
    return true;
}

uint32_t CGridCtrl::GetItemFormat(int nRow, int nCol) const
{
    const CGridCell* cell = Cell(nRow, nCol);
    return cell ? cell->m_nFormat : 0;
}

bool CGridCtrl::SetItemBackColor(int nRow, int nCol, uint32_t cr)
{
    CGridCell* cell = Cell(nRow, nCol);
    if (!cell)
        return false;
    cell->m_crBkClr = cr;
    Refresh();
    return true;
}

bool CGridCtrl::SetItemTextColor(int nRow, int nCol, uint32_t cr)
{
    CGridCell* cell = Cell(nRow, nCol);
    if (!cell)
        return false;
    cell->m_crFgClr = cr;
    Refresh();
    return true;
}

void CGridCtrl::SetModified(bool bModified, int nRow, int nCol)
{
    if (nRow < 0 || nCol < 0) {
        m_bModified = bModified;
        if (!bModified)
            for (auto& row : m_RowData)
                for (CGridCell* cell : row)
                    if (cell)
                        cell->m_bModified = false;
        return;
    }
    CGridCell* cell = Cell(nRow, nCol);
    if (!cell)
        return;
    cell->m_bModified = bModified;
    if (bModified)
        m_bModified = true;
}

bool CGridCtrl::GetModified(int nRow, int nCol) const
{
    if (nRow < 0 || nCol < 0)
        return m_bModified;
    const CGridCell* cell = Cell(nRow, nCol);
    return cell && cell->m_bModified;
}

// ---------------------------------------------------------------- font

void CGridCtrl::ApplyFont(const QFont& font)
{
    m_font = font;
    const QFontMetrics fm(font);
    m_nMargin = fm.horizontalAdvance(QLatin1Char(' '));
    m_nDefCellHeight = fm.height() + fm.leading() + 2 * m_nMargin;
    m_nDefCellWidth = 12 * fm.averageCharWidth() + 2 * m_nMargin;
    for (auto& row : m_RowData)
        for (CGridCell* cell : row)
            if (cell) {
                cell->m_font = font;
                cell->m_nMargin = m_nMargin;
            }
    Refresh();
}

void CGridCtrl::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::FontChange)
        ApplyFont(font());
    QAbstractScrollArea::changeEvent(e);
}

} // namespace quorrel::controls
