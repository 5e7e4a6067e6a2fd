#include "ExportFileTypes.h"

#include "ImageEncoders.h"

#include <QCoreApplication>

#include <array>

namespace quorrel::output {

namespace {

const std::array<CExportFileType, 5>& Table()
{
    static const std::array<CExportFileType, 5> table = {
        CExportFileType{QStringLiteral(QT_TRANSLATE_NOOP("ExportDialog", "Bitmap image")), QStringLiteral("*.bmp;*.dib"), QStringLiteral("bmp")},
        CExportFileType{QStringLiteral(QT_TRANSLATE_NOOP("ExportDialog", "JPEG image")), QStringLiteral("*.jpeg;*.jpg;*.jpe;*.jfif"), QStringLiteral("jpg")},
        CExportFileType{QStringLiteral(QT_TRANSLATE_NOOP("ExportDialog", "PNG image")), QStringLiteral("*.png"), QStringLiteral("png")},
        CExportFileType{QStringLiteral(QT_TRANSLATE_NOOP("ExportDialog", "GIF image")), QStringLiteral("*.gif"), QStringLiteral("gif")},
        CExportFileType{QStringLiteral(QT_TRANSLATE_NOOP("ExportDialog", "TIFF image")), QStringLiteral("*.tif;*.tiff"), QStringLiteral("tif")},
    };
    return table;
}

QString NameFilter(const CExportFileType& type)
{
    QString patterns = type.patterns;
    // The description in the user's language (the table holds the source).
    return QCoreApplication::translate("ExportDialog", type.description.toUtf8().constData()) + QStringLiteral(" (")
        + patterns.replace(u';', u' ') + u')';
}

} // namespace

std::span<const CExportFileType> ExportFileTypes() { return Table(); }

QString ExportDialogTitle() { return QCoreApplication::translate("ExportDialog", "Export Image"); }

QString DefaultExportExtension() { return QStringLiteral("bmp"); }

const CExportFileType& ExportFileType(uint32_t filterIndex)
{
    if (filterIndex < 1 || filterIndex > Table().size())
        filterIndex = kFirstExportFilterIndex;
    return Table()[filterIndex - 1];
}

QStringList ExportNameFilters()
{
    QStringList filters;
    for (const CExportFileType& type : Table())
        filters << NameFilter(type);
    return filters;
}

uint32_t ExportFilterIndexOf(const QString& nameFilter)
{
    const qsizetype index = ExportNameFilters().indexOf(nameFilter);
    return index < 0 ? 0 : static_cast<uint32_t>(index + 1);
}

uint32_t ExportFilterIndexOfPath(const QString& path)
{
    const QString extension = FileExtension(path).toLower();   // ".png"
    if (extension.size() < 2)
        return 0;
    for (size_t i = 0; i < Table().size(); ++i)
        if (Table()[i].patterns.split(u';').contains(u'*' + extension))
            return static_cast<uint32_t>(i + 1);
    return 0;
}

namespace {
uint32_t& LastIndex()
{
    static uint32_t index = kFirstExportFilterIndex;
    return index;
}
} // namespace

uint32_t LastExportFilterIndex() { return LastIndex(); }

void RememberExportFilterIndex(uint32_t filterIndex)
{
    if (filterIndex >= 1 && filterIndex <= Table().size())
        LastIndex() = filterIndex;
}

QString InitialExportName(const QString& documentTitle)
{
    const qsizetype dot = documentTitle.lastIndexOf(u'.');
    return dot < 0 ? documentTitle : documentTitle.left(dot);
}

QString CompleteExportPath(const QString& path, uint32_t filterIndex)
{
    if (!FileExtension(path).isEmpty())
        return path;
    return path + u'.' + ExportFileType(filterIndex).extension;
}

} // namespace quorrel::output
