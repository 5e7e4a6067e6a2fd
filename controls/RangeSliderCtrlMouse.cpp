// The range slider's mouse and focus handling: adding, dragging and dropping
// markers, the hover tip, and what invalidates the layout.

#include "controls/RangeSliderCtrl.h"

#include <QCursor>
#include <QFocusEvent>
#include <QMouseEvent>

#include <algorithm>

namespace quorrel::controls {

namespace {

QPoint EventPoint(const QMouseEvent* e)
{
    return e->position().toPoint();
}

} // namespace

void CRangeSliderCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    EnsureLayout();
    const QPoint p = CanonicalToWidget().inverted().map(EventPoint(event));
    m_tip.Hide();
    ClearHover();
    m_tipTimer.stop();
    emit scrolled();
    if (!m_rcActive.Contains(p))
        return;

    m_pDragMarker = HitTest(p);
    if (m_pDragMarker || int(m_markers.size()) >= m_nMaxMarkers) {
        if ((event->modifiers() & Qt::ControlModifier) && m_markers.size() == 2)
            m_bMoveBoth = true;
        if (m_pDragMarker)
            m_fDragStart = m_pDragMarker->m_fValue;
    } else {
        m_pNewMarker = std::make_unique<CSliderMarker>();
        m_pNewMarker->m_fValue = ValueAt(p);
        m_fDragStart = m_pNewMarker->m_fValue;
        SetMarkerRects(*m_pNewMarker);
    }
    if (Has(RSS_VALUETIP) && m_pDragMarker)
        ShowTip(m_pDragMarker->m_fValue, event->globalPosition().toPoint());
}

void CRangeSliderCtrl::mouseMoveEvent(QMouseEvent* event)
{
    EnsureLayout();
    const QTransform toWidget = CanonicalToWidget();
    const QPoint p = toWidget.inverted().map(EventPoint(event));
    const QPoint global = event->globalPosition().toPoint();

    if (!m_pDragMarker) {
        // Hovering: a pointer resting on a marker shows its value after a delay.
        if (!m_rcHover.IsEmpty() && m_rcHover.Contains(p))
            return;
        m_rcHover = {};
        CSliderMarker* hit = HitTest(p);
        Box zone;
        if (hit) {
            zone = hit->m_rcBody;
            zone.bottom = m_rcClient.bottom;
        }
        if (hit && zone.Contains(p)) {
            m_tipTimer.start(m_nTipDelay, this);
            m_rcHover = zone;
            m_pHoverMarker = hit;
        } else {
            m_tip.Hide();
            m_tipTimer.stop();
            m_rcHover = {};
            m_pHoverMarker = nullptr;
        }
        return;
    }

    if (Has(RSS_DRAGOUTREMOVES) && !m_rcActive.Contains(p))
        return;
    float v = ValueAt(p);
    const int index = IndexOf(m_pDragMarker);
    if (Has(RSS_NOCROSSING) && m_markers.size() > 1) {
        if (index > 0 && m_markers[size_t(index) - 1]->m_fValue >= v) {
            v = m_markers[size_t(index) - 1]->m_fValue;
            m_nBlocked = 1;
        } else if (index + 1 < int(m_markers.size()) && m_markers[size_t(index) + 1]->m_fValue <= v) {
            v = m_markers[size_t(index) + 1]->m_fValue;
            m_nBlocked = 2;
        } else {
            m_nBlocked = 0;
        }
    }
    const float d = v - m_pDragMarker->m_fValue;

    bool allowed = true;
    if (m_bMoveBoth) {
        for (const auto& m : m_markers)
            if (!InRange(m->m_fValue + d))
                allowed = false;
    } else {
        allowed = InRange(v);
    }
    if (!allowed)
        return;

    std::vector<CSliderMarker*> moved{m_pDragMarker};
    if (m_bMoveBoth)
        for (const auto& m : m_markers)
            if (m.get() != m_pDragMarker)
                moved.push_back(m.get());
    for (CSliderMarker* m : moved) {
        const Box oldBody = m->m_rcBody;
        m->m_fValue += d;
        SetMarkerRects(*m);
        if (!(m->m_rcBody == oldBody)) {
            RepaintStrip(oldBody, m->m_rcBody);
            if (Has(RSS_VALUETIP) && !m_bMoveBoth)
                ShowTip(m_pDragMarker->m_fValue, global);
        }
    }
    emit scrolled();
}

