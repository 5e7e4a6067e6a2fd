#pragma once
// The multiple-document main window: an MDI area for the document windows,
// the command router with one action per command id, toolbar and status bar
// toggles, the window commands and the caption with the active document.

#include "CmdTarget.h"
#include "CommandInfo.h"
#include "CommandRouter.h"

#include <QMainWindow>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QTimer>

#include <vector>

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace quorrel::platform {

class CDocument;
class CMDIChildWnd;
class CScrollView;

// Window > Cascade: `count` windows in an area of `area`, each `step` lower
// and to the right of the one before (less when they would not fit), all of
// the area's size less the other windows' offsets.
QList<QRect> CascadeRects(QSize area, int count, int step);

class CMDIFrameWnd : public QMainWindow, public CCmdTarget {
    Q_OBJECT
public:
    CMDIFrameWnd();
    ~CMDIFrameWnd() override;

    QMdiArea* MdiArea() const { return m_pMdiArea; }
    CCommandRouter& Router() { return m_router; }

    CMDIChildWnd* MDIGetActive() const;
    CScrollView* GetActiveView() const;
    CDocument* GetActiveDocument() const;

    // Creates an action for every command and makes its keys live in this
    // window whether or not a document is open.
    void AddCommands(const std::vector<CommandInfo>& table);
    QAction* Action(int id) const { return m_router.Action(id); }

    // Adds the command's action, or a separator for id 0.
    void AddMenuItems(QMenu* menu, std::initializer_list<int> ids);

    void SetIdleMessage(const QString& text);
    const QString& IdleMessage() const { return m_strIdleMessage; }
    // A short message of what a command did (the file it wrote), shown in
    // place of the idle text for `ms` milliseconds; the prompts of menus
    // and buttons pass over it and it comes back after them.
    static constexpr int kNoticeMs = 10000;
    void ShowNotice(const QString& text, int ms = kNoticeMs);
    const QString& Notice() const { return m_strNotice; }

    void OnUpdateFrameTitle();

protected:
    // Called when the active document window changes (also to none).
    virtual void OnActiveChildChanged();
    void SetControlBars(QToolBar* toolBar) { m_pToolBar = toolBar; }
    // Replaces the list of windows at the end of a Window menu.
    void FillWindowList(QMenu* menu);

    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    std::vector<CCmdTarget*> Route() const;
    void OnNewWindow();
    void Cascade();
    void CarryMaximizedState(QMdiSubWindow* activated);
    void OnChildWindowStateChanged(Qt::WindowStates old, Qt::WindowStates now);

    QMdiArea* m_pMdiArea;
    CCommandRouter m_router;
    QToolBar* m_pToolBar = nullptr;
    QString m_strIdleMessage;
    QString m_strNotice;
    QTimer m_noticeTimer;
    // The document window active last, and whether it was maximised then.
    QPointer<QMdiSubWindow> m_pLastActive;
    bool m_bLastActiveMaximized = false;
};

} // namespace quorrel::platform
