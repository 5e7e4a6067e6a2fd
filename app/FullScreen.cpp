#include "FullScreen.h"

#include "CommandTable.h"
#include "MainFrame.h"

#include "platform/MDIChildWnd.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

namespace quorrel::app {

namespace {
constexpr QPoint kFloatingToolBarPos(300, 200);
}

CFullScreen::~CFullScreen() { delete m_pToolBar; }

void CFullScreen::Toggle()
{
    if (m_bInFullScreen)
        Leave();
    else
        Enter();
}

void CFullScreen::Enter()
{
    platform::CMDIChildWnd* child = m_frame.MDIGetActive();
    if (!child)
        return;

    QToolBar* toolBar = m_frame.ToolBar();
    QStatusBar* statusBar = m_frame.statusBar();
    m_bToolBarWasVisible = toolBar && !toolBar->isHidden();
    if (toolBar)
        toolBar->hide();
    m_bStatusBarWasVisible = !statusBar->isHidden();
    statusBar->hide();

    // A floating tool window with the Full Screen button, over the frame.
    m_pToolBar = new QToolBar(QStringLiteral("Full Screen"), &m_frame);
    m_pToolBar->setObjectName(QStringLiteral("FullScreenToolBar"));
    m_pToolBar->setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    // The keys stay with the main window.
    m_pToolBar->setAttribute(Qt::WA_ShowWithoutActivating);
    m_pToolBar->setOrientation(Qt::Horizontal);
    m_pToolBar->setMovable(false);
    m_pToolBar->setIconSize(toolBar ? toolBar->iconSize() : QSize(16, 15));
    m_pToolBar->addAction(m_frame.Action(ID_FULL_SCREEN));
    m_pToolBar->adjustSize();
    m_pToolBar->move(kFloatingToolBarPos);

    m_rcSaved = m_frame.geometry();
    m_savedState = m_frame.windowState();

    // The platform's full-screen state drops the caption and the border;
    // the geometry is set as well for displays without a window manager.
    m_frame.setWindowState((m_savedState & ~(Qt::WindowMaximized | Qt::WindowMinimized)) | Qt::WindowFullScreen);
    if (const QScreen* screen = m_frame.screen() ? m_frame.screen() : QGuiApplication::primaryScreen())
        m_frame.setGeometry(screen->geometry());
    m_frame.show();
    m_pToolBar->show();
    m_pToolBar->raise();

    m_bChildWasMaximized = child->isMaximized();
    child->showMaximized();
    m_bInFullScreen = true;
}

void CFullScreen::Leave()
{
    delete m_pToolBar;

    m_frame.setWindowState(Qt::WindowNoState);
    if (m_bToolBarWasVisible && m_frame.ToolBar())
        m_frame.ToolBar()->show();
    if (m_bStatusBarWasVisible)
        m_frame.statusBar()->show();
    // The rectangle first, then the state: placing a window ends its
    // maximised state, and without a window manager nothing else would
    // move a maximised window back.
    m_frame.setGeometry(m_rcSaved);
    m_frame.setWindowState(m_savedState);
    m_frame.show();
    m_frame.update();
    // The floating button may have had the focus: give it back, so the
    // keys work at once.
    m_frame.activateWindow();

    if (platform::CMDIChildWnd* child = m_frame.MDIGetActive()) {
        if (m_bChildWasMaximized)
            child->showMaximized();
        else
            child->showNormal();
    }
    m_bInFullScreen = false;
}

} // namespace quorrel::app
