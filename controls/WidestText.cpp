#include "controls/WidestText.h"

namespace quorrel::controls {

namespace {

// The first of `candidates` with the largest advance.
QChar Widest(QStringView candidates, const QFontMetrics& metrics)
{
    QChar best = candidates[0];
    for (QChar c : candidates)
        if (metrics.horizontalAdvance(c) > metrics.horizontalAdvance(best))
            best = c;
    return best;
}

} // namespace

QString WidestText(const QString& pattern, const QFontMetrics& metrics)
{
    const QChar digit = Widest(u"0123456789", metrics);
    const QChar hex = Widest(u"0123456789ABCDEF", metrics);
    QString text = pattern;
    for (QChar& c : text)
        c = c == u'9' ? digit : c == u'F' ? hex : c;
    return text;
}

} // namespace quorrel::controls
