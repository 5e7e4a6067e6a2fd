#pragma once
// The main window's full-screen mode: bars hidden, no caption, the window
// over the whole screen with the active document window maximised, and a
// small floating toolbar with the one button that leaves the mode. Leaving
// puts back everything entering changed, also after the documents that
// were open then have been closed.

#include <QPointer>
#include <QRect>

class QToolBar;

namespace quorrel::app {

class CMainFrame;

class CFullScreen final {
public:
    explicit CFullScreen(CMainFrame& frame) : m_frame(frame) {}
    ~CFullScreen();
    CFullScreen(const CFullScreen&) = delete;
    CFullScreen& operator=(const CFullScreen&) = delete;

    bool IsActive() const { return m_bInFullScreen; }
    // Enters the mode, or leaves it when active.
    void Toggle();

    QToolBar* FloatingToolBar() const { return m_pToolBar; }

private:
    void Enter();
    void Leave();

    CMainFrame& m_frame;
    bool m_bInFullScreen = false;
    bool m_bStatusBarWasVisible = false;
    bool m_bToolBarWasVisible = false;
    bool m_bChildWasMaximized = false;
    QRect m_rcSaved;
    Qt::WindowStates m_savedState;
    QPointer<QToolBar> m_pToolBar;
};

} // namespace quorrel::app
