#include "controls/GridClipboardText.h"

namespace quorrel::controls {

QString BuildClipboardText(const GridCellRange& range, const std::function<bool(int, int)>& isSelected,
                           const std::function<QString(int, int)>& textAt)
{
    QString out;
    if (!range.IsValid())
        return out;
    for (int row = range.minRow; row <= range.maxRow; ++row) {
        for (int col = range.minCol; col <= range.maxCol; ++col) {
            if (isSelected(row, col)) {
                const QString text = textAt(row, col);
                out += text.isEmpty() ? QStringLiteral(" ") : text;
            }
            if (col != range.maxCol)
                out += QLatin1Char('\t');
        }
        if (row != range.maxRow)
            out += QLatin1Char('\n');
    }
    return out;
}

QVector<QStringList> ParseClipboardText(const QString& text)
{
    QVector<QStringList> lines;
    const QStringList rawLines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < rawLines.size(); ++i) {
        QStringList pieces;
        QString piece;
        bool any = false;
        auto flush = [&] {
            if (any)
                pieces << piece.trimmed();
            piece.clear();
            any = false;
        };
        for (QChar c : rawLines[i]) {
            if (c == QLatin1Char('\t') || c == QLatin1Char(',')) {
                flush();
            } else {
                piece += c;
                any = true;
            }
        }
        flush();
        // A trailing line feed ends the text; it does not add a line.
        if (i == rawLines.size() - 1 && pieces.isEmpty())
            break;
        lines.push_back(pieces);
    }
    return lines;
}

} // namespace quorrel::controls
