// Painting the range slider: channel, ticks and labels, coloured segments
// and the marker thumbs.

#include "controls/RangeSliderCtrl.h"

#include "controls/ColorRef.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <qdrawutil.h>

#include <algorithm>

namespace quorrel::controls {

void CRangeSliderCtrl::paintEvent(QPaintEvent*)
{
    EnsureLayout();
    const QPalette& pal = palette();
    const bool enabled = isEnabled();

    // Segment colours.
    std::vector<uint32_t> segColors(size_t(std::max(m_nMaxMarkers, 0)) + 1);
    for (size_t i = 0; i < segColors.size(); ++i) {
        if (!enabled)
            segColors[i] = ToColorRef(pal.color(QPalette::Button));
        else if (Has(RSS_ALTERNATECOLORS) && m_bAlternate)
            segColors[i] = m_colors.size() > 1 ? m_colors[i % 2 == 0 ? 1 : 0] : m_colors.front();
        else
            segColors[i] = i < m_colors.size() ? m_colors[i] : m_colors.back();
    }

    QPainter p(this);
    p.fillRect(rect(), pal.color(QPalette::Button));
    const QTransform toWidget = CanonicalToWidget();
    p.setTransform(toWidget);

    p.fillRect(m_rcChannel.ToQRect(), pal.color(QPalette::Base));
    qDrawWinPanel(&p, m_rcChannel.ToQRect(), pal, true);

    p.setFont(m_font);
    p.setPen(QPen(pal.color(QPalette::Shadow), 1));

    // Ticks, with the range ends labelled.
    const int n = GetTickCount();
    float origin = 0.0f;
    float length = 0.0f;
    Axis(origin, length);
    for (int i = 0; i < n; ++i) {
        const int x = int(RoundTo(origin + float(i) * length / float(n - 1), 0));
        DrawTick(p, x);
        if (Has(RSS_LABELS) && (i == 0 || i == n - 1))
            DrawLabel(p, x, FormatLabel(m_fMin + float(i) * (m_fRange / float(n - 1))));
    }
    if (Has(RSS_LABELS)) {
        for (const auto& m : m_markers) {
            if (m.get() == m_pDragMarker && !m_bMoveBoth)
                continue;
            const int x = PositionOf(m->m_fValue);
            DrawTick(p, x);
            DrawLabel(p, x, FormatLabel(m->m_fValue));
        }
    }

    if (Has(RSS_COLORSEGMENTS))
        DrawSegments(p, segColors);

    for (const auto& m : m_markers)
        DrawMarker(p, *m);
    if (m_pNewMarker)
        DrawMarker(p, *m_pNewMarker);

    p.resetTransform();
    if (Has(RSS_FOCUSRECT) && m_bFocused) {
        QStyleOptionFocusRect fr;
        fr.initFrom(this);
        fr.rect = rect();
        fr.backgroundColor = pal.color(QPalette::Button);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &fr, &p, this);
    }
}

void CRangeSliderCtrl::DrawTick(QPainter& p, int pos) const
{
    const int len = int(RoundTo(float(m_rcChannel.Height()) / 2.0f, 0));
    p.drawLine(pos, m_rcChannel.bottom, pos, m_rcChannel.bottom + len);
    if (m_bBothSides)
        p.drawLine(pos, m_rcChannel.top - 1, pos, m_rcChannel.top - 1 - len);
}

void CRangeSliderCtrl::DrawLabel(QPainter& p, int pos, const QString& text) const
{
    // Labels are drawn upright whatever the frame: map the anchor (centred
    // on the tick, bottom on the client bottom) and draw untransformed.
    const QTransform t = p.transform();
    const QPoint anchor = t.map(QPoint(pos, m_rcClient.bottom));
    const QFontMetrics fm(m_font);
    const int tw = fm.horizontalAdvance(text);
    const int th = fm.height();
    QRect box;
    if (IsVertical())
        box = QRect(anchor.x() - tw - 1, anchor.y() - th / 2, tw, th);
    else if (TicksOnTop())
        box = QRect(anchor.x() - tw / 2, anchor.y(), tw, th);
    else
        box = QRect(anchor.x() - tw / 2, anchor.y() - th, tw, th);
    // Keep the end labels inside the control.
    const QRect client = rect();
    if (box.right() > client.right())
        box.moveRight(client.right());
    if (box.left() < client.left())
        box.moveLeft(client.left());
    if (box.bottom() > client.bottom())
        box.moveBottom(client.bottom());
    if (box.top() < client.top())
        box.moveTop(client.top());
    p.save();
    p.resetTransform();
    p.setPen(isEnabled() ? palette().color(QPalette::ButtonText)
                         : palette().color(QPalette::Disabled, QPalette::Text));
    p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, text);
    p.restore();
}

void CRangeSliderCtrl::DrawSegments(QPainter& p, const std::vector<uint32_t>& segColors)
{
    const Box band = m_rcChannel.Adjusted(2, 2, -2, -2);
    if (band.IsEmpty())
        return;
    float origin = 0.0f;
    float length = 0.0f;
    Axis(origin, length);
    auto fill = [&](int from, int to, uint32_t color) {
        const int l = std::min(from, to);
        const int r = std::max(from, to);
        p.fillRect(QRect(l, band.top, r - l, band.Height()), FromColorRef(color));
    };
    int left = int(RoundTo(origin, 0));
    size_t k = 0;
    for (const auto& m : m_markers) {
        const int x = PositionOf(m->m_fValue);
        fill(left, x, segColors[std::min(k, segColors.size() - 1)]);
        left = x;
        ++k;
    }
    fill(left, int(RoundTo(origin + length, 0)), segColors[std::min(k, segColors.size() - 1)]);
}

void CRangeSliderCtrl::DrawMarker(QPainter& p, const CSliderMarker& marker) const
{
    const QPalette& pal = palette();
    const QColor face = pal.color(QPalette::Button);
    const QColor light = pal.color(QPalette::Light);
    const QColor mid = pal.color(QPalette::Mid);
    const QColor dark = pal.color(QPalette::Shadow);
    const Box& b = marker.m_rcBody;
    p.save();
    if (m_bBothSides) {
        p.fillRect(b.ToQRect(), face);
        qDrawWinButton(&p, b.ToQRect(), pal, false);
        p.restore();
        return;
    }
    // A down-pointing thumb: a box whose lower edge runs into a point.
    const int xl = b.left;
    const int xr = b.right - 1;
    const int xm = marker.m_rcLeft.right;
    const int yt = b.top;
    const int yb = b.bottom;
    const int ytip = marker.m_rcLeft.bottom - 1;
    QPolygon shape;
    shape << QPoint(xl, yt) << QPoint(xr, yt) << QPoint(xr, yb) << QPoint(xm, ytip) << QPoint(xl, yb);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawPolygon(shape);
    // Raised edges: light on the left and top, dark on the right; the left
    // half of the pointer is lit, the right half in shadow.
    p.setPen(light);
    p.drawLine(xl, yt, xr - 1, yt);
    p.drawLine(xl, yt, xl, yb);
    p.drawLine(xl, yb, xm, ytip);
    p.setPen(dark);
    p.drawLine(xr, yt, xr, yb);
    p.drawLine(xr, yb, xm, ytip);
    p.setPen(mid);
    p.drawLine(xr - 1, yt + 1, xr - 1, yb);
    p.drawLine(xr - 1, yb, xm, ytip - 1);
    p.restore();
}

} // namespace quorrel::controls
