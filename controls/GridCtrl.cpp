#include "controls/GridCtrl.h"

#include "controls/GridInPlaceEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <qdrawutil.h>

#include <algorithm>

namespace quorrel::controls {

namespace {

bool IsNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        return false;
    }
}

Qt::Alignment AlignmentOf(uint32_t format)
{
    Qt::Alignment a;
    if (format & DT_CENTER)
        a |= Qt::AlignHCenter;
    else if (format & DT_RIGHT)
        a |= Qt::AlignRight;
    else
        a |= Qt::AlignLeft;
    if (format & DT_VCENTER)
        a |= Qt::AlignVCenter;
    else if (format & DT_BOTTOM)
        a |= Qt::AlignBottom;
    else
        a |= Qt::AlignTop;
    return a;
}

} // namespace

CGridCtrl::CGridCtrl(QWidget* parent)
    : QAbstractScrollArea(parent)
{
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
            const int w = extent.width() + 2 * cell->m_nMargin;
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

// ---------------------------------------------------------------- keyboard

bool CGridCtrl::event(QEvent* e)
{
    // Tab moves between cells instead of to the next control while Tab
    // navigation is on and Ctrl is not held.
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if ((k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) && m_bHandleTabKey
            && !(k->modifiers() & Qt::ControlModifier)) {
            keyPressEvent(k);
            return true;
        }
    }
    if (e->type() == QEvent::ShortcutOverride) {
        // The grid's own clipboard keys win over application shortcuts.
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->modifiers() == Qt::ControlModifier
            && (k->key() == Qt::Key_C || k->key() == Qt::Key_X || k->key() == Qt::Key_V || k->key() == Qt::Key_A)) {
            e->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

void CGridCtrl::keyPressEvent(QKeyEvent* e)
{
    const int key = e->key();
    const Qt::KeyboardModifiers mods = e->modifiers();
    const bool ctrl = mods & Qt::ControlModifier;

    if (ctrl) {
        switch (key) {
        case Qt::Key_C:
            OnEditCopy();
            return;
        case Qt::Key_X:
            OnEditCut();
            return;
        case Qt::Key_V:
            OnEditPaste();
            return;
        case Qt::Key_A:
            OnEditSelectAll();
            return;
        default:
            break;
        }
    }
    if (IsNavigationKey(key)) {
        MoveFocusByKey(key, mods, false);
        e->accept();
        return;
    }
    if (key == Qt::Key_Delete) {
        const CCellID f = m_idCurrentCell;
        if (f.IsValid() && IsCellEditable(f.row, f.col))
            ClearCell(f.row, f.col);
        e->accept();
        return;
    }
    if (ctrl) {
        QAbstractScrollArea::keyPressEvent(e);
        return;
    }
    int ch = 0;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        ch = '\r';
    else if (key == Qt::Key_Backspace)
        ch = '\b';
    else if (!e->text().isEmpty() && e->text().at(0).isPrint())
        ch = int(e->text().at(0).unicode());
    if (ch == 0 || !m_idCurrentCell.IsValid()) {
        QAbstractScrollArea::keyPressEvent(e);
        return;
    }
    EditCell(m_idCurrentCell.row, m_idCurrentCell.col, ch);
    e->accept();
}

void CGridCtrl::MoveFocusByKey(int key, Qt::KeyboardModifiers mods, bool bFromEdit)
{
    if (m_nRows <= m_nFixedRows || m_nCols <= m_nFixedCols)
        return;
    CCellID next = m_idCurrentCell;
    if (!next.IsValid())
        next = {m_nFixedRows, m_nFixedCols};
    QScrollBar* v = verticalScrollBar();
    switch (key) {
    case Qt::Key_Down:
        if (next.row < m_nRows - 1)
            ++next.row;
        break;
    case Qt::Key_Up:
        if (next.row > m_nFixedRows)
            --next.row;
        break;
    case Qt::Key_Right:
        if (next.col < m_nCols - 1)
            ++next.col;
        break;
    case Qt::Key_Left:
        if (next.col > m_nFixedCols)
            --next.col;
        break;
    case Qt::Key_Tab:
        if (mods & Qt::ShiftModifier) {
            if (next.col > m_nFixedCols) {
                --next.col;
            } else if (next.row > m_nFixedRows) {
                --next.row;
                next.col = m_nCols - 1;
            }
        } else if (next.col < m_nCols - 1) {
            ++next.col;
        } else if (next.row < m_nRows - 1) {
            ++next.row;
            next.col = m_nFixedCols;
        }
        break;
    case Qt::Key_Backtab:
        if (next.col > m_nFixedCols) {
            --next.col;
        } else if (next.row > m_nFixedRows) {
            --next.row;
            next.col = m_nCols - 1;
        }
        break;
    case Qt::Key_PageDown:
    case Qt::Key_PageUp: {
        const int before = v->value();
        const int page = std::max(1, LastVisibleRow(true) - TopRow() + 1);
        v->setValue(before + (key == Qt::Key_PageDown ? page : -page));
        next.row = std::clamp(next.row + (v->value() - before), m_nFixedRows, m_nRows - 1);
        break;
    }
    case Qt::Key_Home:
        v->setValue(v->minimum());
        next.row = m_nFixedRows;
        break;
    case Qt::Key_End:
        v->setValue(v->maximum());
        next.row = m_nRows - 1;
        break;
    default:
        return;
    }

    const bool isTab = key == Qt::Key_Tab || key == Qt::Key_Backtab;
    SetFocusCell(next.row, next.col);
    m_prevSelected.clear();
    if ((mods & Qt::ShiftModifier) && !isTab && !bFromEdit && m_SelectionStartCell.IsValid()) {
        SelectRect(m_SelectionStartCell, next);
    } else {
        m_SelectionStartCell = next;
        SelectRect(next, next);
    }
    EnsureVisible(next.row, next.col);
}

void CGridCtrl::ClearCell(int nRow, int nCol)
{
    emit beginEdit(nRow, nCol);
    SetItemText(nRow, nCol, QString());
    SetModified(true, nRow, nCol);
    emit endEdit(nRow, nCol);
}

// ---------------------------------------------------------------- editing

void CGridCtrl::EditCell(int nRow, int nCol, int nFirstChar)
{
    if (!IsCellEditable(nRow, nCol))
        return;
    if (m_pEdit)
        m_pEdit->EndEdit(0);
    EnsureVisible(nRow, nCol);
    QRect rect;
    if (!GetCellRect(nRow, nCol, rect))
        return;
    emit beginEdit(nRow, nCol);
    const CGridCell* cell = Cell(nRow, nCol);
    if (nFirstChar == Qt::Key_Tab || nFirstChar == Qt::Key_Backtab)
        nFirstChar = '\t';
    // Clip the box to the visible area.
    rect = rect.intersected(viewport()->rect());
    auto* edit = new CGridInPlaceEdit(viewport(), rect, m_font, cell->m_nFormat, nRow, nCol, cell->m_strText, nFirstChar,
                                      [this](int r, int c, const QString& text, int lastKey) {
                                          OnEndInPlaceEdit(r, c, text, lastKey);
                                      });
    m_pEdit = edit;
}

void CGridCtrl::OnEndInPlaceEdit(int nRow, int nCol, const QString& text, int nLastKey)
{
    m_pEdit = nullptr;
    if (nLastKey != 0)
        setFocus(Qt::OtherFocusReason);
    if (CGridCell* cell = Cell(nRow, nCol)) {
        if (text != cell->m_strText) {
            SetItemText(nRow, nCol, text);
            SetModified(true, nRow, nCol);
        }
        SetFocusCell(nRow, nCol);
    }
    emit endEdit(nRow, nCol);
    if (nLastKey != 0 && IsNavigationKey(nLastKey) && nLastKey != Qt::Key_Home && nLastKey != Qt::Key_End) {
        MoveFocusByKey(nLastKey, Qt::NoModifier, true);
        if (m_idCurrentCell.IsValid())
            EditCell(m_idCurrentCell.row, m_idCurrentCell.col, nLastKey);
    }
    viewport()->update();
}

// ---------------------------------------------------------------- clipboard

QString CGridCtrl::CopyTextFromSelection() const
{
    return BuildClipboardText(
        GetSelectedCellRange(), [this](int r, int c) { return IsCellSelected(r, c); },
        [this](int r, int c) { return GetItemText(r, c); });
}

void CGridCtrl::OnEditCopy()
{
    if (m_selected.isEmpty())
        return;
    QGuiApplication::clipboard()->setText(CopyTextFromSelection());
}

void CGridCtrl::OnEditCut()
{
    if (m_selected.isEmpty())
        return;
    OnEditCopy();
    const GridCellRange range = GetSelectedCellRange();
    for (int r = range.minRow; r <= range.maxRow; ++r)
        for (int c = range.minCol; c <= range.maxCol; ++c)
            if (IsCellSelected(r, c) && IsCellEditable(r, c))
                ClearCell(r, c);
    viewport()->update();
}

void CGridCtrl::OnEditPaste()
{
    PasteTextToGrid(QGuiApplication::clipboard()->text());
}

void CGridCtrl::PasteTextToGrid(const QString& text)
{
    const CCellID start = m_idCurrentCell;
    if (!start.IsValid() || text.isEmpty())
        return;
    const QVector<QStringList> lines = ParseClipboardText(text);
    for (int line = 0; line < lines.size(); ++line) {
        for (int piece = 0; piece < lines[line].size(); ++piece) {
            const int row = start.row + line;
            const int col = start.col + piece;
            if (!IsCellEditable(row, col))
                continue;
            emit beginEdit(row, col);
            SetItemText(row, col, lines[line][piece]);
            SetModified(true, row, col);
            if (CGridCell* cell = Cell(row, col))
                cell->m_nState &= ~GCS_SELECTED;
            m_selected.remove(Key(row, col));
            emit endEdit(row, col);
        }
    }
    viewport()->update();
}

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
        const CCellID focus{std::min(TopRow(), m_nRows - 1), cell.col};
        SetFocusCell(focus.row, focus.col);
        m_SelectionStartCell = focus;
        SelectRect(focus, focus);
    } else if (cell.col < m_nFixedCols) {
        m_mouseMode = MouseMode::SelectingRows;
        const CCellID focus{cell.row, std::min(LeftCol(), m_nCols - 1)};
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

// ---------------------------------------------------------------- painting

void CGridCtrl::DrawCell(QPainter& p, int nRow, int nCol, const QRect& rect) const
{
    const CGridCell* cell = Cell(nRow, nCol);
    if (!cell)
        return;
    const QPalette& pal = palette();
    const bool fixed = IsFixed(nRow, nCol);
    const bool focus = CCellID{nRow, nCol} == m_idCurrentCell;
    const bool selected = (cell->m_nState & GCS_SELECTED) && !focus;

    QColor bk;
    QColor fg;
    if (fixed) {
        bk = FromColorRef(cell->m_crBkClr != CLR_DEFAULT ? cell->m_crBkClr : m_crFixedBk);
        fg = FromColorRef(cell->m_crFgClr != CLR_DEFAULT ? cell->m_crFgClr : m_crFixedText);
    } else if (selected) {
        bk = pal.color(QPalette::Highlight);
        fg = pal.color(QPalette::HighlightedText);
    } else {
        bk = FromColorRef(cell->m_crBkClr != CLR_DEFAULT ? cell->m_crBkClr : m_crTextBk);
        fg = FromColorRef(cell->m_crFgClr != CLR_DEFAULT ? cell->m_crFgClr : m_crText);
    }
    p.fillRect(rect, bk);
    if (fixed) {
        // Raised header look.
        p.setPen(pal.color(QPalette::Light));
        p.drawLine(rect.topLeft(), rect.topRight());
        p.drawLine(rect.topLeft(), rect.bottomLeft());
        p.setPen(pal.color(QPalette::Dark));
        p.drawLine(rect.bottomLeft(), rect.bottomRight());
        p.drawLine(rect.topRight(), rect.bottomRight());
    }
    if (focus || (cell->m_nState & GCS_DROPHILITED)) {
        p.setPen(QPen(pal.color(QPalette::WindowText), 1));
        p.drawRect(rect.adjusted(0, 0, -2, -2));
    }

    QRect textRect = rect.adjusted(cell->m_nMargin, 0, -cell->m_nMargin, 0);
    if (cell->m_iImage >= 0 && cell->m_iImage < m_images.size()) {
        const QPixmap& pm = m_images[cell->m_iImage];
        p.drawPixmap(textRect.left(), rect.top() + (rect.height() - pm.height()) / 2, pm);
        textRect.setLeft(textRect.left() + pm.width() + cell->m_nMargin);
    }
    p.setFont(cell->m_font);
    p.setPen(fg);
    QString text = cell->m_strText;
    int flags = int(AlignmentOf(cell->m_nFormat));
    if (cell->m_nFormat & DT_SINGLELINE)
        flags |= Qt::TextSingleLine;
    else if (cell->m_nFormat & DT_WORDBREAK)
        flags |= Qt::TextWordWrap;
    if (cell->m_nFormat & DT_END_ELLIPSIS)
        text = QFontMetrics(cell->m_font).elidedText(text, Qt::ElideRight, std::max(textRect.width(), 0));
    p.drawText(textRect, flags, text);
}

void CGridCtrl::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), FromColorRef(m_crBk));
    if (m_nRows == 0 || m_nCols == 0)
        return;
    const int lastRow = LastVisibleRow(false);
    const int lastCol = LastVisibleCol(false);
    const int fixedW = FixedColumnWidth();
    const int fixedH = FixedRowHeight();

    std::vector<int> rows;
    for (int r = 0; r < m_nFixedRows; ++r)
        rows.push_back(r);
    for (int r = TopRow(); r <= lastRow; ++r)
        rows.push_back(r);
    std::vector<int> cols;
    for (int c = 0; c < m_nFixedCols; ++c)
        cols.push_back(c);
    for (int c = LeftCol(); c <= lastCol; ++c)
        cols.push_back(c);

    const QPen gridPen(FromColorRef(m_crGrid), 0);
    for (int r : rows) {
        for (int c : cols) {
            QRect rect(ColLeft(c), RowTop(r), int(m_arColWidths[size_t(c)]), int(m_arRowHeights[size_t(r)]));
            if (rect.isEmpty())
                continue;
            p.save();
            // Scrolling cells never paint over the fixed headers.
            QRect clip = viewport()->rect();
            if (r >= m_nFixedRows)
                clip.setTop(fixedH);
            if (c >= m_nFixedCols)
                clip.setLeft(fixedW);
            p.setClipRect(clip);
            DrawCell(p, r, c, rect);
            if (!IsFixed(r, c)) {
                p.setPen(gridPen);
                p.drawLine(rect.topRight(), rect.bottomRight());
                p.drawLine(rect.bottomLeft(), rect.bottomRight());
            }
            p.restore();
        }
    }

    if (m_nResizeLine >= 0 && (m_mouseMode == MouseMode::SizingColumn || m_mouseMode == MouseMode::SizingRow)) {
        // An inverted line two pixels wide marks the new divider.
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        if (m_mouseMode == MouseMode::SizingColumn)
            p.fillRect(QRect(m_nResizeLine, 0, 2, viewport()->height()), Qt::white);
        else
            p.fillRect(QRect(0, m_nResizeLine, viewport()->width(), 2), Qt::white);
    }
}

