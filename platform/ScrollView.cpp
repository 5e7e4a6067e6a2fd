#include "ScrollView.h"

#include "Document.h"

#include <QPainter>
#include <QScrollBar>

namespace quorrel::platform {

CScrollView::CScrollView()
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The view covers its whole client area itself.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
}

CScrollView::~CScrollView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

void CScrollView::OnInitialUpdate() { OnUpdate(nullptr); }

void CScrollView::OnUpdate(CScrollView*) { Invalidate(); }

void CScrollView::SetScrollSizes(QSize total, QSize page, QSize line)
{
    m_total = total;
    m_page = page;
    m_line = line;
    UpdateBars();
}

QPoint CScrollView::GetScrollPosition() const
{
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

QSize CScrollView::GetClientSize() const { return viewport()->size(); }

void CScrollView::Invalidate() { viewport()->update(); }

void CScrollView::UpdateBars()
{
    // A bar with an empty range is hidden; showing one shrinks the client
    // area, and the resize that follows brings the other bar in line. A
    // bar's page is what the client area shows of the total, so its thumb
    // tells the visible share.
    const QSize client = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, m_total.width() - client.width()));
    verticalScrollBar()->setRange(0, std::max(0, m_total.height() - client.height()));
    horizontalScrollBar()->setPageStep(std::max(1, client.width()));
    verticalScrollBar()->setPageStep(std::max(1, client.height()));
    horizontalScrollBar()->setSingleStep(std::max(1, m_line.width()));
    verticalScrollBar()->setSingleStep(std::max(1, m_line.height()));
}

void CScrollView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    OnDraw(painter, false);
}

void CScrollView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateBars();
}

void CScrollView::scrollContentsBy(int, int) { viewport()->update(); }

} // namespace quorrel::platform
