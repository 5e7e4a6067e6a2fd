#include "FullScreen.h"

#include "CommandTable.h"
#include "MainFrame.h"

#include "platform/MDIChildWnd.h"
#include "platform/WindowSystem.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QLabel>
#include <QToolBar>

#include <algorithm>

namespace quorrel::app {

namespace {
constexpr QPoint kFloatingToolBarPos(300, 200);
// How long a window manager has to act on the full-screen state.
constexpr int kWindowManagerGraceMs = 400;

} // namespace

CFloatingToolBar::CFloatingToolBar(QWidget& frame, QPoint position)
    : QToolBar(tr("Full Screen"), &frame), m_position(position)
{
    setObjectName(QStringLiteral("FullScreenToolBar"));
    setOrientation(Qt::Horizontal);
    setMovable(false);
    setFloatable(false);
    // Drawn over the document: an opaque, framed panel of the window colour.
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    setContentsMargins(2, 2, 2, 2);
    frame.installEventFilter(this);
}

void CFloatingToolBar::Place()
{
    auto* frame = parentWidget();
    if (!frame)
        return;
    adjustSize();
    // At its place in the window, moved in when the window is smaller.
    const QSize room = frame->size() - size();
    move(std::clamp(m_position.x(), 0, std::max(0, room.width())), std::clamp(m_position.y(), 0, std::max(0, room.height())));
    raise();
}

bool CFloatingToolBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && (event->type() == QEvent::Resize || event->type() == QEvent::ChildAdded ||
                                      event->type() == QEvent::LayoutRequest))
        QTimer::singleShot(0, this, &CFloatingToolBar::Place);
    return QToolBar::eventFilter(watched, event);
}

void CFloatingToolBar::paintEvent(QPaintEvent* event)
{
    QToolBar::paintEvent(event);
    // A one-pixel edge in the text colour keeps the panel apart from any tile.
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
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

    // The Full Screen button floats over the frame's contents: a toolbar
    // inside the window, which every window system shows where it is put
    // (a window of its own gets a caption and, on Wayland, no place).
    m_pToolBar = new CFloatingToolBar(m_frame, kFloatingToolBarPos);
    m_pToolBar->setIconSize(toolBar ? toolBar->iconSize() : QSize(16, 15));
    // The button says what it does: its name beside the picture.
    m_pToolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_pToolBar->addAction(m_frame.Action(ID_FULL_SCREEN));
    auto* note = new QLabel(QStringLiteral("Continuous Colours"));
    note->setObjectName(QStringLiteral("RenderWayNote"));
    note->setContentsMargins(6, 0, 6, 0);
    m_pRenderWayNote = m_pToolBar->addWidget(note);
    m_pRenderWayNote->setVisible(false);

    m_rcSaved = m_frame.geometry();
    m_savedState = m_frame.windowState();

    // The window system's full-screen state: no caption, no border, the
    // whole screen, above the panels.
    m_frame.setWindowState((m_savedState & ~(Qt::WindowMaximized | Qt::WindowMinimized)) | Qt::WindowFullScreen);
    m_frame.show();
    // Without a window manager nobody acts on the state: then the window
    // is put over the screen itself, once the state had its chance.
    QTimer::singleShot(kWindowManagerGraceMs, &m_frame, [this, generation = ++m_generation] {
        if (!m_bInFullScreen || generation != m_generation)
            return;
        const QScreen* screen = m_frame.screen() ? m_frame.screen() : QGuiApplication::primaryScreen();
        if (screen && m_frame.geometry() != screen->geometry() && !platform::HasWindowManager())
            m_frame.setGeometry(screen->geometry());
    });
    m_pToolBar->Place();
    m_pToolBar->show();

    m_bChildWasMaximized = child->isMaximized();
    child->showMaximized();
    m_bInFullScreen = true;
}

void CFullScreen::ShowRenderWay(bool continuous)
{
    if (!m_pToolBar || !m_pRenderWayNote || m_pRenderWayNote->isVisible() == continuous)
        return;
    m_pRenderWayNote->setVisible(continuous);
    m_pToolBar->Place();
}

void CFullScreen::Leave()
{
    delete m_pToolBar;
    ++m_generation;

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
