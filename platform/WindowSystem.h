#pragma once
// What the editor asks of the window system it runs on.

namespace quorrel::platform {

// Whether something manages the top-level windows: on X11 the window
// manager that owns the selection WM_S0 of the screen; on Wayland (and
// elsewhere) always the compositor or the system. Window states such as
// full screen only take effect where one does.
bool HasWindowManager();

} // namespace quorrel::platform
