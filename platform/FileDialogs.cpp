#include "FileDialogs.h"

#include "NativePath.h"

#include <QFileDialog>

namespace quorrel::platform {

namespace {
FileDialogHandler& Handler()
{
    static FileDialogHandler handler;
    return handler;
}
}

void SetFileDialogHandler(FileDialogHandler handler) { Handler() = std::move(handler); }

QString AskForFile(QWidget* parent, const FileDialogRequest& request)
{
    // Names that are not UTF-8 come back with U+FFFD in them: find the real ones.
    if (Handler())
        return ResolveShownPath(Handler()(request));
    const QString filter = request.filters.join(QStringLiteral(";;"));
    if (request.save)
        return ResolveShownPath(QFileDialog::getSaveFileName(parent, request.title, request.suggestedName, filter));
    return ResolveShownPath(QFileDialog::getOpenFileName(parent, request.title, QString(), filter));
}

} // namespace quorrel::platform
