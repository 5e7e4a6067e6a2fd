// The grid's geometry (where rows and columns lie, what is visible, the
// scroll ranges) and its focus cell and selection.

#include "controls/GridCtrl.h"

#include <QScrollBar>

#include <algorithm>
#include <cstdlib>

namespace quorrel::controls {

// ---------------------------------------------------------------- geometry

int CGridCtrl::TopRow() const
{
    return m_nFixedRows + verticalScrollBar()->value();
}

int CGridCtrl::LeftCol() const
{
    return m_nFixedCols + horizontalScrollBar()->value();
}

int CGridCtrl::FixedRowHeight() const
{
    int h = 0;
    for (int r = 0; r < m_nFixedRows; ++r)
        h += int(m_arRowHeights[size_t(r)]);
    return h;
}

int CGridCtrl::FixedColumnWidth() const
{
    int w = 0;
    for (int c = 0; c < m_nFixedCols; ++c)
        w += int(m_arColWidths[size_t(c)]);
    return w;
}

int CGridCtrl::RowTop(int nRow) const
{
    if (nRow < m_nFixedRows) {
        int y = 0;
        for (int r = 0; r < nRow; ++r)
            y += int(m_arRowHeights[size_t(r)]);
        return y;
    }
    int y = FixedRowHeight();
    const int top = TopRow();
    if (nRow >= top) {
        for (int r = top; r < nRow; ++r)
            y += int(m_arRowHeights[size_t(r)]);
    } else {
        for (int r = nRow; r < top; ++r)
            y -= int(m_arRowHeights[size_t(r)]);
    }
    return y;
}

int CGridCtrl::ColLeft(int nCol) const
{
    if (nCol < m_nFixedCols) {
        int x = 0;
        for (int c = 0; c < nCol; ++c)
            x += int(m_arColWidths[size_t(c)]);
        return x;
    }
    int x = FixedColumnWidth();
    const int left = LeftCol();
    if (nCol >= left) {
        for (int c = left; c < nCol; ++c)
            x += int(m_arColWidths[size_t(c)]);
    } else {
        for (int c = nCol; c < left; ++c)
            x -= int(m_arColWidths[size_t(c)]);
    }
    return x;
}

int CGridCtrl::LastVisibleRow(bool bFully) const
{
    const int limit = viewport()->height();
    int y = FixedRowHeight();
    int last = TopRow() - 1;
    for (int r = TopRow(); r < m_nRows; ++r) {
        const int h = int(m_arRowHeights[size_t(r)]);
        if (bFully ? y + h > limit : y >= limit)
            break;
        last = r;
        y += h;
    }
    return last;
}

int CGridCtrl::LastVisibleCol(bool bFully) const
{
    const int limit = viewport()->width();
    int x = FixedColumnWidth();
    int last = LeftCol() - 1;
    for (int c = LeftCol(); c < m_nCols; ++c) {
        const int w = int(m_arColWidths[size_t(c)]);
        if (bFully ? x + w > limit : x >= limit)
            break;
        last = c;
        x += w;
    }
    return last;
}

bool CGridCtrl::IsCellVisible(int nRow, int nCol) const
{
    if (!IsValid(nRow, nCol))
        return false;
    const bool rowVisible = nRow < m_nFixedRows || (nRow >= TopRow() && nRow <= LastVisibleRow(false));
    const bool colVisible = nCol < m_nFixedCols || (nCol >= LeftCol() && nCol <= LastVisibleCol(false));
    return rowVisible && colVisible;
}

bool CGridCtrl::GetCellRect(int nRow, int nCol, QRect& rect) const
{
    if (!IsValid(nRow, nCol))
        return false;
    rect = QRect(ColLeft(nCol), RowTop(nRow), int(m_arColWidths[size_t(nCol)]), int(m_arRowHeights[size_t(nRow)]));
    return IsCellVisible(nRow, nCol);
}

CCellID CGridCtrl::GetCellFromPt(QPoint pt) const
{
    CCellID id;
    if (pt.x() < 0 || pt.y() < 0)
        return id;
    const int fixedH = FixedRowHeight();
    if (pt.y() < fixedH) {
        for (int r = 0, y = 0; r < m_nFixedRows; ++r) {
            y += int(m_arRowHeights[size_t(r)]);
            if (pt.y() < y) {
                id.row = r;
                break;
            }
        }
    } else {
        for (int r = TopRow(), y = fixedH; r < m_nRows; ++r) {
            y += int(m_arRowHeights[size_t(r)]);
            if (pt.y() < y) {
                id.row = r;
                break;
            }
        }
    }
    const int fixedW = FixedColumnWidth();
    if (pt.x() < fixedW) {
        for (int c = 0, x = 0; c < m_nFixedCols; ++c) {
            x += int(m_arColWidths[size_t(c)]);
            if (pt.x() < x) {
                id.col = c;
                break;
            }
        }
    } else {
        for (int c = LeftCol(), x = fixedW; c < m_nCols; ++c) {
            x += int(m_arColWidths[size_t(c)]);
            if (pt.x() < x) {
                id.col = c;
                break;
            }
        }
    }
    if (id.row < 0 || id.col < 0)
        return {};
    return id;
}

CCellID CGridCtrl::GetTopLeftNonFixedCell() const
{
    if (m_nRows <= m_nFixedRows || m_nCols <= m_nFixedCols)
        return {};
    return {TopRow(), LeftCol()};
}

// The column whose right edge lies within the capture range of the point, or -1.
int CGridCtrl::ColumnDividerAt(QPoint pt) const
{
    for (int c = 0; c < m_nCols; ++c) {
        if (c >= m_nFixedCols && (c < LeftCol() || c > LastVisibleCol(false)))
            continue;
        const int right = ColLeft(c) + int(m_arColWidths[size_t(c)]);
        if (std::abs(pt.x() - right) <= kResizeCaptureRange)
            return c;
    }
    return -1;
}

int CGridCtrl::RowDividerAt(QPoint pt) const
{
    for (int r = 0; r < m_nRows; ++r) {
        if (r >= m_nFixedRows && (r < TopRow() || r > LastVisibleRow(false)))
            continue;
        const int bottom = RowTop(r) + int(m_arRowHeights[size_t(r)]);
        if (std::abs(pt.y() - bottom) <= kResizeCaptureRange)
            return r;
    }
    return -1;
}

CCellID CGridCtrl::ClampToScrolling(CCellID cell) const
{
    if (m_nRows <= m_nFixedRows || m_nCols <= m_nFixedCols)
        return {};
    cell.row = std::clamp(cell.row, m_nFixedRows, m_nRows - 1);
    cell.col = std::clamp(cell.col, m_nFixedCols, m_nCols - 1);
    return cell;
}

void CGridCtrl::UpdateScrollBars()
{
    const QSize area = viewport()->size();
    auto fitAtEnd = [](const std::vector<uint32_t>& sizes, int first, int avail) {
        int fit = 0;
        int sum = 0;
        for (int i = int(sizes.size()) - 1; i >= first; --i) {
            sum += int(sizes[size_t(i)]);
            if (sum > avail)
                break;
            ++fit;
        }
        return fit;
    };
    const int scrollRows = m_nRows - m_nFixedRows;
    const int fitRows = fitAtEnd(m_arRowHeights, m_nFixedRows, area.height() - FixedRowHeight());
    const int maxV = scrollRows > 0 ? std::max(0, scrollRows - std::max(fitRows, 1)) : 0;
    verticalScrollBar()->setRange(0, maxV);
    verticalScrollBar()->setPageStep(std::max(fitRows, 1));

    const int scrollCols = m_nCols - m_nFixedCols;
    const int fitCols = fitAtEnd(m_arColWidths, m_nFixedCols, area.width() - FixedColumnWidth());
    const int maxH = scrollCols > 0 ? std::max(0, scrollCols - std::max(fitCols, 1)) : 0;
    horizontalScrollBar()->setRange(0, maxH);
    horizontalScrollBar()->setPageStep(std::max(fitCols, 1));
}

void CGridCtrl::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    UpdateScrollBars();
}

