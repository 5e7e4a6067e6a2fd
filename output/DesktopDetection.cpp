#include "DesktopDetection.h"

#include <QDir>

#include <QStringList>

#include <optional>

namespace quorrel::output {

namespace {

// One name from XDG_CURRENT_DESKTOP or DESKTOP_SESSION, lower case.
std::optional<EDesktop> FromName(const QString& name)
{
    auto startsWithAny = [&name](std::initializer_list<const char*> prefixes) {
        for (const char* prefix : prefixes) {
            if (name.startsWith(QLatin1String(prefix)))
                return true;
        }
        return false;
    };
    if (name.isEmpty())
        return std::nullopt;
    if (name == u"x-cinnamon" || startsWithAny({"cinnamon"}))
        return EDesktop::Cinnamon;
    if (startsWithAny({"mate"}))
        return EDesktop::Mate;
    if (name == u"kde" || startsWithAny({"plasma", "kde-plasma"}))
        return EDesktop::Plasma;
    if (startsWithAny({"xfce", "xubuntu"}))
        return EDesktop::Xfce;
    if (startsWithAny({"lxqt", "lubuntu"}))
        return EDesktop::Lxqt;
    if (startsWithAny({"lxde"}))
        return EDesktop::Lxde;
    if (startsWithAny({"sway"}))
        return EDesktop::Sway;
    if (startsWithAny({"hyprland", "river", "wayfire", "labwc", "niri", "wlroots"}))
        return EDesktop::Wlroots;
    if (startsWithAny({"gnome", "ubuntu", "unity", "budgie", "pantheon", "pop", "zorin"}))
        return EDesktop::Gnome;
    // Desktops that draw their own background but have no setter of ours.
    if (startsWithAny({"deepin", "dde", "cosmic", "enlightenment", "trinity", "ukui", "lomiri"}))
        return EDesktop::Other;
    // Window managers without a desktop: the X root window is what shows.
    if (startsWithAny({"i3", "openbox", "fluxbox", "blackbox", "awesome", "bspwm", "dwm", "herbstluftwm", "icewm",
                       "jwm", "qtile", "xmonad", "fvwm", "windowmaker", "wmaker", "cwm", "evilwm",
                       "ratpoison", "stumpwm", "leftwm", "twm"}))
        return EDesktop::X11;
    return std::nullopt;
}

ESession SessionType(const QProcessEnvironment& environment)
{
    const QString type = environment.value(QStringLiteral("XDG_SESSION_TYPE")).toLower();
    if (type == u"wayland" || !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty())
        return ESession::Wayland;
    if (type == u"x11" || !environment.value(QStringLiteral("DISPLAY")).isEmpty())
        return ESession::X11;
    return ESession::None;
}

} // namespace

CDesktopSession DetectSession(const QProcessEnvironment& environment)
{
    CDesktopSession found;
#ifdef Q_OS_WIN
    Q_UNUSED(environment);
    found.desktop = EDesktop::Windows;
    return found;
#else
    found.session = SessionType(environment);
    const QString current = environment.value(QStringLiteral("XDG_CURRENT_DESKTOP"));
    const QString session = environment.value(QStringLiteral("DESKTOP_SESSION"));
    found.name = current.isEmpty() ? session : current;

    std::optional<EDesktop> desktop;
    // "ubuntu:GNOME", "Budgie:GNOME", "X-Cinnamon", "KDE": the first name we
    // know decides; a name we do not know is a desktop we have no setter for.
    bool unknownName = false;
    for (const QString& name : current.toLower().split(u':', Qt::SkipEmptyParts)) {
        desktop = FromName(name.trimmed());
        if (desktop)
            break;
        unknownName = true;
    }
    // "plasma", "gnome-xorg", "/usr/share/xsessions/xfce". Session names
    // are often not desktop names ("default"): an unknown one says nothing.
    if (!desktop)
        desktop = FromName(session.toLower().section(u'/', -1));
    if (!desktop && environment.contains(QStringLiteral("SWAYSOCK")))
        desktop = EDesktop::Sway;
    if (!desktop && unknownName && found.session != ESession::None)
        desktop = EDesktop::Other;
    if (!desktop) {
        switch (found.session) {
        case ESession::Wayland: desktop = EDesktop::Other; break;
        case ESession::X11: desktop = EDesktop::X11; break;
        case ESession::None: desktop = EDesktop::None; break;
        }
    }
    // Root-window tools paint nothing anyone sees under Wayland, not even
    // through XWayland.
    if (*desktop == EDesktop::X11 && found.session == ESession::Wayland)
        desktop = EDesktop::Other;
    found.desktop = *desktop;
    return found;
#endif
}

EDesktop DetectDesktop(const QProcessEnvironment& environment)
{
    return DetectSession(environment).desktop;
}

QString DesktopName(EDesktop desktop)
{
    switch (desktop) {
    case EDesktop::None: return QStringLiteral("none recognised");
    case EDesktop::Gnome: return QStringLiteral("GNOME");
    case EDesktop::Cinnamon: return QStringLiteral("Cinnamon");
    case EDesktop::Mate: return QStringLiteral("MATE");
    case EDesktop::Plasma: return QStringLiteral("KDE Plasma");
    case EDesktop::Xfce: return QStringLiteral("XFCE");
    case EDesktop::Lxqt: return QStringLiteral("LXQt");
    case EDesktop::Lxde: return QStringLiteral("LXDE");
    case EDesktop::Sway: return QStringLiteral("sway");
    case EDesktop::Wlroots: return QStringLiteral("a wlroots compositor");
    case EDesktop::X11: return QStringLiteral("a plain X11 session");
    case EDesktop::Other: return QStringLiteral("a desktop without a setter of its own");
    case EDesktop::Windows: return QStringLiteral("Windows");
    }
    return {};
}

QString SessionName(ESession session)
{
    switch (session) {
    case ESession::None: return QStringLiteral("no graphical session");
    case ESession::X11: return QStringLiteral("X11");
    case ESession::Wayland: return QStringLiteral("Wayland");
    }
    return {};
}

QString DescribeSession(EDesktop desktop, const QString& name, ESession session)
{
    QString text = DesktopName(desktop);
    if (!name.isEmpty())
        text += QStringLiteral(" (%1)").arg(name);
    return text + QStringLiteral(", ") + SessionName(session);
}

QString XdgFolder(const QProcessEnvironment& environment, const char* variable, const char* fallback)
{
    const QString xdg = environment.value(QString::fromLatin1(variable));
    if (QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg);
    const QString home = environment.value(QStringLiteral("HOME"));
    return QDir::isAbsolutePath(home) ? QDir::cleanPath(QDir(home).filePath(QString::fromLatin1(fallback))) : QString();
}

} // namespace quorrel::output
