#pragma once
// The background slide show GNOME, Cinnamon and MATE read: each image shown
// for the interval, a short cross-fade to the next, the last fading back to
// the first, starting at the moment it was set up.

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace quorrel::output::rotation {

struct CSlideShowTiming {
    double shownSeconds = 0;   // each image alone
    double fadeSeconds = 0;    // the cross-fade to the next
};

// An interval split into showing and fading: the fade is a tenth of the
// interval, at most 5 s; together they make the interval.
CSlideShowTiming SlideShowTiming(int intervalSeconds);

// The XML text for `images` (absolute paths), starting at `start` (local
// time). Paths are escaped as XML text.
QString SlideShowXml(const QStringList& images, int intervalSeconds, const QDateTime& start);
// The same with each image's own showing and fading times (the living
// wallpaper's slow morph: long fades, short stays).
QString SlideShowXml(const QStringList& images, const CSlideShowTiming& timing, const QDateTime& start);

} // namespace quorrel::output::rotation
