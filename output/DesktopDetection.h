#pragma once
// Which desktop the session runs, from XDG_CURRENT_DESKTOP and, when that is
// missing or unknown, DESKTOP_SESSION and the display variables.

#include <QProcessEnvironment>

namespace quorrel::output {

enum class EDesktop {
    None,       // no desktop we know how to reach: only the file is written
    Gnome,      // GNOME and the desktops that share its background settings
    Cinnamon,
    Mate,
    Plasma,
    Xfce,
    Lxqt,
    Lxde,
    Sway,
    Wlroots,    // other layer-shell compositors: swaybg
    X11,        // a plain X11 session: feh or xwallpaper
    Windows,
};

EDesktop DetectDesktop(const QProcessEnvironment& environment);

} // namespace quorrel::output
