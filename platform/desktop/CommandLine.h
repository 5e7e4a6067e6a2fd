#pragma once
// The editor's command line: no argument (a new document), file names to
// open, or the print switches that print a document without showing the
// editor. Parsing is a pure function so every form can be tested.

#include <QString>
#include <QStringList>

namespace quorrel::desktop {

struct EditorCommandLine {
    enum class Action {
        NewDocument,   // no argument
        Open,          // one or more documents to open
        Print,         // print `files.front()` on the default printer
        PrintTo,       // print `files.front()` on `printer`
        ShowHelp,      // --help: print EditorUsage() and end
        ShowVersion,   // --version
        Error          // `error` says what is wrong; print it with the usage
    };

    Action action = Action::NewDocument;
    QStringList files;
    QString printer;
    QString error;
};

// `arguments` excludes the program name (QCoreApplication::arguments().mid(1),
// after Qt has taken its own options out).
EditorCommandLine ParseEditorCommandLine(const QStringList& arguments);

// The text of --help.
QString EditorUsage();

// The text of --version.
QString EditorVersion();

} // namespace quorrel::desktop
