#pragma once

#include "controls/Box.h"
#include "controls/InfoTip.h"
#include "controls/RangeSliderStyles.h"
#include "controls/SliderMarker.h"

#include <QBasicTimer>
#include <QFont>
#include <QSlider>
#include <QTransform>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

namespace quorrel::controls {

// A horizontal (or vertical) slider carrying several value markers on one
// continuous floating-point range. The channel and thumb geometry come from
// the style's metrics for a slider; everything visible is drawn here. Markers
// are added by clicking on empty channel and moved by dragging; a tip window
// shows their values. Segments between markers can be coloured, and the
// colours can alternate to show a range that wraps around.
class CRangeSliderCtrl final : public QWidget {
    Q_OBJECT
public:
    explicit CRangeSliderCtrl(QWidget* parent = nullptr, uint32_t dwStyle = RSS_DEFAULT);
    ~CRangeSliderCtrl() override;

    // Configures range, tick frequency, marker count, initial values (null for
    // none; markers already present stay), the count + 1 segment colours
    // (0x00BBGGRR) and the style (-1 keeps the current one).
    void SetUp(float fMin, float fMax, int nTicFreq, int nCount, const float* pValues, const uint32_t* pColors,
               int nStyle = -1);
    // Stores the range and, for non-null values and a non-zero count, replaces
    // all markers with one per value. False (and no markers) when a marker
    // cannot be created.
    bool SetMarkers(float fMin, float fMax, int nCount, const float* pValues);
    // Writes the marker values in ascending order; returns their number.
    int GetMarkerValues(float values[]) const;
    // The same, each value truncated toward zero.
    int GetMarkerValuesInt(int values[]) const;
    // Moves the marker at `index` (in ascending order) to `value`, rounded as
    // shown (whole numbers or one decimal) and kept within the range and
    // between its neighbours: repainted, then markerMoved() and scrolled(), as
    // after a drop. For assistive technologies, which set values rather than
    // drag; false, changing nothing, for an index that is no marker, a value
    // that is no number, or during a drag.
    bool SetMarkerValue(int index, float value);
    // With alternating colours and two markers: swaps which segment is the
    // range (it wraps around the ends or not), as dragging one marker past
    // the other does; then markerMoved() and scrolled(). False otherwise.
    bool ToggleWrap();
    // The marker's outline in widget coordinates; empty for no marker.
    QRect GetMarkerRect(int index);

    void SetAlternate(bool bAlternate) { m_bAlternate = bAlternate; update(); }
    bool GetAlternate() const { return m_bAlternate; }

    // The orientation and tick placement of the underlying slider (horizontal
    // with ticks below unless changed).
    void SetTrackbarStyle(Qt::Orientation orientation, QSlider::TickPosition ticks);

    uint32_t GetStyle() const { return m_dwStyle; }
    int GetMaxMarkers() const { return m_nMaxMarkers; }
    float GetMin() const { return m_fMin; }
    float GetMax() const { return m_fMax; }
    int GetMarkerCount() const { return int(m_markers.size()); }
    // Number of tick marks for the current tick frequency.
    int GetTickCount() const;

    // Geometry, brought up to date on demand (for the owner and for tests).
    Box GetActiveRect();
    Box GetChannelRect();
    Box GetMarkerBody(int index);
    int ValueToPixel(float v);
    float PixelToValue(int p);

    const CInfoTip& GetTip() const { return m_tip; }

    // roundto(v, n) = floor(v * 10^n + 0.5) / 10^n in single precision.
    static float RoundTo(float v, int nDecimals);
    // Tick count of a 0..100 slider with the given tick frequency.
    static int TickCountFor(int nTicFreq);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // A drop moved a marker (RSN_MARKERMOVED).
    void markerMoved();
    // Scroll notification, sent during and at the end of every click and
    // drag; owners re-read the markers on it.
    void scrolled();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    using MarkerList = std::vector<std::unique_ptr<CSliderMarker>>;

    // Half the width of a marker thumb.
    static constexpr int kMarkerHalf = 6;

    bool IsVertical() const { return m_nOrientation & 1; }
    bool TicksOnTop() const { return m_nOrientation & 2; }
    bool Has(uint32_t bit) const { return (m_dwStyle & bit) != 0; }
    void InvalidateLayout();
    void EnsureLayout();
    void RecalcLayout();
    // The layout's frame of reference (horizontal, ticks below) mapped onto
    // the widget.
    QTransform CanonicalToWidget() const;
    void Axis(float& origin, float& length) const;
    float ValueAt(QPoint p) const;
    int PositionOf(float v) const;
    void SetMarkerRects(CSliderMarker& marker) const;
    int AddMarker(std::unique_ptr<CSliderMarker> marker);
    std::unique_ptr<CSliderMarker> RemoveMarker(CSliderMarker* marker, int* pIndex);
    void ForgetPointers(const CSliderMarker* marker);
    void ClearMarkers();
    int IndexOf(const CSliderMarker* marker) const;
    CSliderMarker* HitTest(QPoint p) const;
    void RepaintStrip(const Box& oldBody, const Box& newBody);
    void ShowTip(float value, QPoint ptGlobal);
    QString FormatLabel(float v) const;
    QString FormatTip(float v) const;
    void ClearHover();
    bool InRange(float v) const { return v >= m_fMin && v <= m_fMax; }

    void DrawMarker(QPainter& p, const CSliderMarker& marker) const;
    void DrawTick(QPainter& p, int pos) const;
    void DrawLabel(QPainter& p, int pos, const QString& text) const;
    void DrawSegments(QPainter& p, const std::vector<uint32_t>& segColors);

    MarkerList m_markers;
    std::unique_ptr<CSliderMarker> m_pNewMarker;
    CSliderMarker* m_pDragMarker = nullptr;
    CSliderMarker* m_pHoverMarker = nullptr;
    Box m_rcHover;
    int m_nTipTimer = 2;
    int m_nTipDelay = 1000;
    QBasicTimer m_tipTimer;
    bool m_bLayoutValid = false;
    bool m_bFocused = false;
    QFont m_font;
    uint32_t m_dwStyle;
    int m_nMaxMarkers = 1;
    bool m_bBothSides = false;
    uint8_t m_nOrientation = 0;
    uint8_t m_nBlocked = 0;
    CInfoTip m_tip;
    Box m_rcActive;
    Box m_rcChannel;
    Box m_rcClient;
    Box m_rcThumb;
    std::vector<uint32_t> m_colors;
    float m_fMax = 100.0f;
    float m_fMin = 0.0f;
    float m_fRange = 100.0f;
    bool m_bMoveBoth = false;
    float m_fDragStart = 0.0f;
    bool m_bAlternate = false;
    int m_nTicFreq = 1;
};

} // namespace quorrel::controls
