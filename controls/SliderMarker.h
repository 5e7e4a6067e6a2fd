#pragma once

#include "controls/Box.h"

namespace quorrel::controls {

// One value marker of a range slider, with the rectangles it is drawn in and
// hit-tested by: the body and the two halves of its pointer.
struct CSliderMarker final {
    float m_fValue = -1.0f;
    Box m_rcBody;
    Box m_rcLeft;
    Box m_rcRight;

    bool HitTest(QPoint p) const { return m_rcRight.Contains(p) || m_rcLeft.Contains(p) || m_rcBody.Contains(p); }
    Box Bounds() const { return m_rcBody.United(m_rcLeft).United(m_rcRight); }
};

} // namespace quorrel::controls
