#include "CommandRouter.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QRegularExpression>
#include <QWidget>

namespace quorrel::platform {

namespace {
constexpr const char* kPromptProperty = "quorrelPrompt";
constexpr const char* kTooltipProperty = "quorrelTooltip";
} // namespace

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
    // A button shows the command's name: the menu text without its
    // mnemonic and keys.
    QString name = info.menuText.isEmpty() ? info.tooltip : info.menuText;
    action->setIconText(name.remove(QRegularExpression(QStringLiteral("&(?!&)"))).replace(QStringLiteral("&&"),
                                                                                          QStringLiteral("&")));
    action->setShortcuts(info.keys);
    action->setStatusTip(info.prompt);
    action->setToolTip(info.tooltip);
    action->setData(info.id);
    // The command's own texts, which a disabled state may extend.
    action->setProperty(kPromptProperty, info.prompt);
    action->setProperty(kTooltipProperty, info.tooltip);
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
    const QString prompt = action->property(kPromptProperty).toString();
    const QString tooltip = action->property(kTooltipProperty).toString();
    const bool why = !ui.m_bEnabled && !ui.m_strWhyDisabled.isEmpty();
    const QString wantedPrompt = why ? prompt + QStringLiteral(" (") + ui.m_strWhyDisabled + QLatin1Char(')') : prompt;
    const QString wantedTooltip = why ? tooltip + QStringLiteral(": ") + ui.m_strWhyDisabled : tooltip;
    if (action->property(kPromptProperty).isValid() && action->statusTip() != wantedPrompt)
        action->setStatusTip(wantedPrompt);
    if (action->property(kTooltipProperty).isValid() && action->toolTip() != wantedTooltip)
        action->setToolTip(wantedTooltip);
    if (ui.m_bCheckable || action->isCheckable()) {
        action->setCheckable(true);
        action->setChecked(ui.m_bChecked);
    }
}

void CCommandRouter::UpdateActions()
{
    for (const auto& [id, action] : m_actions)
        Apply(action, QueryState(id));
    emit actionsUpdated();
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

namespace {
// The keypad's key symbols of the X keyboard extension, which both the xcb
// and the Wayland platform hand on as the native virtual key.
constexpr quint32 kFirstKeypadSymbol = 0xFF80;   // KP_Space
constexpr quint32 kLastKeypadSymbol = 0xFFBD;    // KP_Equal
} // namespace

bool IsKeypadKey(const QKeyEvent& key)
{
    if (key.modifiers() & Qt::KeypadModifier)
        return true;
    const quint32 symbol = key.nativeVirtualKey();
    return symbol >= kFirstKeypadSymbol && symbol <= kLastKeypadSymbol;
}

bool CCommandRouter::HandleKeypadKey(QObject* watched, const QKeyEvent& key)
{
    if (!IsKeypadKey(key))
        return false;
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget)
        return false;
    // Matched as the keypad key it is, whatever flags the platform set.
    const QKeySequence pressed(QKeyCombination(key.modifiers() | Qt::KeypadModifier, Qt::Key(key.key())));
    const QWidget* window = widget->window();
    for (const auto& [id, action] : m_actions) {
        if (!action->shortcuts().contains(pressed))
            continue;
        // The keys are live where the action is, as with a window shortcut.
        for (QObject* object : action->associatedObjects()) {
            auto* owner = qobject_cast<QWidget*>(object);
            if (owner && !qobject_cast<QMenu*>(owner) && owner->window() == window) {
                // A disabled command swallows its key and does nothing.
                Execute(id);
                return true;
            }
        }
    }
    return false;
}

bool CCommandRouter::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Sent before the key is matched against the shortcuts: bring every
        // action in line first, so that a change nobody announced (a timer
        // tick, a deferred call) never leaves a key on a stale disabled
        // action. A pass costs a few microseconds; it runs again as the
        // event travels on to the parents, which does no harm.
        UpdateActions();
        break;
    case QEvent::KeyPress:
        if (HandleKeypadKey(watched, *static_cast<QKeyEvent*>(event)))
            return true;
        break;
    // Idle time comes after input and window changes, and after whatever
    // else can change what the rules look at without input: timer ticks,
    // socket activity (files handed over by a second start) and deferred
    // calls. The update timer's own tick does not count.
    case QEvent::Timer:
        if (watched != &m_idle)
            RequestIdleUpdate();
        break;
    case QEvent::KeyRelease:
    case QEvent::MouseButtonRelease:
    case QEvent::FocusIn:
    case QEvent::WindowActivate:
    case QEvent::Show:
    case QEvent::Close:
    case QEvent::SockAct:
    case QEvent::MetaCall:
        RequestIdleUpdate();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quorrel::platform
