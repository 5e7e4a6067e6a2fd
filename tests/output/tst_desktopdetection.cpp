#include "output/DesktopDetection.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

using namespace quorrel::output;

namespace {

EDesktop Detect(std::initializer_list<std::pair<const char*, const char*>> variables)
{
    QProcessEnvironment environment;
    for (const auto& [name, value] : variables)
        environment.insert(name, value);
    return DetectDesktop(environment);
}

} // namespace

TEST(DetectDesktop, CurrentDesktopNames)
{
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "GNOME"}}), EDesktop::Gnome);
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}}), EDesktop::Gnome);
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "GNOME-Classic:GNOME"}}), EDesktop::Gnome);
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "Budgie:GNOME"}}), EDesktop::Gnome);
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "Pantheon"}}), EDesktop::Gnome);
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "Unity:Unity7:ubuntu"}}), EDesktop::Gnome);
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "X-Cinnamon"}}), EDesktop::Cinnamon);
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "MATE"}}), EDesktop::Mate);
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "KDE"}}), EDesktop::Plasma);
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "XFCE"}}), EDesktop::Xfce);
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "LXQt"}}), EDesktop::Lxqt);
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "LXDE"}}), EDesktop::Lxde);
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "sway"}}), EDesktop::Sway);
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "Hyprland"}}), EDesktop::Wlroots);
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "river"}}), EDesktop::Wlroots);
}

TEST(DetectDesktop, FirstKnownNameWinsOverTheSessionAndDisplay)
{
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "Foo:KDE"}, {"DESKTOP_SESSION", "gnome"}, {"DISPLAY", ":0"}}),
              EDesktop::Plasma);
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "Foo"}, {"DESKTOP_SESSION", "xfce"}}), EDesktop::Xfce);
}

TEST(DetectDesktop, SessionNameWhenTheDesktopIsNotNamed)
{
    EXPECT_EQ(Detect({{"DESKTOP_SESSION", "plasma"}}), EDesktop::Plasma);
    EXPECT_EQ(Detect({{"DESKTOP_SESSION", "plasmawayland"}}), EDesktop::Plasma);
    EXPECT_EQ(Detect({{"DESKTOP_SESSION", "gnome-xorg"}}), EDesktop::Gnome);
    EXPECT_EQ(Detect({{"DESKTOP_SESSION", "/usr/share/xsessions/xfce"}}), EDesktop::Xfce);
    EXPECT_EQ(Detect({{"DESKTOP_SESSION", "cinnamon"}}), EDesktop::Cinnamon);
    EXPECT_EQ(Detect({{"DESKTOP_SESSION", "mate"}}), EDesktop::Mate);
    EXPECT_EQ(Detect({{"DESKTOP_SESSION", "lxqt"}}), EDesktop::Lxqt);
}

TEST(DetectDesktop, DisplayVariablesAsTheLastResort)
{
    EXPECT_EQ(Detect({{"SWAYSOCK", "/run/user/1000/sway-ipc.sock"}, {"WAYLAND_DISPLAY", "wayland-1"}}),
              EDesktop::Sway);
    EXPECT_EQ(Detect({{"DESKTOP_SESSION", "i3"}, {"DISPLAY", ":0"}}), EDesktop::X11);
    EXPECT_EQ(Detect({{"WAYLAND_DISPLAY", "wayland-0"}}), EDesktop::Other);   // an unnamed Wayland desktop: the portal
    EXPECT_EQ(Detect({{"XDG_SESSION_TYPE", "x11"}}), EDesktop::X11);
    EXPECT_EQ(Detect({{"DISPLAY", ""}}), EDesktop::None);
    EXPECT_EQ(Detect({}), EDesktop::None);
}

// The session type comes first: under Wayland the X root window tools are
// never chosen, also not through XWayland's DISPLAY.
TEST(DetectDesktop, WaylandNeverGetsTheX11RootWindowTools)
{
    const std::pair<const char*, const char*> wayland{"XDG_SESSION_TYPE", "wayland"};
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "COSMIC"}, wayland, {"WAYLAND_DISPLAY", "wayland-1"}, {"DISPLAY", ":1"}}),
              EDesktop::Other);
    EXPECT_EQ(Detect({wayland, {"DISPLAY", ":1"}}), EDesktop::Other);
    EXPECT_EQ(Detect({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}}), EDesktop::Other);
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "i3"}, wayland}), EDesktop::Other);
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "GNOME"}, wayland, {"DISPLAY", ":0"}}), EDesktop::Gnome);
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "i3"}, {"XDG_SESSION_TYPE", "x11"}}), EDesktop::X11);
}

TEST(DetectDesktop, DesktopsWithoutASetterOfOursAreNotPlainX11)
{
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "Deepin"}, {"DISPLAY", ":0"}}), EDesktop::Other);
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "DDE"}, {"DISPLAY", ":0"}}), EDesktop::Other);
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "SomethingNew"}, {"DISPLAY", ":0"}}), EDesktop::Other);
    // An unknown session name alone says nothing: plain X11.
    EXPECT_EQ(Detect({{"DESKTOP_SESSION", "default"}, {"DISPLAY", ":0"}}), EDesktop::X11);
    // No display at all: nothing to reach, whatever the name.
    EXPECT_EQ(Detect({{"XDG_CURRENT_DESKTOP", "SomethingNew"}}), EDesktop::None);
}

TEST(DetectDesktop, SessionAndNameAreReported)
{
    QProcessEnvironment environment;
    environment.insert("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
    environment.insert("XDG_SESSION_TYPE", "wayland");
    const CDesktopSession session = DetectSession(environment);
    EXPECT_EQ(session.desktop, EDesktop::Gnome);
    EXPECT_EQ(session.session, ESession::Wayland);
    EXPECT_EQ(session.name, "ubuntu:GNOME");
    environment.clear();
    environment.insert("DESKTOP_SESSION", "xfce");
    environment.insert("DISPLAY", ":0");
    EXPECT_EQ(DetectSession(environment).name, "xfce");
    EXPECT_EQ(DetectSession(environment).session, ESession::X11);
}
