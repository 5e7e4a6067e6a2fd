#pragma once
// The accessibility interfaces of this program's controls, served through
// the platform's accessibility bridge (AT-SPI on Linux): grids as tables,
// range sliders as one slider a marker, and combo boxes that speak the name
// they were given rather than their current item.

namespace quorrel::controls {

// Installs the factory for every such control of the process; harmless to
// call again. Interfaces made before the first call stay as they are, so the
// controls call it from their constructors and the application at start.
void InstallControlAccessibility();

} // namespace quorrel::controls
