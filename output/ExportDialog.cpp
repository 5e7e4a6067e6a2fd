#include "ExportDialog.h"

#include "ExportFileTypes.h"

#include <QFileDialog>

namespace quorrel::output {

std::optional<CExportChoice> CFileDialogChooser::Choose(QWidget* parent, const CExportDialogSetup& setup)
{
    QFileDialog dialog(parent, setup.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!setup.directory.isEmpty())
        dialog.setDirectory(setup.directory);
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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
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
    return setup;
}

std::optional<QString> ChooseExportPath(QWidget* parent, const QString& documentTitle, uint32_t& filterIndex,
                                        IExportFileChooser& chooser)
{
    const std::optional<CExportChoice> choice = chooser.Choose(parent, MakeExportDialogSetup(documentTitle, filterIndex));
    if (!choice)
        return std::nullopt;
    filterIndex = choice->filterIndex;
    return CompleteExportPath(choice->path, choice->filterIndex);
}

} // namespace quorrel::output
