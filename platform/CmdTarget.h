#pragma once
// A receiver of commands: a table of command handlers and update rules,
// registered by id (the counterpart of a message map).

#include <QString>

#include <functional>
#include <map>

namespace quorrel::platform {

// The state an update rule sets for one command.
class CCmdUI final {
public:
    explicit CCmdUI(int id) : m_nID(id) {}
    void Enable(bool enable = true) { m_bEnabled = enable; }
    // Disabled, with the reason added to the command's status prompt and
    // tooltip, so a greyed command says what it waits for.
    void Disable(const QString& why)
    {
        m_bEnabled = false;
        m_strWhyDisabled = why;
    }
    void SetCheck(bool check = true)
    {
        m_bChecked = check;
        m_bCheckable = true;
    }

    int m_nID;
    bool m_bEnabled = true;
    bool m_bChecked = false;
    bool m_bCheckable = false;
    QString m_strWhyDisabled;
};

class CCmdTarget {
public:
    using Handler = std::function<void()>;
    using UpdateRule = std::function<void(CCmdUI&)>;

    virtual ~CCmdTarget() = default;

    bool HasHandler(int id) const { return m_handlers.contains(id); }
    bool HasUpdateRule(int id) const { return m_rules.contains(id); }
    void Invoke(int id) const { m_handlers.at(id)(); }
    void Update(CCmdUI& ui) const { m_rules.at(ui.m_nID)(ui); }

protected:
    void OnCommand(int id, Handler handler) { m_handlers[id] = std::move(handler); }
    void OnUpdateCommand(int id, UpdateRule rule) { m_rules[id] = std::move(rule); }

private:
    std::map<int, Handler> m_handlers;
    std::map<int, UpdateRule> m_rules;
};

} // namespace quorrel::platform
