#include "MDIFrameWnd.h"

#include "CommandIds.h"
#include "DocTemplate.h"
#include "Document.h"
#include "MDIChildWnd.h"
#include "NativePath.h"
#include "ScrollView.h"
#include "WinApp.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QToolBar>

#include <algorithm>

namespace quorrel::platform {

namespace {
const char* const kWindowListProperty = "quorrelWindowList";

// The offset from one cascaded window to the next: the height of a
// caption, as the style draws it.
int CascadeStep(const QMdiSubWindow& sub)
{
    QStyleOptionTitleBar option;
    option.initFrom(&sub);
    const int caption = sub.style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, &sub);
    return std::max(caption, 8);
}
} // namespace

QList<QRect> CascadeRects(QSize area, int count, int step)
{
    QList<QRect> rects;
    if (count <= 0 || area.isEmpty())
        return rects;
    // The offsets shrink when the windows would not fit otherwise; each
    // window keeps at least half the area.
    const int room = std::max(0, std::min(area.width(), area.height()) / 2);
    const int offset = count > 1 ? std::min(std::max(step, 0), room / (count - 1)) : 0;
    const QSize size(area.width() - offset * (count - 1), area.height() - offset * (count - 1));
    for (int i = 0; i < count; ++i)
        rects.push_back(QRect(QPoint(i * offset, i * offset), size));
    return rects;
}

CMDIFrameWnd::CMDIFrameWnd() : m_pMdiArea(new QMdiArea(this)), m_router(this)
{
    setCentralWidget(m_pMdiArea);
    // Closing the active document window activates the one active before
    // it, not the first one created.
    m_pMdiArea->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    setAcceptDrops(true);
    connect(&m_noticeTimer, &QTimer::timeout, this, [this] {
        if (statusBar()->currentMessage() == m_strNotice)
            statusBar()->showMessage(m_strIdleMessage);
        m_strNotice.clear();
    });
    m_router.SetRoute([this] { return Route(); });
    connect(m_pMdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        CarryMaximizedState(sub);
        OnActiveChildChanged();
        m_router.RequestIdleUpdate();
    });

    OnCommand(ID_VIEW_TOOLBAR, [this] {
        if (m_pToolBar)
            m_pToolBar->setVisible(!m_pToolBar->isVisible());
    });
    OnUpdateCommand(ID_VIEW_TOOLBAR, [this](CCmdUI& ui) { ui.SetCheck(m_pToolBar && m_pToolBar->isVisible()); });
    OnCommand(ID_VIEW_STATUS_BAR, [this] { statusBar()->setVisible(!statusBar()->isVisible()); });
    OnUpdateCommand(ID_VIEW_STATUS_BAR, [this](CCmdUI& ui) { ui.SetCheck(statusBar()->isVisible()); });

    // The window commands need an active document window.
    OnCommand(ID_WINDOW_NEW, [this] { OnNewWindow(); });
    OnCommand(ID_WINDOW_CASCADE, [this] { Cascade(); });
    OnCommand(ID_WINDOW_TILE_HORZ, [this] { m_pMdiArea->tileSubWindows(); });
    OnCommand(ID_WINDOW_ARRANGE, [this] {
        // Minimised windows line up along the bottom edge.
        int x = 0;
        for (QMdiSubWindow* sub : m_pMdiArea->subWindowList()) {
            if (!sub->isMinimized())
                continue;
            sub->move(x, m_pMdiArea->viewport()->height() - sub->height());
            x += sub->width();
        }
    });
    for (int id : {ID_WINDOW_NEW, ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ, ID_WINDOW_ARRANGE})
        OnUpdateCommand(id, [this](CCmdUI& ui) { ui.Enable(MDIGetActive() != nullptr); });
}

