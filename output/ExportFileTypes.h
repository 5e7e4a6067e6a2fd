#pragma once
// The export dialog's file types and the rules around the chosen name.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <span>

namespace quorrel::output {

struct CExportFileType {
    QString description;   // "Bitmap image"
    QString patterns;      // "*.bmp;*.dib"
    QString extension;     // appended when the name has none: "bmp"
};

// Bitmap, JPEG, PNG, GIF and TIFF, in the dialog's order; the dialog counts
// them from 1.
std::span<const CExportFileType> ExportFileTypes();

// The file type a new view preselects: "Bitmap image".
inline constexpr uint32_t kFirstExportFilterIndex = 1;

QString ExportDialogTitle();         // "Export Image"
QString DefaultExportExtension();    // "bmp"

// The file type with that 1-based index, or the first for an index out of
// range.
const CExportFileType& ExportFileType(uint32_t filterIndex);

// Qt's name filters: "Bitmap image (*.bmp *.dib)", ...
QStringList ExportNameFilters();

// The 1-based index of a name filter from ExportNameFilters(), 0 if unknown.
uint32_t ExportFilterIndexOf(const QString& nameFilter);

// The 1-based index of the file type whose patterns hold the extension of
// `path` ("x.PNG" -> 3), 0 when none does.
uint32_t ExportFilterIndexOfPath(const QString& path);

// The file type last chosen in any export dialog of this run, which the
// next dialog and every new view offer first; kFirstExportFilterIndex
// before the first choice.
uint32_t LastExportFilterIndex();
void RememberExportFilterIndex(uint32_t filterIndex);

// The proposed file name: the document's title cut before its last "."
// ("sky.wpp" -> "sky", "my.tile.wpp" -> "my.tile", "Untitled" unchanged).
QString InitialExportName(const QString& documentTitle);

// `path` with "." and the file type's extension appended when its last
// component has no extension; otherwise unchanged (the extension, not the
// file type, decides the format).
QString CompleteExportPath(const QString& path, uint32_t filterIndex);

} // namespace quorrel::output
