#include "RotationInterval.h"

#include <array>
#include <utility>

namespace quorrel::output::rotation {

namespace {
constexpr std::array<std::pair<char16_t, int>, 4> kUnits{{{u'd', 86400}, {u'h', 3600}, {u'm', 60}, {u's', 1}}};
}

std::optional<int> ParseInterval(const QString& text, QString& error)
{
    const QString reason =
        QStringLiteral("the interval takes a number with a unit, s, m, h or d (30m, 2h, 1d, 1h30m), from 1s to 30d, "
                       "not '%1'")
            .arg(text);
    long long total = 0;
    qsizetype i = 0;
    const QString lower = text.trimmed().toLower();
    qsizetype lastUnit = -1;   // units must come largest first, each once
    if (lower.isEmpty()) {
        error = reason;
        return std::nullopt;
    }
    while (i < lower.size()) {
        long long number = 0;
        const qsizetype start = i;
        while (i < lower.size() && lower[i] >= u'0' && lower[i] <= u'9') {
            number = number * 10 + (lower[i].unicode() - u'0');
            if (number > kLongestIntervalSeconds) {
                error = reason;
                return std::nullopt;
            }
            ++i;
        }
        if (i == start || i == lower.size()) {
            error = reason;
            return std::nullopt;
        }
        qsizetype unit = 0;
        while (unit < qsizetype(kUnits.size()) && kUnits[unit].first != lower[i])
            ++unit;
        if (unit == qsizetype(kUnits.size()) || unit <= lastUnit) {
            error = reason;
            return std::nullopt;
        }
        lastUnit = unit;
        total += number * kUnits[unit].second;
        if (total > kLongestIntervalSeconds) {
            error = reason;
            return std::nullopt;
        }
        ++i;
    }
    if (total < kShortestIntervalSeconds) {
        error = reason;
        return std::nullopt;
    }
    return int(total);
}

QString FormatInterval(int seconds)
{
    QString text;
    for (const auto& [unit, length] : kUnits) {
        if (seconds >= length) {
            text += QString::number(seconds / length) + QChar(unit);
            seconds %= length;
        }
    }
    return text.isEmpty() ? QStringLiteral("0s") : text;
}

} // namespace quorrel::output::rotation