void CRangeSliderCtrl::RepaintStrip(const Box& oldBody, const Box& newBody)
{
    Box strip = oldBody.United(newBody).Adjusted(-kMarkerHalf, -1, kMarkerHalf, 0);
    strip.top = m_rcClient.top;
    strip.bottom = m_rcClient.bottom;
    const QRect r = CanonicalToWidget().mapRect(strip.ToQRect());
    repaint(r);
}

void CRangeSliderCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    EnsureLayout();
    const QPoint p = CanonicalToWidget().inverted().map(EventPoint(event));
    const QPoint global = event->globalPosition().toPoint();

    setFocus(Qt::MouseFocusReason);
    m_tip.Hide();
    unsetCursor();
    const bool movedBoth = m_bMoveBoth;
    m_bMoveBoth = false;

    float v = ValueAt(p);
    if (m_pDragMarker && Has(RSS_NOCROSSING) && m_nBlocked != 0) {
        const int index = IndexOf(m_pDragMarker);
        const int neighbour = m_nBlocked == 1 ? index - 1 : index + 1;
        if (neighbour >= 0 && neighbour < int(m_markers.size()))
            v = m_markers[size_t(neighbour)]->m_fValue;
    }
    m_nBlocked = 0;

    if (m_pNewMarker) {
        std::unique_ptr<CSliderMarker> pending = std::move(m_pNewMarker);
        if (m_rcChannel.Contains(p) && InRange(v)) {
            AddMarker(std::move(pending));
            repaint();
        }
        emit scrolled();
        return;
    }

    if (m_pDragMarker) {
        bool drop = true;
        if (movedBoth) {
            // Both markers already stand where the last allowed step put
            // them; dropping the grabbed one at the pointer would move it
            // alone and break the common shift.
            v = m_pDragMarker->m_fValue;
        } else if (Has(RSS_DRAGOUTREMOVES)) {
            if (!m_rcClient.Contains(p)) {
                RemoveMarker(m_pDragMarker, nullptr);
                m_pDragMarker = nullptr;
                repaint();
                drop = false;
            }
        } else {
            v = std::clamp(v, m_fMin, m_fMax);
            if (m_markers.size() > 1 && IndexOf(m_pDragMarker) != 0 && v == m_fMin)
                v = m_fDragStart;
        }

        if (drop) {
            if (!InRange(v)) {
                // Dropped beyond the range: the marker keeps the value of the
                // last drag step but the list must stay sorted.
                v = m_pDragMarker->m_fValue;
            }
            if (InRange(v)) {
                auto dropped = std::make_unique<CSliderMarker>();
                dropped->m_fValue = v;
                SetMarkerRects(*dropped);
                int oldIndex = -1;
                RemoveMarker(m_pDragMarker, &oldIndex);
                m_pDragMarker = nullptr;
                const int newIndex = AddMarker(std::move(dropped));
                if (Has(RSS_ALTERNATECOLORS) && oldIndex != newIndex)
                    m_bAlternate = !m_bAlternate;
                repaint();
                if (Has(RSS_VALUETIP))
                    ShowTip(v, global);
                emit markerMoved();
            }
        }
    }
    m_pDragMarker = nullptr;
    emit scrolled();
}

void CRangeSliderCtrl::leaveEvent(QEvent* event)
{
    // The pointer left the control: it no longer rests on any marker.
    if (!m_pDragMarker) {
        m_tipTimer.stop();
        m_tip.Hide();
        ClearHover();
    }
    QWidget::leaveEvent(event);
}

void CRangeSliderCtrl::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_tipTimer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    m_tipTimer.stop();
    if (m_pHoverMarker && Has(RSS_VALUETIP) && !m_bMoveBoth) {
        ShowTip(m_pHoverMarker->m_fValue, QCursor::pos());
    } else {
        m_tip.Hide();
        ClearHover();
    }
}

void CRangeSliderCtrl::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    m_bFocused = true;
    update();
}

void CRangeSliderCtrl::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    m_bFocused = false;
    update();
}

void CRangeSliderCtrl::resizeEvent(QResizeEvent* event)
{
    InvalidateLayout();
    QWidget::resizeEvent(event);
}

void CRangeSliderCtrl::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::StyleChange)
        InvalidateLayout();
    QWidget::changeEvent(event);
}

} // namespace quorrel::controls
