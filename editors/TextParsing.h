#pragma once
// Number parsing of the edit boxes and grid cells: each reads a number from
// the start of the text and stops at the first character that does not
// belong to it, so "200px" reads as 200. Reading and writing follow no
// locale: a point is the decimal separator and no digits are grouped,
// whatever the user's language, so a text written is read back as the
// same value.

#include <QString>

#include <cstdint>
#include <optional>

namespace quorrel::editors {

// Leading blanks, an optional sign, then digits. Empty when no digit follows.
// The value keeps its sign, so "-5" gives -5 (out of any unsigned range);
// very long numbers saturate.
std::optional<int64_t> ParseUnsignedText(const QString& text);

// The same reading as a signed 32-bit integer; text without digits gives 0,
// values beyond the 32-bit range saturate.
int32_t ParseIntText(const QString& text);

// A decimal number with a point as separator, read from the start of the
// text; text that is not a number gives 0.
double ParseDoubleText(const QString& text);

// A correlation entry as the Correlations page shows it: two decimals after
// a point ("0.50", "-1.25"), or empty text for 0.
QString CorrelationText(double value);

} // namespace quorrel::editors
