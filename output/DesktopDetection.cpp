#include "DesktopDetection.h"

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
    if (startsWithAny({"gnome", "ubuntu", "unity", "budgie", "pantheon", "pop", "zorin", "deepin-gnome"}))
        return EDesktop::Gnome;
    return std::nullopt;
}

QString LastPathComponent(const QString& value)
{
    return value.section(u'/', -1);
}

} // namespace

EDesktop DetectDesktop(const QProcessEnvironment& environment)
{
#ifdef Q_OS_WIN
    Q_UNUSED(environment);
    return EDesktop::Windows;
#else
    // "ubuntu:GNOME", "Budgie:GNOME", "X-Cinnamon", "KDE": the first name we
    // know decides.
    const QStringList current =
        environment.value(QStringLiteral("XDG_CURRENT_DESKTOP")).toLower().split(u':', Qt::SkipEmptyParts);
    for (const QString& name : current) {
        if (const auto desktop = FromName(name.trimmed()))
            return *desktop;
    }
    // "plasma", "gnome-xorg", "/usr/share/xsessions/xfce".
    if (const auto desktop = FromName(LastPathComponent(environment.value(QStringLiteral("DESKTOP_SESSION")).toLower())))
        return *desktop;
    if (environment.contains(QStringLiteral("SWAYSOCK")))
        return EDesktop::Sway;
    if (!environment.value(QStringLiteral("DISPLAY")).isEmpty())
        return EDesktop::X11;
    if (!environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty())
        return EDesktop::Wlroots;
    return EDesktop::None;
#endif
}

} // namespace quorrel::output
