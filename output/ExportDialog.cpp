#include "ExportDialog.h"

#include "ExportFileTypes.h"

#include "platform/FileDialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

namespace quorrel::output {

std::optional<QString> MissingFolder(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir() || QFileInfo(info.absolutePath()).isDir())
        return std::nullopt;
    return info.absolutePath();
}

QString MissingFolderText(const QString& path)
{
    return QCoreApplication::translate("ExportDialog", "%1\nThe folder does not exist.\nCheck the path and try again.").arg(path);
}

namespace {

// The save dialog that insists on an existing folder: a name in a folder
// that does not exist keeps it open with its complaint.
class CExportFileDialog final : public QFileDialog {
public:
    CExportFileDialog(QWidget* parent, const QString& caption) : QFileDialog(parent, caption) {}

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (!files.isEmpty() && MissingFolder(files.constFirst())) {
            QMessageBox::warning(this, windowTitle(), MissingFolderText(files.constFirst()));
            return;
        }
        QFileDialog::accept();
    }
};

} // namespace

std::optional<CExportChoice> CFileDialogChooser::Choose(QWidget* parent, const CExportDialogSetup& setup)
{
    CExportFileDialog dialog(parent, setup.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!setup.directory.isEmpty())
        dialog.setDirectory(setup.directory);
    platform::FitFileDialogColumns(dialog);
    dialog.setNameFilters(setup.nameFilters);
    const int initial = static_cast<int>(setup.filterIndex) - 1;
    if (initial >= 0 && initial < setup.nameFilters.size())
        dialog.selectNameFilter(setup.nameFilters[initial]);
    // The default extension belongs to the first file type; any other type
    // preselected or picked brings its own.
    dialog.setDefaultSuffix(initial > 0 ? ExportFileType(setup.filterIndex).extension : setup.defaultExtension);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(ExportFileType(ExportFilterIndexOf(filter)).extension);
    });
    dialog.selectFile(setup.initialName);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        // A platform dialog that does not call accept() is held to the same
        // rule: complain and ask again.
        const QString chosen = dialog.selectedFiles().constFirst();
        if (!MissingFolder(chosen))
            break;
        QMessageBox::warning(parent, setup.title, MissingFolderText(chosen));
    }
    const uint32_t index = ExportFilterIndexOf(dialog.selectedNameFilter());
    return CExportChoice{dialog.selectedFiles().constFirst(), index == 0 ? setup.filterIndex : index};
}

CExportDialogSetup MakeExportDialogSetup(const QString& documentTitle, uint32_t filterIndex)
{
    CExportDialogSetup setup;
    setup.title = ExportDialogTitle();
    setup.nameFilters = ExportNameFilters();
    setup.filterIndex = filterIndex;
    setup.defaultExtension = DefaultExportExtension();
    setup.initialName = InitialExportName(documentTitle);
    setup.directory = platform::StartFolder(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation));
    return setup;
}

std::optional<QString> ChooseExportPath(QWidget* parent, const QString& documentTitle, uint32_t& filterIndex,
                                        IExportFileChooser& chooser)
{
    const std::optional<CExportChoice> choice = chooser.Choose(parent, MakeExportDialogSetup(documentTitle, filterIndex));
    if (!choice)
        return std::nullopt;
    platform::RememberFolderOf(choice->path);
    // The type written is the extension's when the name has one: the next
    // dialog lists that file.
    const uint32_t written = ExportFilterIndexOfPath(choice->path);
    filterIndex = written ? written : choice->filterIndex;
    RememberExportFilterIndex(filterIndex);
    return CompleteExportPath(choice->path, choice->filterIndex);
}

} // namespace quorrel::output