CMDIFrameWnd::~CMDIFrameWnd()
{
    // Hiding and destroying the document windows while the base widget goes
    // would report activation and state changes to a frame that no longer
    // exists.
    disconnect(m_pMdiArea, nullptr, this, nullptr);
    for (QMdiSubWindow* sub : findChildren<QMdiSubWindow*>())
        disconnect(sub, nullptr, this, nullptr);
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive() const
{
    // The current window stays current while the application is inactive.
    return qobject_cast<CMDIChildWnd*>(m_pMdiArea->currentSubWindow());
}

CScrollView* CMDIFrameWnd::GetActiveView() const
{
    const CMDIChildWnd* frame = MDIGetActive();
    return frame ? frame->GetActiveView() : nullptr;
}

CDocument* CMDIFrameWnd::GetActiveDocument() const
{
    const CMDIChildWnd* frame = MDIGetActive();
    return frame ? frame->GetActiveDocument() : nullptr;
}

std::vector<CCmdTarget*> CMDIFrameWnd::Route() const
{
    std::vector<CCmdTarget*> route;
    if (CMDIChildWnd* frame = MDIGetActive()) {
        if (CScrollView* view = frame->GetActiveView()) {
            route.push_back(view);
            if (CDocument* doc = view->GetDocument())
                route.push_back(doc);
        }
        route.push_back(frame);
    }
    route.push_back(const_cast<CMDIFrameWnd*>(this));
    if (CWinApp* app = CWinApp::Instance())
        route.push_back(app);
    return route;
}

void CMDIFrameWnd::AddCommands(const std::vector<CommandInfo>& table)
{
    for (const CommandInfo& info : table)
        addAction(m_router.AddCommand(info, this));
}

void CMDIFrameWnd::AddMenuItems(QMenu* menu, std::initializer_list<int> ids)
{
    for (int id : ids) {
        if (id == 0)
            menu->addSeparator();
        else if (QAction* action = m_router.Action(id))
            menu->addAction(action);
    }
}

void CMDIFrameWnd::ShowNotice(const QString& text, int ms)
{
    m_strNotice = text;
    statusBar()->showMessage(text);
    m_noticeTimer.setSingleShot(true);
    m_noticeTimer.start(ms);
}

void CMDIFrameWnd::SetIdleMessage(const QString& text)
{
    m_strIdleMessage = text;
    statusBar()->showMessage(text);
}

void CMDIFrameWnd::OnUpdateFrameTitle()
{
    // "Quorrel - Title", or with a maximised document window the MDI form
    // "Quorrel - [Title]" (the one Qt's maximised sub-windows also produce).
    const CMDIChildWnd* child = MDIGetActive();
    const CDocument* doc = GetActiveDocument();
    const QString app = CWinApp::Instance() ? CWinApp::Instance()->GetAppTitle() : QString();
    if (!doc)
        setWindowTitle(app);
    else if (child->isMaximized())
        setWindowTitle(app + QStringLiteral(" - [") + child->windowTitle() + QLatin1Char(']'));
    else
        setWindowTitle(app + QStringLiteral(" - ") + doc->GetTitle());
}

void CMDIFrameWnd::CarryMaximizedState(QMdiSubWindow* activated)
{
    // The maximised state belongs to the frame, not to one window: when the
    // maximised active window goes (hidden on its way out, or already
    // destroyed), the window that takes its place is maximised too.
    if (!activated)
        return;   // the application went inactive, or no window is left
    const bool previousGone = !m_pLastActive || !m_pLastActive->isVisible();
    if (activated != m_pLastActive && previousGone && m_bLastActiveMaximized && !activated->isMaximized())
        activated->showMaximized();
    m_pLastActive = activated;
    m_bLastActiveMaximized = activated->isMaximized();
    connect(activated, &QMdiSubWindow::windowStateChanged, this, &CMDIFrameWnd::OnChildWindowStateChanged,
            Qt::UniqueConnection);
}

void CMDIFrameWnd::OnChildWindowStateChanged(Qt::WindowStates, Qt::WindowStates)
{
    // The window's own state, not the signal's (which may lack the
    // maximised flag while active), and only while it shows: a window on
    // its way out drops its state as it goes.
    if (sender() == m_pLastActive && m_pLastActive->isVisible())
        m_bLastActiveMaximized = m_pLastActive->isMaximized();
}

void CMDIFrameWnd::OnActiveChildChanged()
{
    OnUpdateFrameTitle();
    if (CDocument* doc = GetActiveDocument())
        connect(doc, &CDocument::titleChanged, this, &CMDIFrameWnd::OnUpdateFrameTitle, Qt::UniqueConnection);
}

void CMDIFrameWnd::FillWindowList(QMenu* menu)
{
    for (QAction* action : menu->actions()) {
        if (action->property(kWindowListProperty).toBool()) {
            menu->removeAction(action);
            action->deleteLater();
        }
    }
    const QList<QMdiSubWindow*> windows = m_pMdiArea->subWindowList();
    if (windows.isEmpty())
        return;
    QAction* separator = menu->addSeparator();
    separator->setProperty(kWindowListProperty, true);
    int number = 1;
    for (QMdiSubWindow* sub : windows) {
        QString title = sub->windowTitle();
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = menu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(title));
        action->setProperty(kWindowListProperty, true);
        action->setCheckable(true);
        action->setChecked(sub == m_pMdiArea->currentSubWindow());
        action->setStatusTip(tr("Activate this window"));
        connect(action, &QAction::triggered, this, [this, sub] { m_pMdiArea->setActiveSubWindow(sub); });
    }
}

