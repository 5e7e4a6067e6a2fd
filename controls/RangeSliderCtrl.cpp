#include "controls/RangeSliderCtrl.h"

#include "controls/ColorRef.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStyleOptionSlider>
#include <QTransform>
#include <qdrawutil.h>

#include <algorithm>
#include <cmath>
#include <new>

namespace quorrel::controls {

namespace {

// Half the size of a standard pointer: the tip opens this far right of and
// below the pointer so that it does not cover the hot spot.
constexpr int kHalfCursor = 16;
// Half the width of a marker thumb.
constexpr int kMarkerHalf = 6;
// A channel thinner than this would leave no room for the colour band.
constexpr int kMinChannelThickness = 9;

} // namespace

CRangeSliderCtrl::CRangeSliderCtrl(QWidget* parent, uint32_t dwStyle)
    : QWidget(parent)
    , m_dwStyle(dwStyle)
    , m_tip(this)
    , m_colors{0xFFFFFFu}
{
    // Arial, 12 pixels of cell height: an em of about 10 pixels.
    m_font = QFont(QStringLiteral("Arial"));
    m_font.setPixelSize(10);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_tip.Hide();
}

CRangeSliderCtrl::~CRangeSliderCtrl()
{
    m_tip.Hide();
}

float CRangeSliderCtrl::RoundTo(float v, int nDecimals)
{
    float scale = 1.0f;
    for (int i = 0; i < nDecimals; ++i)
        scale *= 10.0f;
    return std::floor(v * scale + 0.5f) / scale;
}

int CRangeSliderCtrl::TickCountFor(int nTicFreq)
{
    // The underlying slider's range stays 0..100: both ends plus every
    // multiple of the frequency strictly between them.
    if (nTicFreq <= 0)
        return 2;
    return 2 + (99 / nTicFreq);
}

int CRangeSliderCtrl::GetTickCount() const
{
    return TickCountFor(m_nTicFreq);
}

void CRangeSliderCtrl::SetUp(float fMin, float fMax, int nTicFreq, int nCount, const float* pValues,
                             const uint32_t* pColors, int nStyle)
{
    InvalidateLayout();
    m_fMin = fMin;
    m_fMax = fMax;
    m_fRange = fMax - fMin;
    m_nMaxMarkers = std::max(nCount, 0);
    m_nTicFreq = nTicFreq;
    if (pColors)
        m_colors.assign(pColors, pColors + m_nMaxMarkers + 1);
    else
        m_colors.assign(size_t(m_nMaxMarkers) + 1, 0xFFFFFFu);
    if (nStyle != -1)
        m_dwStyle = uint32_t(nStyle);
    if (pValues) {
        for (int i = 0; i < nCount; ++i) {
            auto marker = std::make_unique<CSliderMarker>();
            marker->m_fValue = pValues[i];
            AddMarker(std::move(marker));
        }
    }
    repaint();
}

bool CRangeSliderCtrl::SetMarkers(float fMin, float fMax, int nCount, const float* pValues)
{
    m_fMin = fMin;
    m_fMax = fMax;
    m_fRange = fMax - fMin;
    if (pValues && nCount != 0) {
        ClearMarkers();
        try {
            for (int i = 0; i < nCount; ++i) {
                auto marker = std::make_unique<CSliderMarker>();
                marker->m_fValue = pValues[i];
                AddMarker(std::move(marker));
            }
        } catch (const std::bad_alloc&) {
            ClearMarkers();
            InvalidateLayout();
            repaint();
            return false;
        }
    }
    InvalidateLayout();
    repaint();
    return true;
}

int CRangeSliderCtrl::GetMarkerValues(float values[]) const
{
    // The list is sorted except in the middle of a drag that has carried a
    // marker past its neighbour; readers always get ascending values.
    int n = 0;
    for (const auto& m : m_markers)
        values[n++] = m->m_fValue;
    std::sort(values, values + n);
    return n;
}

int CRangeSliderCtrl::GetMarkerValuesInt(int values[]) const
{
    std::vector<float> buffer(m_markers.size());
    const int n = GetMarkerValues(buffer.data());
    for (int i = 0; i < n; ++i)
        values[i] = int(buffer[size_t(i)]); // truncation toward zero
    return n;
}

void CRangeSliderCtrl::SetTrackbarStyle(Qt::Orientation orientation, QSlider::TickPosition ticks)
{
    m_nOrientation = uint8_t((orientation == Qt::Vertical ? 1 : 0) | (ticks == QSlider::TicksAbove ? 2 : 0));
    m_bBothSides = ticks == QSlider::TicksBothSides;
    InvalidateLayout();
    updateGeometry();
    update();
}

QSize CRangeSliderCtrl::sizeHint() const
{
    return IsVertical() ? QSize(48, 200) : QSize(200, 40);
}

QSize CRangeSliderCtrl::minimumSizeHint() const
{
    return IsVertical() ? QSize(40, 60) : QSize(60, 32);
}

// ---------------------------------------------------------------- layout

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
// slider transposes the picture. CanonicalToWidget maps the frame onto the
// widget.
static QTransform CanonicalTransform(bool vertical, bool flip, int canonicalHeight)
{
    QTransform t;
    if (flip)
        t = QTransform(1, 0, 0, -1, 0, canonicalHeight);
    if (vertical)
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

// ---------------------------------------------------------------- markers

int CRangeSliderCtrl::AddMarker(std::unique_ptr<CSliderMarker> marker)
{
    // Before the first marker whose value is greater or equal, else at the end.
    auto it = std::find_if(m_markers.begin(), m_markers.end(),
                           [&](const auto& m) { return m->m_fValue >= marker->m_fValue; });
    const int index = int(it - m_markers.begin());
    m_markers.insert(it, std::move(marker));
    return index;
}

std::unique_ptr<CSliderMarker> CRangeSliderCtrl::RemoveMarker(CSliderMarker* marker, int* pIndex)
{
    const int index = IndexOf(marker);
    if (pIndex)
        *pIndex = index;
    if (index < 0)
        return nullptr;
    std::unique_ptr<CSliderMarker> owned = std::move(m_markers[size_t(index)]);
    m_markers.erase(m_markers.begin() + index);
    ForgetPointers(owned.get());
    const QRect dirty = CanonicalTransform(IsVertical(), TicksOnTop(), m_rcClient.Height())
                            .mapRect(owned->Bounds().ToQRect());
    update(dirty);
    return owned;
}

void CRangeSliderCtrl::ForgetPointers(const CSliderMarker* marker)
{
    if (m_pDragMarker == marker)
        m_pDragMarker = nullptr;
    if (m_pHoverMarker == marker) {
        m_pHoverMarker = nullptr;
        m_rcHover = {};
    }
}

void CRangeSliderCtrl::ClearMarkers()
{
    m_pDragMarker = nullptr;
    m_pHoverMarker = nullptr;
    m_rcHover = {};
    m_markers.clear();
}

int CRangeSliderCtrl::IndexOf(const CSliderMarker* marker) const
{
    for (size_t i = 0; i < m_markers.size(); ++i)
        if (m_markers[i].get() == marker)
            return int(i);
    return -1;
}

CSliderMarker* CRangeSliderCtrl::HitTest(QPoint p) const
{
    for (const auto& m : m_markers)
        if (m->HitTest(p))
            return m.get();
    return nullptr;
}

// ---------------------------------------------------------------- tip

QString CRangeSliderCtrl::FormatLabel(float v) const
{
    return QString::asprintf(Has(RSS_INTEGER) ? "%.0lf" : "%.1lf", double(v));
}

QString CRangeSliderCtrl::FormatTip(float v) const
{
    return QString::asprintf(Has(RSS_INTEGER) ? "%.0f" : "%.1f", double(v));
}

void CRangeSliderCtrl::ShowTip(float value, QPoint ptGlobal)
{
    m_tip.Show(FormatTip(value), ptGlobal + QPoint(kHalfCursor, kHalfCursor));
}

void CRangeSliderCtrl::ClearHover()
{
    m_rcHover = {};
    m_pHoverMarker = nullptr;
}

// ---------------------------------------------------------------- mouse

static QPoint EventPoint(const QMouseEvent* e)
{
    return e->position().toPoint();
}

void CRangeSliderCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    EnsureLayout();
    const QPoint p = CanonicalTransform(IsVertical(), TicksOnTop(), m_rcClient.Height())
                         .inverted()
                         .map(EventPoint(event));
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
    const QTransform toWidget = CanonicalTransform(IsVertical(), TicksOnTop(), m_rcClient.Height());
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
    const QRect r = CanonicalTransform(IsVertical(), TicksOnTop(), m_rcClient.Height()).mapRect(strip.ToQRect());
    repaint(r);
}

void CRangeSliderCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    EnsureLayout();
    const QPoint p = CanonicalTransform(IsVertical(), TicksOnTop(), m_rcClient.Height())
                         .inverted()
                         .map(EventPoint(event));
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

// ---------------------------------------------------------------- painting

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
    const QTransform toWidget = CanonicalTransform(IsVertical(), TicksOnTop(), m_rcClient.Height());
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
