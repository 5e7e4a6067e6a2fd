#include "MDIChildWnd.h"

#include "Document.h"
#include "MDIFrameWnd.h"
#include "ScrollView.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMenu>
#include <QTimer>

namespace quorrel::platform {

CMDIChildWnd::CMDIChildWnd()
{
    setAttribute(Qt::WA_DeleteOnClose);
    // The window's own menu would take Ctrl+W and Ctrl+F4 too, and two
    // owners of one key leave it to neither: File > Close has them, and
    // closes the document the way Close does.
    if (QMenu* menu = systemMenu())
        for (QAction* action : menu->actions())
            action->setShortcuts({});
    // Maximising or restoring changes the main window's caption form; Qt
    // rewrites the caption itself first, so ours follows on the next pass.
    connect(this, &QMdiSubWindow::windowStateChanged, this, [this] {
        QTimer::singleShot(0, this, [this] {
            if (auto* frame = qobject_cast<CMDIFrameWnd*>(window()))
                frame->OnUpdateFrameTitle();
        });
    });
}

CMDIChildWnd::~CMDIChildWnd() = default;

CDocument* CMDIChildWnd::GetActiveDocument() const
{
    return m_pView ? m_pView->GetDocument() : nullptr;
}

void CMDIChildWnd::SetView(CScrollView* view)
{
    m_pView = view;
    view->m_pFrame = this;
    setWidget(view);
}

void CMDIChildWnd::OnUpdateFrameTitle()
{
    const CDocument* doc = GetActiveDocument();
    if (!doc)
        return;
    QString title = doc->GetTitle();
    const auto& views = doc->GetViews();
    if (views.size() > 1) {
        const auto it = std::find(views.begin(), views.end(), m_pView);
        title += QStringLiteral(":%1").arg(it - views.begin() + 1);
    }
    if (m_pView)
        title += m_pView->TitleNote();
    setWindowTitle(title);
}

void CMDIChildWnd::DestroyFromDocument()
{
    if (m_bDestroying)
        return;
    m_bDestroying = true;
    hide();
    if (QMdiArea* area = mdiArea()) {
        // Out of the window list at once; owned by the main window until
        // the event loop deletes it, so nothing leaks if it never runs again.
        QWidget* owner = area->window();
        area->removeSubWindow(this);
        setParent(owner);
        hide();
    }
    deleteLater();
}

void CMDIChildWnd::closeEvent(QCloseEvent* event)
{
    if (m_bDestroying) {
        event->accept();
        return;
    }
    CDocument* doc = GetActiveDocument();
    if (!doc) {
        event->accept();
        return;
    }
    if (doc->GetViews().size() > 1) {
        // Another window still shows the document: only this one goes.
        event->accept();
        m_pView->setParent(nullptr);
        delete m_pView;
        m_pView = nullptr;
        for (CScrollView* view : doc->GetViews())
            if (view->GetParentFrame())
                view->GetParentFrame()->OnUpdateFrameTitle();
        return;
    }
    event->ignore();
    if (doc->SaveModified())
        doc->OnCloseDocument();
}

} // namespace quorrel::platform
