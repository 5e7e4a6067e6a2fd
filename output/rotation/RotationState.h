#pragma once
// What a rotation set up, kept in rotation.state in the rotation's folder so
// that "--rotate off" can undo it and "--rotate status" can tell it: the
// desktop and session it was made for, the way it runs, the files and units
// it wrote and the settings it replaced. One "key=value" a line, values
// percent-encoded. The file is read as hostile: a line it does not know, a
// value out of range or a file outside the rotation's folders is refused.
//
// The file is a journal: it is written before anything is changed, with the
// settings about to be replaced, and marked installed only when the desktop
// took the rotation. A set-up that was killed half-way is thus always known,
// and off (or the next set-up) puts back what it had replaced.

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

// How far a set-up came.
enum class EPhase {
    Preparing,    // images and files being written; no setting changed yet
    Installing,   // the previous settings are recorded; the desktop's are being changed
    Installed,    // the desktop took it
};

struct CRotationState {
    EMethod method = EMethod::SystemdTimer;
    EPhase phase = EPhase::Installed;   // files of older versions hold no phase: they were installed
    EDesktop desktop = EDesktop::None;
    ESession session = ESession::None;
    QString desktopName;   // XDG_CURRENT_DESKTOP as the session gave it
    int intervalSeconds = 0;
    int count = 0;         // images prepared (0 for a timer that makes each anew)
    QString source;        // "preset ocean", "defaults", the document's name
    QDateTime since;
    QString stamp;         // part of the names of the files this set-up writes
    bool randomOrder = false;
    QStringList files;     // everything written, removed again on off
    QList<QPair<QString, QString>> previous;   // setting, its value before (the writer's own keys)
};

QByteArray WriteState(const CRotationState& state);
// The state of `text`, or nothing with a reason.
std::optional<CRotationState> ReadState(const QByteArray& text, QString& error);

// "preparing its files", ... for a set-up that was interrupted.
QString PhaseName(EPhase phase);
// "the GNOME slide show", "xfdesktop's own cycling", ... for messages.
QString MethodName(EMethod method);

// The largest state file read.
inline constexpr qint64 kLargestStateFile = 256 * 1024;

} // namespace quorrel::output::rotation