void CGridCtrl::scrollContentsBy(int, int)
{
    // An open edit would be left over the wrong cell: end it, keeping its text.
    if (m_pEdit)
        m_pEdit->EndEdit(0);
    viewport()->update();
}

void CGridCtrl::EnsureVisible(int nRow, int nCol)
{
    if (!IsValid(nRow, nCol))
        return;
    QScrollBar* v = verticalScrollBar();
    if (nRow >= m_nFixedRows) {
        while (nRow < TopRow() && v->value() > v->minimum())
            v->setValue(v->value() - 1);
        while (nRow > TopRow() && RowTop(nRow) + int(m_arRowHeights[size_t(nRow)]) > viewport()->height()
               && v->value() < v->maximum())
            v->setValue(v->value() + 1);
    }
    QScrollBar* h = horizontalScrollBar();
    if (nCol >= m_nFixedCols) {
        while (nCol < LeftCol() && h->value() > h->minimum())
            h->setValue(h->value() - 1);
        while (nCol > LeftCol() && ColLeft(nCol) + int(m_arColWidths[size_t(nCol)]) > viewport()->width()
               && h->value() < h->maximum())
            h->setValue(h->value() + 1);
    }
}

// ---------------------------------------------------------------- selection

void CGridCtrl::SetFocusCell(int nRow, int nCol)
{
    const CCellID next{nRow, nCol};
    if (next == m_idCurrentCell)
        return;
    const CCellID old = m_idCurrentCell;
    if (old.IsValid()) {
        emit selChanging(old.row, old.col);
        if (CGridCell* cell = Cell(old.row, old.col))
            cell->m_nState &= ~GCS_FOCUSED;
    }
    m_idCurrentCell = IsValid(nRow, nCol) ? next : CCellID{};
    if (CGridCell* cell = Cell(m_idCurrentCell.row, m_idCurrentCell.col))
        cell->m_nState |= GCS_FOCUSED;
    viewport()->update();
    if (m_idCurrentCell.IsValid())
        emit selChanged(m_idCurrentCell.row, m_idCurrentCell.col);
}