// ---------------------------------------------------------------- printing

struct CGridCtrl::PrintLayout {
    double scale = 1.0;
    QRect page;
    int footerHeight = 0;
    std::vector<std::pair<int, int>> pages; // first and last scrolling row of each page
};

CGridCtrl::PrintLayout CGridCtrl::LayoutPages(QPagedPaintDevice& device) const
{
    PrintLayout layout;
    // Screen pixels to device pixels, keeping the on-screen proportions.
    layout.scale = double(device.logicalDpiY()) / double(std::max(logicalDpiY(), 1));
    layout.page = QRect(0, 0, device.width(), device.height());
    QFont footerFont(QStringLiteral("Times New Roman"));
    footerFont.setPointSize(10);
    layout.footerHeight = int(QFontMetrics(footerFont, &device).height() * 2);

    const double available = double(layout.page.height() - layout.footerHeight) / layout.scale - FixedRowHeight();
    int first = m_nFixedRows;
    while (first < m_nRows) {
        double used = 0;
        int last = first;
        while (last < m_nRows && used + m_arRowHeights[size_t(last)] <= available) {
            used += m_arRowHeights[size_t(last)];
            ++last;
        }
        if (last == first)
            ++last; // a row taller than the page gets a page of its own
        layout.pages.emplace_back(first, last - 1);
        first = last;
    }
    if (layout.pages.empty())
        layout.pages.emplace_back(m_nFixedRows, m_nFixedRows - 1);
    return layout;
}

