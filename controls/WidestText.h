#pragma once
// The longest a number of a given form can be in a given font, for sizing
// fields and columns so that any value of that form shows in full.

#include <QFontMetrics>
#include <QString>

namespace quorrel::controls {

// `pattern` with every '9' replaced by the font's widest decimal digit and
// every 'F' by its widest upper-case hexadecimal digit; other characters
// stay. "9999, 9999" gives the widest position text, "#FFFFFF" the widest
// colour text.
QString WidestText(const QString& pattern, const QFontMetrics& metrics);

} // namespace quorrel::controls