bool CGridCtrl::IsCellSelected(int nRow, int nCol) const
{
    return m_selected.contains(Key(nRow, nCol));
}

GridCellRange CGridCtrl::GetSelectedCellRange() const
{
    GridCellRange range;
    for (uint32_t key : m_selected) {
        const int row = int(key & 0xFFFF);
        const int col = int(key >> 16);
        if (range.minRow < 0) {
            range = {row, col, row, col};
            continue;
        }
        range.minRow = std::min(range.minRow, row);
        range.minCol = std::min(range.minCol, col);
        range.maxRow = std::max(range.maxRow, row);
        range.maxCol = std::max(range.maxCol, col);
    }
    return range;
}

void CGridCtrl::ResetSelectedRange()
{
    for (uint32_t key : std::as_const(m_selected))
        if (CGridCell* cell = Cell(int(key & 0xFFFF), int(key >> 16)))
            cell->m_nState &= ~GCS_SELECTED;
    m_selected.clear();
    viewport()->update();
}

void CGridCtrl::SetSelectedRange(int nMinRow, int nMinCol, int nMaxRow, int nMaxCol, bool bForceRepaint)
{
    QSet<uint32_t> wanted = m_prevSelected;
    if (nMinRow >= 0 && nMinCol >= 0) {
        for (int r = std::max(nMinRow, m_nFixedRows); r <= std::min(nMaxRow, m_nRows - 1); ++r)
            for (int c = std::max(nMinCol, m_nFixedCols); c <= std::min(nMaxCol, m_nCols - 1); ++c)
                wanted.insert(Key(r, c));
    }
    for (uint32_t key : std::as_const(m_selected))
        if (!wanted.contains(key))
            if (CGridCell* cell = Cell(int(key & 0xFFFF), int(key >> 16)))
                cell->m_nState &= ~GCS_SELECTED;
    for (uint32_t key : std::as_const(wanted))
        if (CGridCell* cell = Cell(int(key & 0xFFFF), int(key >> 16)))
            cell->m_nState |= GCS_SELECTED;
    m_selected = wanted;
    if (bForceRepaint)
        viewport()->repaint();
    else
        viewport()->update();
}

void CGridCtrl::SelectRect(CCellID a, CCellID b)
{
    if (!a.IsValid() || !b.IsValid())
        return;
    int minRow = std::min(a.row, b.row);
    int maxRow = std::max(a.row, b.row);
    int minCol = std::min(a.col, b.col);
    int maxCol = std::max(a.col, b.col);
    if (m_mouseMode == MouseMode::SelectingRows || m_bListMode) {
        minCol = m_nFixedCols;
        maxCol = m_nCols - 1;
    }
    if (m_mouseMode == MouseMode::SelectingCols) {
        minRow = m_nFixedRows;
        maxRow = m_nRows - 1;
    }
    SetSelectedRange(minRow, minCol, maxRow, maxCol);
}

void CGridCtrl::OnEditSelectAll()
{
    m_prevSelected.clear();
    SetSelectedRange(m_nFixedRows, m_nFixedCols, m_nRows - 1, m_nCols - 1);
}

} // namespace quorrel::controls
