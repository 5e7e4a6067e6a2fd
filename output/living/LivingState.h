#pragma once
// What a living wallpaper set up, kept in living.state in its folder so that
// "--living off" can undo it and "--living status" can tell it: the desktop
// and session it was made for, the way it is shown, the loop's size and
// pace, the files it wrote (plain names in the living folder), whether an
// autostart entry starts the player, and the settings it replaced. Written
// before anything is changed and again when done, so off can always undo.
// One "key=value" a line, values percent-encoded; read as hostile: a line it
// does not know, a value out of range or a name with a slash is refused.

#include "output/DesktopDetection.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>

namespace quorrel::output::living {

enum class EWay {
    X11Player,       // our player on the root window (plain X11 window managers)
    WaylandPlayer,   // our player on the layer-shell background (wlroots)
    SlideShowXml,    // GNOME, Cinnamon, MATE: slides of the loop with long cross-fades
    XfceCycle,       // xfdesktop cycles the loop's frames
    PlasmaPackage,   // Plasma plays the loop with our wallpaper package
};

struct CLivingState {
    EWay way = EWay::X11Player;
    EDesktop desktop = EDesktop::None;
    ESession session = ESession::None;
    QString desktopName;
    int width = 0;          // the tile
    int height = 0;
    int frames = 0;         // of the loop (the player) or slides (slow living)
    int fps = 0;            // the player's rate; 0 for slow living
    int periodSeconds = 0;  // slow living: once through the slides; 0 for the player
    QString source;
    QDateTime since;
    bool autostart = false; // the player's autostart entry was written
    QStringList files;      // plain names in the living folder, or "slides/" and one
    QList<QPair<QString, QString>> previous;   // setting, its value before (the way's own keys)
};

QByteArray WriteLivingState(const CLivingState& state);
std::optional<CLivingState> ReadLivingState(const QByteArray& text, QString& error);

// Reads the state file at `path`: only a regular file, opened without
// following a link or blocking, at most kLargestLivingState bytes. Nothing
// with `error` empty when there is no file.
std::optional<CLivingState> ReadLivingStateFile(const QString& path, QString& error);

QString WayName(EWay way);

inline constexpr qint64 kLargestLivingState = 256 * 1024;
// Slow living's period: once through the loop in 10 minutes to a day.
inline constexpr int kShortestPeriodSeconds = 600;
inline constexpr int kLongestPeriodSeconds = 86400;

} // namespace quorrel::output::living
