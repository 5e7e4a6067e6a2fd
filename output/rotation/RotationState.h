#pragma once
// What a rotation set up, kept in rotation.state in the rotation's folder so
// that "--rotate off" can undo it and "--rotate status" can tell it: the
// desktop and session it was made for, the way it runs, the files and units
// it wrote and the settings it replaced. One "key=value" a line, values
// percent-encoded. The file is read as hostile: a line it does not know, a
// value out of range or a file outside the rotation's folders is refused.

#include "output/DesktopDetection.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>

namespace quorrel::output::rotation {

enum class EMethod {
    SlideShowXml,      // GNOME, Cinnamon, MATE read the slide show themselves
    XfceCycle,         // xfdesktop cycles the folder
    PlasmaSlideShow,   // Plasma's slide-show wallpaper
    SystemdTimer,      // our units run quorrel-render
};

struct CRotationState {
    EMethod method = EMethod::SystemdTimer;
    EDesktop desktop = EDesktop::None;
    ESession session = ESession::None;
    QString desktopName;   // XDG_CURRENT_DESKTOP as the session gave it
    int intervalSeconds = 0;
    int count = 0;         // images prepared (0 for a timer that makes each anew)
    QString source;        // "preset ocean", "defaults", the document's name
    QDateTime since;
    QStringList files;     // everything written, removed again on off
    QList<QPair<QString, QString>> previous;   // setting, its value before (the writer's own keys)
};

QByteArray WriteState(const CRotationState& state);
// The state of `text`, or nothing with a reason.
std::optional<CRotationState> ReadState(const QByteArray& text, QString& error);

// "the GNOME slide show", "xfdesktop's own cycling", ... for messages.
QString MethodName(EMethod method);

// The largest state file read.
inline constexpr qint64 kLargestStateFile = 256 * 1024;

} // namespace quorrel::output::rotation
