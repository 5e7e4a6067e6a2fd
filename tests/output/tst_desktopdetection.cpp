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
    EXPECT_EQ(Detect({{"WAYLAND_DISPLAY", "wayland-0"}}), EDesktop::Wlroots);
    EXPECT_EQ(Detect({{"DISPLAY", ""}}), EDesktop::None);
    EXPECT_EQ(Detect({}), EDesktop::None);
}
