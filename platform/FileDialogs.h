#pragma once
// The common open and save dialogs, replaceable so tests can pick a path.

#include <QString>
#include <QStringList>

#include <functional>

class QFileDialog;
class QWidget;

namespace quorrel::platform {

struct FileDialogRequest {
    bool save = false;
    QString title;           // "Open" or "Save As"
    QStringList filters;     // "Quorrel Files (*.wpp)", "All Files (*.*)"
    QString suggestedName;   // save only
    QString directory;       // where it opens; AskForFile fills in LastUsedFolder()
};

// The folder of the file last chosen in one of the editor's file dialogs
// (Open, Save As, the exports) in this run, where the next one opens; empty
// before the first choice.
QString LastUsedFolder();
void RememberFolderOf(const QString& path);
// LastUsedFolder(), else `fallback` when that is a folder, else the home folder.
QString StartFolder(const QString& fallback = {});

// The file list's columns wide enough for their contents (the date is not
// cut), the name taking the rest of the width.
void FitFileDialogColumns(QFileDialog& dialog);

// Returns the chosen path, or an empty string when the user cancelled.
using FileDialogHandler = std::function<QString(const FileDialogRequest&)>;

void SetFileDialogHandler(FileDialogHandler handler);
QString AskForFile(QWidget* parent, const FileDialogRequest& request);

// Sets `dialog` up for `request`. "All Files (*.*)" lists every file, also
// those without an extension.
void PrepareFileDialog(QFileDialog& dialog, const FileDialogRequest& request);

} // namespace quorrel::platform
