#pragma once
// The main window's full-screen mode: bars hidden, no caption, the window
// over the whole screen with the active document window maximised, and a
// small floating toolbar with the one button that leaves the mode. The
// window system's own full-screen state does the covering wherever a window
// manager runs. Leaving puts back everything entering changed, also after
// the documents that were open then have been closed.

#include <QPointer>
#include <QRect>
#include <QToolBar>

namespace quorrel::app {

class CMainFrame;

// The toolbar of the mode: a framed panel inside the main window, over the
// document, at a fixed place (moved in when the window is smaller).
class CFloatingToolBar final : public QToolBar {
    Q_OBJECT
public:
    CFloatingToolBar(QWidget& frame, QPoint position);
    // Sizes the bar to its buttons, puts it at its place and in front.
    void Place();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint m_position;
};

class CFullScreen final {
public:
    explicit CFullScreen(CMainFrame& frame) : m_frame(frame) {}
    ~CFullScreen();
    CFullScreen(const CFullScreen&) = delete;
    CFullScreen& operator=(const CFullScreen&) = delete;

    bool IsActive() const { return m_bInFullScreen; }
    // Enters the mode, or leaves it when active.
    void Toggle();

    CFloatingToolBar* FloatingToolBar() const { return m_pToolBar; }
    // The floating bar says "Continuous Colours" beside its button while the
    // active view renders that way (the status bar is hidden here).
    void ShowRenderWay(bool continuous);

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
    QPointer<CFloatingToolBar> m_pToolBar;
    QAction* m_pRenderWayNote = nullptr;   // owned by the floating bar
    int m_generation = 0;   // tells a late check from an earlier entry apart
};

} // namespace quorrel::app
