#pragma once
// One row of an application's command table: how a command id appears in
// menus, on the toolbar, in the status bar and on the keyboard.

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
    int imageIndex = -1;        // position in the toolbar image strip, -1 for none
};

} // namespace quorrel::platform
