#pragma once
// What assistive technologies (screen readers, through the accessibility
// bridge) learn of a grid: a table whose cells speak their text, with the
// texts of their row and column header cells. Without it the grid would be
// one unnamed area: its cells are painted, not widgets.

namespace quorrel::controls {

// Makes every CGridCtrl of the process answer as a table; called by the
// grid's constructor, harmless to call again.
void InstallGridAccessibility();

} // namespace quorrel::controls