void CMDIFrameWnd::Cascade()
{
    // Each window one caption lower and to the right of the one before, all
    // of one size: the client area less the offsets of the others, so the
    // stack fills the area and a single window keeps all of it.
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* sub : m_pMdiArea->subWindowList(QMdiArea::CreationOrder))
        if (sub->isVisible() && !sub->isMinimized())
            windows.push_back(sub);
    if (windows.isEmpty())
        return;
    const QSize area = m_pMdiArea->viewport()->size();
    const QList<QRect> places = CascadeRects(area, int(windows.size()), CascadeStep(*windows.front()));
    QMdiSubWindow* active = m_pMdiArea->activeSubWindow();
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* sub = windows[i];
        if (sub->isMaximized())
            sub->showNormal();
        sub->setGeometry(places[i]);
        sub->raise();
    }
    // The active window stays in front.
    if (active && windows.contains(active))
        active->raise();
}

void CMDIFrameWnd::OnNewWindow()
{
    CDocument* doc = GetActiveDocument();
    if (!doc || !doc->GetDocTemplate())
        return;
    CMDIChildWnd* frame = doc->GetDocTemplate()->CreateNewFrame(doc);
    doc->GetDocTemplate()->InitialUpdateFrame(frame);
}

bool CMDIFrameWnd::event(QEvent* event)
{
    // Leaving a menu item or button clears its prompt: the idle text returns.
    if (event->type() == QEvent::StatusTip && static_cast<QStatusTipEvent*>(event)->tip().isEmpty()) {
        statusBar()->showMessage(m_strNotice.isEmpty() ? m_strIdleMessage : m_strNotice);
        return true;
    }
    return QMainWindow::event(event);
}

void CMDIFrameWnd::closeEvent(QCloseEvent* event)
{
    CWinApp* app = CWinApp::Instance();
    if (app && !app->SaveAllModified()) {
        event->ignore();
        return;
    }
    if (app)
        app->CloseAllDocuments();
    event->accept();
    if (app)
        app->OnMainWindowClosed();
}

void CMDIFrameWnd::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMDIFrameWnd::dropEvent(QDropEvent* event)
{
    // Dropped files open as documents; the open-document limit does not apply.
    CWinApp* app = CWinApp::Instance();
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile() && app)
            app->OpenDocumentFile(ResolveShownPath(url.toLocalFile()));   // names that are not UTF-8 too
    }
    event->acceptProposedAction();
}

} // namespace quorrel::platform
