#pragma once
// The fields the rotation's and the living wallpaper's state files share:
// desktops and session types by name, values percent-encoded, enums looked
// up in tables of names (an unknown name is no value).

#include "DesktopDetection.h"

#include <QByteArray>
#include <QLatin1String>
#include <QString>
#include <QUrl>

#include <array>
#include <optional>
#include <utility>

namespace quorrel::output {

template <typename E, std::size_t N>
using NameTable = std::array<std::pair<E, const char*>, N>;

inline const NameTable<EDesktop, 13> kDesktopNames{{{EDesktop::None, "none"},
                                                   {EDesktop::Gnome, "gnome"},
                                                   {EDesktop::Cinnamon, "cinnamon"},
                                                   {EDesktop::Mate, "mate"},
                                                   {EDesktop::Plasma, "plasma"},
                                                   {EDesktop::Xfce, "xfce"},
                                                   {EDesktop::Lxqt, "lxqt"},
                                                   {EDesktop::Lxde, "lxde"},
                                                   {EDesktop::Sway, "sway"},
                                                   {EDesktop::Wlroots, "wlroots"},
                                                   {EDesktop::X11, "x11"},
                                                   {EDesktop::Other, "other"},
                                                   {EDesktop::Windows, "windows"}}};

inline const NameTable<ESession, 3> kSessionNames{
    {{ESession::None, "none"}, {ESession::X11, "x11"}, {ESession::Wayland, "wayland"}}};

template <typename E, std::size_t N>
const char* NameOf(const NameTable<E, N>& table, E value)
{
    for (const auto& [each, name] : table) {
        if (each == value)
            return name;
    }
    return "";
}

template <typename E, std::size_t N>
std::optional<E> ValueOf(const NameTable<E, N>& table, const QString& name)
{
    for (const auto& [each, text] : table) {
        if (name == QLatin1String(text))
            return each;
    }
    return std::nullopt;
}

// A value as a state file line holds it: percent-encoded, '=' included.
inline QByteArray EncodedField(const QString& value) { return QUrl::toPercentEncoding(value, "/:.@+,~", "="); }

} // namespace quorrel::output
