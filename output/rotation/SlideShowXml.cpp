#include "SlideShowXml.h"

#include <algorithm>

namespace quorrel::output::rotation {

namespace {

QString Seconds(double seconds)
{
    // A dot whatever the locale: the desktops read C numbers.
    return QString::number(seconds, 'f', 1);
}

} // namespace

CSlideShowTiming SlideShowTiming(int intervalSeconds)
{
    const double fade = std::min(5.0, intervalSeconds / 10.0);
    return {intervalSeconds - fade, fade};
}

QString SlideShowXml(const QStringList& images, int intervalSeconds, const QDateTime& start)
{
    return SlideShowXml(images, SlideShowTiming(intervalSeconds), start);
}

QString SlideShowXml(const QStringList& images, const CSlideShowTiming& timing, const QDateTime& start)
{
    const QDate date = start.date();
    const QTime time = start.time();
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<background>\n");
    xml += QStringLiteral("  <starttime>\n    <year>%1</year>\n    <month>%2</month>\n    <day>%3</day>\n"
                          "    <hour>%4</hour>\n    <minute>%5</minute>\n    <second>%6</second>\n  </starttime>\n")
               .arg(date.year())
               .arg(date.month())
               .arg(date.day())
               .arg(time.hour())
               .arg(time.minute())
               .arg(time.second());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const QString file = images[i].toHtmlEscaped();
        const QString next = images[(i + 1) % images.size()].toHtmlEscaped();
        // One image alone is shown for the whole interval, without a fade to itself.
        if (images.size() == 1) {
            xml += QStringLiteral("  <static>\n    <duration>%1</duration>\n    <file>%2</file>\n  </static>\n")
                       .arg(Seconds(timing.shownSeconds + timing.fadeSeconds), file);
            break;
        }
        xml += QStringLiteral("  <static>\n    <duration>%1</duration>\n    <file>%2</file>\n  </static>\n")
                   .arg(Seconds(timing.shownSeconds), file);
        xml += QStringLiteral("  <transition type=\"overlay\">\n    <duration>%1</duration>\n    <from>%2</from>\n"
                              "    <to>%3</to>\n  </transition>\n")
                   .arg(Seconds(timing.fadeSeconds), file, next);
    }
    xml += QStringLiteral("</background>\n");
    return xml;
}

} // namespace quorrel::output::rotation
