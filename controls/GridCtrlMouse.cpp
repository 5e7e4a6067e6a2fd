// The grid's mouse: selecting, resizing rows and columns, starting edits,
// scrolling while a selection is dragged, and the wheel.

#include "controls/GridCtrl.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace quorrel::controls {

// ---------------------------------------------------------------- mouse

void CGridCtrl::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(e);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const QPoint pt = e->position().toPoint();
    m_LastMousePoint = pt;

    if (m_bAllowColumnResize && pt.y() < FixedRowHeight()) {
        const int col = ColumnDividerAt(pt);
        if (col >= 0) {
            m_mouseMode = MouseMode::SizingColumn;
            m_nResizeIndex = col;
            m_nResizeLine = std::max(pt.x(), ColLeft(col));
            viewport()->update();
            return;
        }
    }
    if (m_bAllowRowResize && pt.x() < FixedColumnWidth()) {
        const int row = RowDividerAt(pt);
        if (row >= 0) {
            m_mouseMode = MouseMode::SizingRow;
            m_nResizeIndex = row;
            m_nResizeLine = std::max(pt.y(), RowTop(row));
            viewport()->update();
            return;
        }
    }

    const CCellID cell = GetCellFromPt(pt);
    if (!cell.IsValid())
        return;
    m_LeftClickDownCell = cell;
    const Qt::KeyboardModifiers mods = e->modifiers();
    if (cell == m_idCurrentCell && !IsFixed(cell.row, cell.col)
        && !(mods & (Qt::ShiftModifier | Qt::ControlModifier))) {
        // A click on the focus cell edits it once the button is released.
        m_mouseMode = MouseMode::PrepareEdit;
        return;
    }
    if (mods & Qt::ControlModifier)
        m_prevSelected = m_selected;
    else
        m_prevSelected.clear();

    if (cell.row < m_nFixedRows && cell.col < m_nFixedCols) {
        OnEditSelectAll();
        return;
    }
    if (m_nRows <= m_nFixedRows || m_nCols <= m_nFixedCols)
        return;
    if (cell.row < m_nFixedRows) {
        m_mouseMode = MouseMode::SelectingCols;
        // The first scrolling row, wherever the rows are scrolled to.
        const CCellID focus{m_nFixedRows, cell.col};
        SetFocusCell(focus.row, focus.col);
        m_SelectionStartCell = focus;
        SelectRect(focus, focus);
    } else if (cell.col < m_nFixedCols) {
        m_mouseMode = MouseMode::SelectingRows;
        const CCellID focus{cell.row, m_nFixedCols};
        SetFocusCell(focus.row, focus.col);
        m_SelectionStartCell = focus;
        SelectRect(focus, focus);
    } else {
        m_mouseMode = MouseMode::SelectingCells;
        if (!((mods & Qt::ShiftModifier) && m_SelectionStartCell.IsValid()))
            m_SelectionStartCell = cell;
        SetFocusCell(cell.row, cell.col);
        SelectRect(m_SelectionStartCell, cell);
    }
    m_autoScroll.start(kAutoScrollInterval, this);
}

void CGridCtrl::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pt = e->position().toPoint();
    m_LastMousePoint = pt;
    if (!(e->buttons() & Qt::LeftButton) || m_mouseMode == MouseMode::None) {
        if (m_bAllowColumnResize && pt.y() < FixedRowHeight() && ColumnDividerAt(pt) >= 0)
            viewport()->setCursor(Qt::SizeHorCursor);
        else if (m_bAllowRowResize && pt.x() < FixedColumnWidth() && RowDividerAt(pt) >= 0)
            viewport()->setCursor(Qt::SizeVerCursor);
        else
            viewport()->unsetCursor();
        return;
    }
    switch (m_mouseMode) {
    case MouseMode::SizingColumn:
        m_nResizeLine = std::clamp(pt.x(), ColLeft(m_nResizeIndex), std::max(viewport()->width() - 1, 0));
        viewport()->update();
        return;
    case MouseMode::SizingRow:
        m_nResizeLine = std::clamp(pt.y(), RowTop(m_nResizeIndex), std::max(viewport()->height() - 1, 0));
        viewport()->update();
        return;
    case MouseMode::PrepareEdit:
        if (GetCellFromPt(pt) == m_LeftClickDownCell)
            return;
        m_mouseMode = MouseMode::SelectingCells;
        m_prevSelected.clear();
        m_SelectionStartCell = m_LeftClickDownCell;
        m_autoScroll.start(kAutoScrollInterval, this);
        [[fallthrough]];
    default: {
        CCellID cell = GetCellFromPt(pt);
        if (!cell.IsValid())
            return;
        cell = ClampToScrolling(cell);
        if (!cell.IsValid())
            return;
        if (m_mouseMode == MouseMode::SelectingCols)
            cell.row = m_idCurrentCell.IsValid() ? m_idCurrentCell.row : cell.row;
        if (m_mouseMode == MouseMode::SelectingRows)
            cell.col = m_idCurrentCell.IsValid() ? m_idCurrentCell.col : cell.col;
        SetFocusCell(cell.row, cell.col);
        SelectRect(m_SelectionStartCell, cell);
        return;
    }
    }
}

