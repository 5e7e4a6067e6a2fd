// The range slider: set-up, the marker list and the value tip. Its layout,
// mouse handling and painting live in RangeSliderCtrlGeometry.cpp,
// RangeSliderCtrlMouse.cpp and RangeSliderCtrlPaint.cpp.

#include "controls/RangeSliderCtrl.h"

#include "controls/accessible/Accessibility.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace quorrel::controls {

namespace {

// Half the size of a standard pointer: the tip opens this far right of and
// below the pointer so that it does not cover the hot spot.
constexpr int kHalfCursor = 16;

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
    InstallControlAccessibility();
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

bool CRangeSliderCtrl::SetMarkerValue(int index, float value)
{
    if (index < 0 || index >= int(m_markers.size()) || std::isnan(value) || m_pDragMarker || m_pNewMarker)
        return false;
    const float low = index > 0 ? m_markers[size_t(index) - 1]->m_fValue : m_fMin;
    const float high = index + 1 < int(m_markers.size()) ? m_markers[size_t(index) + 1]->m_fValue : m_fMax;
    CSliderMarker& marker = *m_markers[size_t(index)];
    // To the precision the value is shown in, so that what is heard is what
    // the owner reads back.
    value = RoundTo(value, Has(RSS_INTEGER) ? 0 : 1);
    marker.m_fValue = std::clamp(value, std::min(low, high), std::max(low, high));
    InvalidateLayout();
    repaint();
    emit markerMoved();
    emit scrolled();
    return true;
}

bool CRangeSliderCtrl::ToggleWrap()
{
    if (!Has(RSS_ALTERNATECOLORS) || m_markers.size() != 2 || m_pDragMarker || m_pNewMarker)
        return false;
    m_bAlternate = !m_bAlternate;
    repaint();
    emit markerMoved();
    emit scrolled();
    return true;
}

QRect CRangeSliderCtrl::GetMarkerRect(int index)
{
    EnsureLayout();
    if (index < 0 || index >= int(m_markers.size()))
        return {};
    return CanonicalToWidget().mapRect(m_markers[size_t(index)]->Bounds().ToQRect());
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
    const QRect dirty = CanonicalToWidget().mapRect(owned->Bounds().ToQRect());
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

} // namespace quorrel::controls
