#pragma once
// Turns command ids into actions and offers each command along the route
// view -> document -> document window -> main frame -> application. Update
// rules run when a menu opens, at idle time after input, window changes and
// every change that comes from elsewhere (timers, sockets, deferred calls),
// and again just before a key is matched against the shortcuts, so a key
// never meets a stale state. A command that its rule disables does nothing,
// whether it comes from a menu, a button or a key.

#include "CmdTarget.h"
#include "CommandInfo.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <map>
#include <vector>

class QAction;
class QKeyEvent;
class QMenu;

namespace quorrel::platform {

// Whether `key` comes from the numeric keypad: the keypad flag where the
// platform sets it (xcb), else the native key symbol, which is a keypad
// symbol (0xFF80..0xFFBD, KP_Space to KP_Equal) on X11 and Wayland alike
// although Wayland delivers KP_Add as a plain "+".
bool IsKeypadKey(const QKeyEvent& key);

class CCommandRouter final : public QObject {
    Q_OBJECT
public:
    using Route = std::function<std::vector<CCmdTarget*>()>;

    explicit CCommandRouter(QObject* parent = nullptr);

    void SetRoute(Route route) { m_route = std::move(route); }

    // Creates the action of a command; it triggers Execute(info.id).
    QAction* AddCommand(const CommandInfo& info, QObject* owner);
    QAction* Action(int id) const;
    std::vector<int> CommandIds() const;

    // The first update rule on the route decides; without one a command is
    // enabled when some target on the route handles it.
    CCmdUI QueryState(int id) const;
    // Runs the first handler on the route; returns false when the command
    // is disabled or nobody handles it.
    bool Execute(int id);

    void UpdateActions();
    void UpdateMenu(QMenu* menu);
    // Schedules UpdateActions for the next pass of the event loop.
    void RequestIdleUpdate();

signals:
    void commandExecuted(int id);
    // After every pass of the update rules (idle time, keys, menus).
    void actionsUpdated();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Apply(QAction* action, const CCmdUI& ui);
    // A numeric-keypad key that reached a widget as a plain key press (the
    // X11 platform never matches keypad shortcuts, the Wayland platform
    // drops the keypad flag): runs the command whose keys hold it, when its
    // action is live in that widget's window.
    bool HandleKeypadKey(QObject* watched, const QKeyEvent& key);

    Route m_route;
    std::map<int, QAction*> m_actions;
    QTimer m_idle;
};

} // namespace quorrel::platform
