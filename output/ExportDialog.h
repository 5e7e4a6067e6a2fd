#pragma once
// The export command's dialog: what it is opened with, what it returns, and
// the steps around it. The dialog itself sits behind IExportFileChooser so
// tests can answer it.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

class QWidget;

namespace quorrel::output {

struct CExportDialogSetup {
    QString title;               // "Export Image"
    QStringList nameFilters;     // the five file types in order
    uint32_t filterIndex = 1;    // 1-based, preselected
    QString defaultExtension;    // "bmp"
    QString initialName;         // from the document's title
    QString directory;           // where the dialog opens; empty: its own choice
};

struct CExportChoice {
    QString path;
    uint32_t filterIndex = 1;    // 1-based file type chosen in the dialog
};

class IExportFileChooser {
public:
    virtual ~IExportFileChooser() = default;
    // Shows the dialog; nothing when it is cancelled.
    virtual std::optional<CExportChoice> Choose(QWidget* parent, const CExportDialogSetup& setup) = 0;
};

// A modal QFileDialog in save mode. It asks before overwriting an existing
// file and only accepts a name in an existing folder (otherwise it stays
// open and says so); the suffix it appends to a bare
// name follows the file type selected, so the overwrite question is asked
// for the name that will be written.
class CFileDialogChooser final : public IExportFileChooser {
public:
    std::optional<CExportChoice> Choose(QWidget* parent, const CExportDialogSetup& setup) override;
};

// The folder a chosen path would be written into, when it does not exist.
std::optional<QString> MissingFolder(const QString& path);
// The warning for such a path.
QString MissingFolderText(const QString& path);

CExportDialogSetup MakeExportDialogSetup(const QString& documentTitle, uint32_t filterIndex);

// The export dialog's whole logic: opens the chooser with the view's filter
// index and the name from the document's title; on OK stores the chosen
// file type in `filterIndex` and returns the path, completed with the file
// type's extension when it has none. On cancel returns nothing and leaves
// `filterIndex` alone.
std::optional<QString> ChooseExportPath(QWidget* parent, const QString& documentTitle, uint32_t& filterIndex,
                                        IExportFileChooser& chooser);

} // namespace quorrel::output
