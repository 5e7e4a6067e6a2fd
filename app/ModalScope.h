#pragma once
// Whether the application has a modal dialog or message box open. Timer
// ticks are held back meanwhile: a tick must not generate under an open
// editor that is changing the same parameter set, nor open a message box on
// top of the last one.

namespace quorrel::app {

// Marks the span of a modal step the application runs itself (an editor, a
// file dialog, a message box), also when a test answers it without showing
// a window.
class CModalScope final {
public:
    CModalScope();
    ~CModalScope();
    CModalScope(const CModalScope&) = delete;
    CModalScope& operator=(const CModalScope&) = delete;

    // True inside a CModalScope or while Qt shows a modal window.
    static bool IsModalOpen();
};

} // namespace quorrel::app
