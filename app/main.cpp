// quorrel: the editor.

#include "QuorrelApp.h"

#include "output/SessionBus.h"
#include "platform/NativePath.h"
#include "platform/desktop/Artwork.h"
#include "platform/desktop/DisplayFailure.h"
#include "platform/desktop/EditorStartup.h"
#include "platform/desktop/FileAssociation.h"
#include "platform/desktop/SingleInstance.h"
#include "translations/Translations.h"

#include <QApplication>
#include <QTextStream>

#include <optional>

using namespace quorrel;

int main(int argc, char** argv)
{
    // --help and --version need no display: answered before Qt looks for one.
    {
        const desktop::EditorCommandLine early =
            desktop::ParseEditorCommandLine(platform::ArgumentsFromNative(argc, argv));
        if (early.action == desktop::EditorCommandLine::Action::ShowHelp ||
            early.action == desktop::EditorCommandLine::Action::ShowVersion) {
            QTextStream out(stdout);
            out << (early.action == desktop::EditorCommandLine::Action::ShowHelp ? desktop::EditorUsage()
                                                                                 : desktop::EditorVersion());
            out.flush();
            return 0;
        }
    }
    // A bus that accepts but never answers would hold up the window (the
    // accessibility bridge connects while the application is made).
    output::GuardAgainstStalledBus();
    std::optional<desktop::DisplayFailureGuard> noDisplay(std::in_place);
    QApplication qapp(argc, argv);
    noDisplay.reset();
    // Before the first window and message: every text is looked up then.
    translations::InstallTranslators(qapp);
    QApplication::setApplicationName(QStringLiteral("Quorrel"));
    // Wayland shells find the window's icon and name through the desktop
    // entry of this id.
    QGuiApplication::setDesktopFileName(QLatin1String(desktop::kApplicationId));
    QApplication::setWindowIcon(desktop::ApplicationIcon());

    // --help, --version and malformed command lines end here; file names go
    // to an editor that is already running when there is one. File names
    // are taken byte for byte (Qt has taken its own options out of argv).
    const QStringList arguments = platform::ArgumentsFromNative(argc, argv);
    QString noSingleInstance;
    desktop::SingleInstance instance(desktop::SingleInstance::DefaultServerName(&noSingleInstance));
    QTextStream out(stdout), err(stderr);
    const desktop::StartupDecision decision = desktop::DecideStartup(arguments, instance, out, err);
    if (decision.quit)
        return decision.exitCode;

    // The print switches print the named document and end without showing
    // the editor.
    using Action = desktop::EditorCommandLine::Action;
    const desktop::EditorCommandLine& commandLine = decision.commandLine;
    if (!noSingleInstance.isEmpty() && commandLine.action != Action::Print && commandLine.action != Action::PrintTo) {
        err << "quorrel: warning: " << noSingleInstance << "\n";
        err.flush();
    }
    if (commandLine.action == Action::Print || commandLine.action == Action::PrintTo) {
        app::CQuorrelApp printing;
        return printing.PrintDocumentFile(commandLine.files.value(0), commandLine.printer) ? 0 : 1;
    }

    // Opening a ".wpp" file from the desktop starts (or reaches) this editor.
    desktop::FileAssociation(desktop::AssociationSetup::ForThisEditor()).RegisterIfMissing();

    app::CQuorrelApp app(arguments);
    QObject::connect(&instance, &desktop::SingleInstance::filesRequested, &app,
                     [&app](const QStringList& paths) { app.OpenRequestedFiles(paths); });
    if (!app.InitInstance())
        return 1;
    return QApplication::exec();
}
