// Painting the grid's cells on the screen and printing them in pages.

#include "controls/GridCtrl.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace quorrel::controls {

namespace {

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
