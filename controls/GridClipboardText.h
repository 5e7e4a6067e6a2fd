#pragma once

// The plain-text form of grid cells on the clipboard: rows separated by line
// feeds, cells by tabs; pasted text may also separate cells by commas.

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

namespace quorrel::controls {

struct GridCellRange final {
    int minRow = -1;
    int minCol = -1;
    int maxRow = -1;
    int maxCol = -1;
    bool IsValid() const { return minRow >= 0 && minCol >= 0 && maxRow >= minRow && maxCol >= minCol; }
};

// Text of the rectangle `range`: a selected cell gives its text (a blank for
// an empty one), an unselected one nothing; tabs between cells, line feeds
// between rows.
QString BuildClipboardText(const GridCellRange& range, const std::function<bool(int, int)>& isSelected,
                           const std::function<QString(int, int)>& textAt);

// Splits pasted text into lines and each line into trimmed pieces at tabs and
// commas. Empty pieces between separators are skipped, so a blank cell is
// carried as a blank and a trailing line feed adds no line.
QVector<QStringList> ParseClipboardText(const QString& text);

} // namespace quorrel::controls
