#pragma once
// One row of an application's command table: how a command id appears in
// menus, in the status bar and on the keyboard (toolbar images are painted
// by the desktop artwork, by command id).

#include <QKeySequence>
#include <QList>
#include <QString>

namespace quorrel::platform {

struct CommandInfo {
    int id = 0;
    QString menuText;           // with its "&" mnemonic; empty for key-only commands
    QString shortcutText;       // shown right of the menu text
    QList<QKeySequence> keys;   // every accelerator of the command
    QString prompt;             // status-bar text
    QString tooltip;
};

} // namespace quorrel::platform
