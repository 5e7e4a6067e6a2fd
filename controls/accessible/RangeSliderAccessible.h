#pragma once
// A range slider as assistive technologies meet it: a named group holding
// one slider a marker ("Red color range, from"), each with its value,
// the values it may take (up to its neighbours) and a way to set it. The
// markers are painted, not widgets, so without it the control would be one
// named area with nothing to read or move. A colour range that wraps around
// the ends says so, and its toggle action wraps it or stops the wrapping.

class QAccessibleInterface;
class QObject;

namespace quorrel::controls {

// The group interface of a CRangeSliderCtrl; null for any other object.
QAccessibleInterface* MakeRangeSliderAccessible(QObject* object);

} // namespace quorrel::controls
