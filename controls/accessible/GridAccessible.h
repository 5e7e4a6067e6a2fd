#pragma once
// What assistive technologies (screen readers, through the accessibility
// bridge) learn of a grid: a table whose cells speak their text, with the
// texts of their row and column header cells. Without it the grid would be
// one unnamed area: its cells are painted, not widgets.

class QAccessibleInterface;
class QObject;

namespace quorrel::controls {

// The table interface of a CGridCtrl; null for any other object.
QAccessibleInterface* MakeGridAccessible(QObject* object);

} // namespace quorrel::controls
