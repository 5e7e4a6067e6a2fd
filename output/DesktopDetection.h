#pragma once
// Which desktop the session runs: the session type first (Wayland or X11),
// then XDG_CURRENT_DESKTOP and, when that is missing, DESKTOP_SESSION.

#include <QProcessEnvironment>
#include <QString>

namespace quorrel::output {

enum class EDesktop {
    None,       // no session we can reach: only the file is written
    Gnome,      // GNOME and the desktops that share its background settings
    Cinnamon,
    Mate,
    Plasma,
    Xfce,
    Lxqt,
    Lxde,
    Sway,
    Wlroots,    // other layer-shell compositors: swaybg
    X11,        // a plain X11 session (no desktop, or a window manager): feh or xwallpaper
    Other,      // a desktop with no setter of ours (Deepin, COSMIC, an unnamed Wayland one): the portal
    Windows,
};

enum class ESession { None, X11, Wayland };

struct CDesktopSession {
    EDesktop desktop = EDesktop::None;
    ESession session = ESession::None;
    QString name;   // XDG_CURRENT_DESKTOP, else DESKTOP_SESSION, as the session gives it
};

CDesktopSession DetectSession(const QProcessEnvironment& environment);
EDesktop DetectDesktop(const QProcessEnvironment& environment);

// "GNOME", "a plain X11 session", ... for messages.
QString DesktopName(EDesktop desktop);
QString SessionName(ESession session);
// "GNOME (ubuntu:GNOME), X11": a desktop as the session named it, with its session type.
QString DescribeSession(EDesktop desktop, const QString& name, ESession session);
// $VARIABLE when it is an absolute path, else $HOME/fallback; empty without either.
QString XdgFolder(const QProcessEnvironment& environment, const char* variable, const char* fallback);

} // namespace quorrel::output
