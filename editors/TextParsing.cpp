#include "TextParsing.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace quorrel::editors {

namespace {

constexpr int64_t kSaturation = int64_t(1) << 40;

bool IsBlank(QChar ch)
{
    return ch == u' ' || ch == u'\t' || ch == u'\n' || ch == u'\r' || ch == u'\v' || ch == u'\f';
}

} // namespace

std::optional<int64_t> ParseUnsignedText(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    int64_t value = 0;
    bool anyDigit = false;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        anyDigit = true;
        if (value < kSaturation)
            value = value * 10 + (text[i].unicode() - u'0');
    }
    if (!anyDigit)
        return std::nullopt;
    return negative ? -value : value;
}

int32_t ParseIntText(const QString& text)
{
    const std::optional<int64_t> value = ParseUnsignedText(text);
    if (!value)
        return 0;
    if (*value > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (*value < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(*value);
}

double ParseDoubleText(const QString& text)
{
    const std::string s = text.trimmed().toStdString();
    const char* first = s.data();
    const char* last = s.data() + s.size();
    if (first != last && *first == '+')
        ++first;
    double value = 0.0;
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(value))
        return 0.0;
    return value;
}

QString CorrelationText(double value)
{
    if (value == 0.0)
        return {};
    // std::to_chars ignores the C locale, which follows the user's language
    // in a Qt program (printf would write "0,50" under a comma locale).
    char text[512];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    if (result.ec != std::errc())
        return {};
    return QString::fromLatin1(text, result.ptr - text);
}

} // namespace quorrel::editors
