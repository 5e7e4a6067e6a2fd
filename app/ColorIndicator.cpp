#include "ColorIndicator.h"

#include <QFontDatabase>

#include <cstdio>

namespace quorrel::app {

QString PixelColorText(uint32_t color)
{
    const unsigned r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    // Precision 0 prints a zero channel as blanks; the blanks become zeros.
    char text[16] = {};
    std::snprintf(text, sizeof text, "#%2.X%2.X%2.X", r, g, b);
    return QString::fromLatin1(text).replace(QLatin1Char(' '), QLatin1Char('0'));
}

uint32_t PixelColorTextColor(uint32_t color)
{
    const uint32_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    return (r + 128) % 255 | ((g + 128) % 255) << 8 | ((b + 128) % 255) << 16;
}

QFont ColorIndicatorFont(const QStringList& families)
{
    const QString courier = QStringLiteral("Courier New");
    QFont font = families.contains(courier, Qt::CaseInsensitive) ? QFont(courier)
                                                                 : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(11);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

} // namespace quorrel::app
