#pragma once
// The interval of a desktop rotation: "30m", "2h", "1d", "90s" or a sum of
// them ("1h30m"), in whole seconds.

#include <QString>

#include <optional>

namespace quorrel::output::rotation {

inline constexpr int kShortestIntervalSeconds = 1;
inline constexpr int kLongestIntervalSeconds = 30 * 24 * 3600;

// The seconds of `text`, or nothing with a one-line reason in `error`.
std::optional<int> ParseInterval(const QString& text, QString& error);

// The shortest text ParseInterval reads back as `seconds` ("1h30m").
QString FormatInterval(int seconds);

} // namespace quorrel::output::rotation
