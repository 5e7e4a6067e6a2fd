#include "EditorStartup.h"

#include "SingleInstance.h"

#include <QTextStream>

namespace quorrel::desktop {

StartupDecision DecideStartup(const QStringList& arguments, SingleInstance& instance, QTextStream& out,
                              QTextStream& err)
{
    StartupDecision decision;
    decision.commandLine = ParseEditorCommandLine(arguments);
    using Action = EditorCommandLine::Action;
    switch (decision.commandLine.action) {
    case Action::ShowHelp:
        out << EditorUsage();
        out.flush();
        decision.quit = true;
        return decision;
    case Action::ShowVersion:
        out << EditorVersion();
        out.flush();
        decision.quit = true;
        return decision;
    case Action::Error:
        err << "quorrel: " << decision.commandLine.error << "\n"
            << "Try 'quorrel --help' for more information.\n";
        err.flush();
        decision.quit = true;
        decision.exitCode = 2;
        return decision;
    case Action::Open:
        if (instance.SendToRunning(decision.commandLine.files)) {
            decision.quit = true;
            return decision;
        }
        instance.Listen();
        return decision;
    case Action::NewDocument:
        // A start without files is an editor of its own; it serves later
        // starts unless another editor already does.
        instance.Listen();
        return decision;
    case Action::Print:
    case Action::PrintTo:
        return decision;
    }
    return decision;
}

} // namespace quorrel::desktop
