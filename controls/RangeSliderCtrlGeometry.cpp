// The range slider's layout: the channel, thumb and marker rectangles in
// one frame of reference, and the mapping between values and positions.

#include "controls/RangeSliderCtrl.h"

#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>

namespace quorrel::controls {

namespace {

// A channel thinner than this would leave no room for the colour band.
constexpr int kMinChannelThickness = 9;

} // namespace

void CRangeSliderCtrl::InvalidateLayout()
{
    m_bLayoutValid = false;
}

void CRangeSliderCtrl::EnsureLayout()
{
    if (!m_bLayoutValid)
        RecalcLayout();
}

// The layout works in one frame of reference: a horizontal slider with its
// ticks below (u along the axis, v across). Ticks on top mirror v; a vertical
// slider transposes the picture. CanonicalToWidget() maps the frame onto the
// widget.
QTransform CRangeSliderCtrl::CanonicalToWidget() const
{
    QTransform t;
    if (TicksOnTop())
        t = QTransform(1, 0, 0, -1, 0, m_rcClient.Height());
    if (IsVertical())
        t = t * QTransform(0, 1, 1, 0, 0, 0);
    return t;
}

void CRangeSliderCtrl::RecalcLayout()
{
    const int w = IsVertical() ? height() : width();
    const int h = IsVertical() ? width() : height();
    m_rcClient = {0, 0, w, h};

    // Channel and thumb sizes come from the style's slider metrics.
    QStyleOptionSlider opt;
    opt.initFrom(this);
    opt.rect = QRect(0, 0, w, h);
    opt.orientation = Qt::Horizontal;
    opt.tickPosition = m_bBothSides ? QSlider::TicksBothSides : QSlider::TicksBelow;
    opt.minimum = 0;
    opt.maximum = 100;
    opt.tickInterval = std::max(m_nTicFreq, 0);
    const int handleLen = style()->pixelMetric(QStyle::PM_SliderLength, &opt, this);
    const int thickness = style()->pixelMetric(QStyle::PM_SliderThickness, &opt, this);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, this);
    const int channelThick = std::max(groove.height(), kMinChannelThickness);

    m_rcChannel.left = handleLen / 2 - 2;
    m_rcChannel.right = w - handleLen / 2 + 2;
    if (m_bBothSides) {
        // Centred channel with the thumb reaching over both sides.
        m_rcChannel.top = int(RoundTo(float(h) / 2.0f, 0)) - int(RoundTo(float(channelThick) / 2.0f, 0));
        m_rcChannel.bottom = m_rcChannel.top + channelThick;
        m_rcThumb = {0, m_rcChannel.top - 5, 0, m_rcChannel.bottom + 5};
    } else {
        // The thumb stands out above the channel and points below it.
        const int thumbTop = 2;
        m_rcChannel.top = thumbTop + 4;
        m_rcChannel.bottom = m_rcChannel.top + channelThick;
        m_rcThumb = {0, thumbTop, 0, std::max(thumbTop + thickness + 3, m_rcChannel.bottom + 7)};
    }
    m_rcThumb.left = m_rcChannel.left;
    m_rcThumb.right = m_rcChannel.left + handleLen;
    m_rcActive = m_rcChannel.Adjusted(2, 0, -2, 0);

    // Markers outside the range are dropped; the rest get their rectangles.
    for (size_t i = 0; i < m_markers.size();) {
        CSliderMarker* marker = m_markers[i].get();
        if (marker->m_fValue < m_fMin || marker->m_fValue > m_fMax) {
            ForgetPointers(marker);
            m_markers.erase(m_markers.begin() + std::ptrdiff_t(i));
        } else {
            SetMarkerRects(*marker);
            ++i;
        }
    }
    m_bLayoutValid = true;
}

void CRangeSliderCtrl::Axis(float& origin, float& length) const
{
    // Unreversed, a horizontal axis runs left to right and a vertical one
    // bottom to top; in the transposed frame "bottom" is the far u end.
    const bool reversed = Has(RSS_REVERSED) != IsVertical();
    if (!reversed) {
        origin = float(m_rcActive.left);
        length = float(m_rcActive.right - m_rcActive.left);
    } else {
        origin = float(m_rcActive.right);
        length = float(m_rcActive.left - m_rcActive.right);
    }
}

int CRangeSliderCtrl::PositionOf(float v) const
{
    float origin = 0.0f;
    float length = 0.0f;
    Axis(origin, length);
    if (m_fRange == 0.0f)
        return int(RoundTo(origin, 0));
    return int(RoundTo(origin + (v - m_fMin) / m_fRange * length, 0));
}

float CRangeSliderCtrl::ValueAt(QPoint p) const
{
    float origin = 0.0f;
    float length = 0.0f;
    Axis(origin, length);
    if (length == 0.0f)
        return m_fMin;
    return RoundTo(m_fMin + m_fRange * (float(p.x()) - origin) / length, 1);
}

void CRangeSliderCtrl::SetMarkerRects(CSliderMarker& marker) const
{
    const int x = PositionOf(marker.m_fValue);
    if (m_bBothSides) {
        marker.m_rcBody = {x - kMarkerHalf, m_rcThumb.top, x + kMarkerHalf, m_rcThumb.bottom};
        marker.m_rcLeft = {};
        marker.m_rcRight = {};
        return;
    }
    marker.m_rcBody = {x - kMarkerHalf, m_rcThumb.top, x + kMarkerHalf, m_rcChannel.bottom};
    marker.m_rcLeft = {x - kMarkerHalf, m_rcChannel.bottom, x, m_rcThumb.bottom};
    marker.m_rcRight = {x, m_rcChannel.bottom, x + kMarkerHalf, m_rcThumb.bottom};
}

Box CRangeSliderCtrl::GetActiveRect()
{
    EnsureLayout();
    return m_rcActive;
}

Box CRangeSliderCtrl::GetChannelRect()
{
    EnsureLayout();
    return m_rcChannel;
}

Box CRangeSliderCtrl::GetMarkerBody(int index)
{
    EnsureLayout();
    if (index < 0 || index >= int(m_markers.size()))
        return {};
    return m_markers[size_t(index)]->m_rcBody;
}

int CRangeSliderCtrl::ValueToPixel(float v)
{
    EnsureLayout();
    return PositionOf(v);
}

float CRangeSliderCtrl::PixelToValue(int p)
{
    EnsureLayout();
    return ValueAt(QPoint(p, 0));
}

} // namespace quorrel::controls