void CGridCtrl::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(e);
        return;
    }
    m_autoScroll.stop();
    const QPoint pt = e->position().toPoint();
    const MouseMode mode = m_mouseMode;
    m_mouseMode = MouseMode::None;
    switch (mode) {
    case MouseMode::SizingColumn:
        SetColumnWidth(m_nResizeIndex, std::max(m_nResizeLine - ColLeft(m_nResizeIndex), 0));
        break;
    case MouseMode::SizingRow:
        SetRowHeight(m_nResizeIndex, std::max(m_nResizeLine - RowTop(m_nResizeIndex), 0));
        break;
    case MouseMode::PrepareEdit:
        if (GetCellFromPt(pt) == m_LeftClickDownCell)
            EditCell(m_LeftClickDownCell.row, m_LeftClickDownCell.col, 0);
        break;
    default:
        break;
    }
    m_nResizeIndex = -1;
    m_nResizeLine = -1;
    viewport()->update();
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseDoubleClickEvent(e);
        return;
    }
    m_autoScroll.stop();
    m_mouseMode = MouseMode::None;
    const CCellID cell = GetCellFromPt(e->position().toPoint());
    if (!cell.IsValid() || IsFixed(cell.row, cell.col))
        return;
    SetFocusCell(cell.row, cell.col);
    EditCell(cell.row, cell.col, 0);
}

void CGridCtrl::timerEvent(QTimerEvent* e)
{
    if (e->timerId() != m_autoScroll.timerId()) {
        QAbstractScrollArea::timerEvent(e);
        return;
    }
    AutoScrollStep();
}

// While a selection is dragged, a pointer beyond an edge of the scrolling
// area scrolls one line toward it each tick and extends the selection to the
// cell at that edge.
void CGridCtrl::AutoScrollStep()
{
    if (m_mouseMode != MouseMode::SelectingCells && m_mouseMode != MouseMode::SelectingRows
        && m_mouseMode != MouseMode::SelectingCols)
        return;
    const QPoint pt = m_LastMousePoint;
    QScrollBar* v = verticalScrollBar();
    QScrollBar* h = horizontalScrollBar();
    CCellID edge = m_idCurrentCell;
    if (!edge.IsValid())
        return;
    bool moved = false;
    if (m_mouseMode != MouseMode::SelectingCols) {
        if (pt.y() >= viewport()->height()) {
            if (v->value() < v->maximum())
                v->setValue(v->value() + 1);
            edge.row = std::max(LastVisibleRow(true), TopRow());
            moved = true;
        } else if (pt.y() < FixedRowHeight()) {
            if (v->value() > v->minimum())
                v->setValue(v->value() - 1);
            edge.row = TopRow();
            moved = true;
        }
    }
    if (m_mouseMode != MouseMode::SelectingRows) {
        if (pt.x() >= viewport()->width()) {
            if (h->value() < h->maximum())
                h->setValue(h->value() + 1);
            edge.col = std::max(LastVisibleCol(true), LeftCol());
            moved = true;
        } else if (pt.x() < FixedColumnWidth()) {
            if (h->value() > h->minimum())
                h->setValue(h->value() - 1);
            edge.col = LeftCol();
            moved = true;
        }
    }
    if (!moved)
        return;
    edge = ClampToScrolling(edge);
    if (!edge.IsValid())
        return;
    SetFocusCell(edge.row, edge.col);
    SelectRect(m_SelectionStartCell, edge);
}

void CGridCtrl::wheelEvent(QWheelEvent* e)
{
    const int delta = e->angleDelta().y();
    QScrollBar* v = verticalScrollBar();
    if (m_nRowsPerWheelNotch == -1) {
        const int pages = delta / 120;
        v->setValue(v->value() - pages * v->pageStep());
    } else {
        const int lines = delta * m_nRowsPerWheelNotch / 120;
        v->setValue(v->value() - lines);
    }
    e->accept();
}

} // namespace quorrel::controls
