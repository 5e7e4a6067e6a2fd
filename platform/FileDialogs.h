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
};

// Returns the chosen path, or an empty string when the user cancelled.
using FileDialogHandler = std::function<QString(const FileDialogRequest&)>;

void SetFileDialogHandler(FileDialogHandler handler);
QString AskForFile(QWidget* parent, const FileDialogRequest& request);

// Sets `dialog` up for `request`. "All Files (*.*)" lists every file, also
// those without an extension.
void PrepareFileDialog(QFileDialog& dialog, const FileDialogRequest& request);

} // namespace quorrel::platform
