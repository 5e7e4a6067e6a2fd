// The grid's geometry (where rows and columns lie, what is visible, the
// scroll ranges) and its focus cell and selection.

#include "controls/GridCtrl.h"

#include <QScrollBar>

#include <algorithm>
#include <cstdlib>

namespace quorrel::controls {

// ---------------------------------------------------------------- geometry

namespace {

// One direction of the grid: the sizes of its rows (or columns), how many
// there are, how many are fixed, and the first scrolling one shown. Rows and
// columns follow the same rules, so each rule is written once, for an axis.
struct CAxis {
    const std::vector<uint32_t>& sizes;
    int count;
    int fixed;
    int first;

    int Size(int i) const { return int(sizes[size_t(i)]); }

    int FixedExtent() const
    {
        int extent = 0;
        for (int i = 0; i < fixed; ++i)
            extent += Size(i);
        return extent;
    }

    // Where row (column) i starts in the viewport; negative or beyond it for
    // scrolling ones out of view.
    int Start(int i) const
    {
        if (i < fixed) {
            int pos = 0;
            for (int k = 0; k < i; ++k)
                pos += Size(k);
            return pos;
        }
        int pos = FixedExtent();
        if (i >= first) {
            for (int k = first; k < i; ++k)
                pos += Size(k);
        } else {
            for (int k = i; k < first; ++k)
                pos -= Size(k);
        }
        return pos;
    }

    // The last scrolling row (column) that shows within `limit` pixels, fully
    // or in part; first - 1 when none does.
    int LastVisible(int limit, bool fully) const
    {
        int pos = FixedExtent();
        int last = first - 1;
        for (int i = first; i < count; ++i) {
            const int size = Size(i);
            if (fully ? pos + size > limit : pos >= limit)
                break;
            last = i;
            pos += size;
        }
        return last;
    }

    // The row (column) under viewport position `pos` (not negative), or -1.
    int IndexAt(int pos) const
    {
        const int fixedExtent = FixedExtent();
        const bool inFixed = pos < fixedExtent;
        int end = inFixed ? 0 : fixedExtent;
        for (int i = inFixed ? 0 : first; i < (inFixed ? fixed : count); ++i) {
            end += Size(i);
            if (pos < end)
                return i;
        }
        return -1;
    }
};

} // namespace

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
    return CAxis{m_arRowHeights, m_nRows, m_nFixedRows, TopRow()}.FixedExtent();
}

int CGridCtrl::FixedColumnWidth() const
{
    return CAxis{m_arColWidths, m_nCols, m_nFixedCols, LeftCol()}.FixedExtent();
}

int CGridCtrl::RowTop(int nRow) const
{
    return CAxis{m_arRowHeights, m_nRows, m_nFixedRows, TopRow()}.Start(nRow);
}

int CGridCtrl::ColLeft(int nCol) const
{
    return CAxis{m_arColWidths, m_nCols, m_nFixedCols, LeftCol()}.Start(nCol);
}

int CGridCtrl::LastVisibleRow(bool bFully) const
{
    return CAxis{m_arRowHeights, m_nRows, m_nFixedRows, TopRow()}.LastVisible(viewport()->height(), bFully);
}

int CGridCtrl::LastVisibleCol(bool bFully) const
{
    return CAxis{m_arColWidths, m_nCols, m_nFixedCols, LeftCol()}.LastVisible(viewport()->width(), bFully);
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
    id.row = CAxis{m_arRowHeights, m_nRows, m_nFixedRows, TopRow()}.IndexAt(pt.y());
    id.col = CAxis{m_arColWidths, m_nCols, m_nFixedCols, LeftCol()}.IndexAt(pt.x());
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
