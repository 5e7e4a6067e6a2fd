#include "CommandRouter.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QMenu>

namespace quorrel::platform {

CCommandRouter::CCommandRouter(QObject* parent) : QObject(parent)
{
    m_idle.setSingleShot(true);
    m_idle.setInterval(0);
    connect(&m_idle, &QTimer::timeout, this, &CCommandRouter::UpdateActions);
    qApp->installEventFilter(this);
}

QAction* CCommandRouter::AddCommand(const CommandInfo& info, QObject* owner)
{
    QString text = info.menuText.isEmpty() ? info.tooltip : info.menuText;
    if (!info.shortcutText.isEmpty())
        text += QLatin1Char('\t') + info.shortcutText;
    auto* action = new QAction(text, owner);
    action->setShortcuts(info.keys);
    action->setStatusTip(info.prompt);
    action->setToolTip(info.tooltip);
    action->setData(info.id);
    connect(action, &QAction::triggered, this, [this, id = info.id] { Execute(id); });
    m_actions[info.id] = action;
    return action;
}

QAction* CCommandRouter::Action(int id) const
{
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

std::vector<int> CCommandRouter::CommandIds() const
{
    std::vector<int> ids;
    for (const auto& entry : m_actions)
        ids.push_back(entry.first);
    return ids;
}

CCmdUI CCommandRouter::QueryState(int id) const
{
    CCmdUI ui(id);
    const std::vector<CCmdTarget*> route = m_route ? m_route() : std::vector<CCmdTarget*>{};
    for (CCmdTarget* target : route) {
        if (target && target->HasUpdateRule(id)) {
            target->Update(ui);
            return ui;
        }
    }
    bool handled = false;
    for (CCmdTarget* target : route)
        handled = handled || (target && target->HasHandler(id));
    ui.Enable(handled);
    return ui;
}

bool CCommandRouter::Execute(int id)
{
    if (!QueryState(id).m_bEnabled)
        return false;
    const std::vector<CCmdTarget*> route = m_route ? m_route() : std::vector<CCmdTarget*>{};
    for (CCmdTarget* target : route) {
        if (target && target->HasHandler(id)) {
            target->Invoke(id);
            emit commandExecuted(id);
            RequestIdleUpdate();
            return true;
        }
    }
    return false;
}

void CCommandRouter::Apply(QAction* action, const CCmdUI& ui)
{
    action->setEnabled(ui.m_bEnabled);
    if (ui.m_bCheckable || action->isCheckable()) {
        action->setCheckable(true);
        action->setChecked(ui.m_bChecked);
    }
}

void CCommandRouter::UpdateActions()
{
    for (const auto& [id, action] : m_actions)
        Apply(action, QueryState(id));
}

void CCommandRouter::UpdateMenu(QMenu* menu)
{
    for (QAction* action : menu->actions()) {
        bool ok = false;
        const int id = action->data().toInt(&ok);
        if (ok && m_actions.contains(id))
            Apply(action, QueryState(id));
    }
}

void CCommandRouter::RequestIdleUpdate()
{
    if (!m_idle.isActive())
        m_idle.start();
}

bool CCommandRouter::eventFilter(QObject* watched, QEvent* event)
{
    // Idle time comes after input and window changes: that is when the
    // state the rules look at can have moved.
    switch (event->type()) {
    case QEvent::KeyRelease:
    case QEvent::MouseButtonRelease:
    case QEvent::FocusIn:
    case QEvent::WindowActivate:
    case QEvent::Show:
    case QEvent::Close:
        RequestIdleUpdate();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quorrel::platform
