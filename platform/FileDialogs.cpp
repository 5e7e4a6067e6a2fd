#include "FileDialogs.h"

#include "NativePath.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>

namespace quorrel::platform {

namespace {

FileDialogHandler& Handler()
{
    static FileDialogHandler handler;
    return handler;
}

// The patterns a filter stands for, as the file list applies them: "*.*"
// means every file, also one without an extension.
QStringList PatternsOf(const QString& filter)
{
    const qsizetype open = filter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = filter.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open)
        return {};
    QStringList patterns = filter.mid(open + 1, close - open - 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (QString& pattern : patterns)
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
    return patterns;
}

void ApplyFilter(QFileDialog& dialog, const QString& filter)
{
    if (auto* model = dialog.findChild<QFileSystemModel*>())
        model->setNameFilters(PatternsOf(filter));
}

} // namespace

void SetFileDialogHandler(FileDialogHandler handler) { Handler() = std::move(handler); }

void PrepareFileDialog(QFileDialog& dialog, const FileDialogRequest& request)
{
    // Qt's own dialog on every desktop: the one whose file list follows the
    // filters' meaning here.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowTitle(request.title);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(request.filters);
    if (request.save && !request.suggestedName.isEmpty())
        dialog.selectFile(request.suggestedName);
    // Whenever a filter is chosen (by the user or by a call) the dialog sets
    // its own patterns first; ours follow once it has.
    ApplyFilter(dialog, dialog.selectedNameFilter());
    if (auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
        QObject::connect(types, &QComboBox::currentIndexChanged, &dialog,
                         [&dialog] { ApplyFilter(dialog, dialog.selectedNameFilter()); }, Qt::QueuedConnection);
}

QString AskForFile(QWidget* parent, const FileDialogRequest& request)
{
    // Names that are not UTF-8 come back with U+FFFD in them: find the real ones.
    if (Handler())
        return ResolveShownPath(Handler()(request));
    QFileDialog dialog(parent);
    PrepareFileDialog(dialog, request);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return ResolveShownPath(dialog.selectedFiles().value(0));
}

} // namespace quorrel::platform
