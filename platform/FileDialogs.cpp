#include "FileDialogs.h"

#include "NativePath.h"

#include <QComboBox>
#include <QFileDialog>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTreeView>

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

QString& LastFolder()
{
    static QString folder;
    return folder;
}

} // namespace

QString LastUsedFolder() { return LastFolder(); }

void RememberFolderOf(const QString& path)
{
    if (path.isEmpty())
        return;
    const QString folder = QFileInfo(path).absolutePath();
    if (QFileInfo(folder).isDir())
        LastFolder() = folder;
}

QString StartFolder(const QString& fallback)
{
    if (!LastFolder().isEmpty() && QFileInfo(LastFolder()).isDir())
        return LastFolder();
    if (!fallback.isEmpty() && QFileInfo(fallback).isDir())
        return fallback;
    return QDir::homePath();
}

void FitFileDialogColumns(QFileDialog& dialog)
{
    auto* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!list)
        return;
    QHeaderView* header = list->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
}

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
    if (!request.directory.isEmpty())
        dialog.setDirectory(request.directory);
    FitFileDialogColumns(dialog);
    if (request.save && !request.suggestedName.isEmpty())
        dialog.selectFile(request.suggestedName);
    // Whenever a filter is chosen (by the user or by a call) the dialog sets
    // its own patterns first; ours follow once it has.
    ApplyFilter(dialog, dialog.selectedNameFilter());
    if (auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
        QObject::connect(types, &QComboBox::currentIndexChanged, &dialog,
                         [&dialog] { ApplyFilter(dialog, dialog.selectedNameFilter()); }, Qt::QueuedConnection);
}

QString AskForFile(QWidget* parent, const FileDialogRequest& asked)
{
    FileDialogRequest request = asked;
    if (request.directory.isEmpty())
        request.directory = StartFolder();
    // Names that are not UTF-8 come back with U+FFFD in them: find the real ones.
    QString chosen;
    if (Handler()) {
        chosen = ResolveShownPath(Handler()(request));
    } else {
        QFileDialog dialog(parent);
        PrepareFileDialog(dialog, request);
        if (dialog.exec() == QDialog::Accepted)
            chosen = ResolveShownPath(dialog.selectedFiles().value(0));
    }
    RememberFolderOf(chosen);
    return chosen;
}

} // namespace quorrel::platform