int CGridCtrl::PrintPageCount(QPagedPaintDevice& device) const
{
    return int(LayoutPages(device).pages.size());
}

void CGridCtrl::Print(QPagedPaintDevice& device)
{
    const PrintLayout layout = LayoutPages(device);
    QPainter p(&device);
    if (!p.isActive())
        return;
    QFont footerFont(QStringLiteral("Times New Roman"));
    footerFont.setPointSize(10);
    const int pageCount = int(layout.pages.size());
    for (int page = 0; page < pageCount; ++page) {
        if (page > 0)
            device.newPage();
        p.save();
        p.scale(layout.scale, layout.scale);
        std::vector<int> rows;
        for (int r = 0; r < m_nFixedRows; ++r)
            rows.push_back(r);
        for (int r = layout.pages[size_t(page)].first; r <= layout.pages[size_t(page)].second; ++r)
            rows.push_back(r);
        const QPen gridPen(FromColorRef(m_crGrid), 0);
        int y = 0;
        for (int r : rows) {
            int x = 0;
            for (int c = 0; c < m_nCols; ++c) {
                const QRect rect(x, y, int(m_arColWidths[size_t(c)]), int(m_arRowHeights[size_t(r)]));
                DrawCell(p, r, c, rect);
                p.setPen(gridPen);
                p.drawRect(rect.adjusted(0, 0, -1, -1));
                x += rect.width();
            }
            y += int(m_arRowHeights[size_t(r)]);
        }
        p.restore();
        p.setFont(footerFont);
        p.setPen(Qt::black);
        const QRect footer(layout.page.left(), layout.page.bottom() - layout.footerHeight, layout.page.width(),
                           layout.footerHeight);
        p.drawText(footer, Qt::AlignCenter, QString::asprintf("Page %d of %d", page + 1, pageCount));
    }
}

} // namespace quorrel::controls
