#include "FileDialogs.h"

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
    if (Handler())
        return Handler()(request);
    const QString filter = request.filters.join(QStringLiteral(";;"));
    if (request.save)
        return QFileDialog::getSaveFileName(parent, request.title, request.suggestedName, filter);
    return QFileDialog::getOpenFileName(parent, request.title, QString(), filter);
}

} // namespace quorrel::platform
