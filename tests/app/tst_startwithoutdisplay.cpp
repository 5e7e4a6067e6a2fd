// The editor started where it cannot show a window (no X server at DISPLAY,
// an empty or junk DISPLAY, an unknown platform): one line and status 1,
// never Qt's abort; --help and --version need no display at all. And where
// the session bus takes connections but never answers, the window still
// appears.

#include "support/StalledBus.h"
#include "tools/ToolProcess.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <string>
#include <vector>

using quorrel::test::RunTool;
using quorrel::test::ToolResult;

namespace {

const std::string kEditor = QUORREL_EDITOR;

// The editor with a private home and without any display variable but those
// given ("NAME=value").
ToolResult RunEditor(const QTemporaryDir& home, const std::vector<std::string>& variables,
                     const std::vector<std::string>& args, int timeoutSeconds = 30)
{
    const std::string folder = home.path().toStdString();
    std::vector<std::string> argv{"env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM",
                                  "HOME=" + folder, "XDG_CONFIG_HOME=" + folder + "/config",
                                  "XDG_DATA_HOME=" + folder + "/data", "XDG_RUNTIME_DIR=" + folder,
                                  "DBUS_SESSION_BUS_ADDRESS=unix:path=" + folder + "/no-bus"};
    argv.insert(argv.end(), variables.begin(), variables.end());
    argv.push_back(kEditor);
    argv.insert(argv.end(), args.begin(), args.end());
    return RunTool(argv, folder, {}, timeoutSeconds);
}

struct DisplayCase {
    const char* label;
    std::vector<std::string> variables;
    std::string line;
};

void PrintTo(const DisplayCase& c, std::ostream* os) { *os << c.label; }

class NoDisplay : public ::testing::TestWithParam<DisplayCase> {};

} // namespace

TEST_P(NoDisplay, IsOneLineAndStatusOne)
{
    QTemporaryDir home;
    const ToolResult run = RunEditor(home, GetParam().variables, {});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.err, "quorrel: " + GetParam().line + "\n");
    EXPECT_TRUE(run.out.empty()) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Editor, NoDisplay,
    ::testing::Values(
        DisplayCase{"NoServerThere", {"DISPLAY=:699"}, "cannot open display :699"},
        DisplayCase{"Empty", {"DISPLAY="}, "cannot open display (DISPLAY is empty)"},
        DisplayCase{"Unset", {}, "cannot open display (DISPLAY is not set)"},
        DisplayCase{"Junk", {"DISPLAY=junk"}, "cannot open display junk"},
        DisplayCase{"HostileValue", {"DISPLAY=\x1b[31m" + std::string(200, 'x')},
                    "cannot open display ?[31m" + std::string(75, 'x') + "..."},
        DisplayCase{"UnknownPlatform", {"QT_QPA_PLATFORM=junk", "DISPLAY=:699"},
                    "no display platform \"junk\" (QT_QPA_PLATFORM)"}),
    [](const ::testing::TestParamInfo<DisplayCase>& info) { return std::string(info.param.label); });

TEST(NoDisplay, HelpAndVersionNeedNone)
{
    QTemporaryDir home;
    const ToolResult help = RunEditor(home, {"DISPLAY=:699"}, {"--help"});
    EXPECT_EQ(help.exitCode, 0) << help.err;
    EXPECT_EQ(help.out.rfind("Usage: quorrel ", 0), 0u) << help.out;
    EXPECT_TRUE(help.err.empty()) << help.err;
    const ToolResult version = RunEditor(home, {}, {"--version"});
    EXPECT_EQ(version.exitCode, 0) << version.err;
    EXPECT_EQ(version.out.rfind("Quorrel ", 0), 0u) << version.out;
    EXPECT_TRUE(version.err.empty()) << version.err;
}

TEST(StalledBus, TheWindowAppearsAndTheNoteNamesTheBus)
{
    // Under a private X server: the editor's main window is looked for
    // every quarter second; the bus is asked for at most 3 s, so the window
    // is there long before Qt's own wait on such a bus (25 s and more) ends.
    QTemporaryDir home;
    const std::string folder = home.path().toStdString();
    quorrel::test::CStalledBus bus(folder + "/stalled-bus");
    ASSERT_TRUE(bus.Listening());
    const std::string script =
        "\"$0\" 2>\"$HOME/editor-err.txt\" & editor=$!; "
        "for i in $(seq 1 60); do "
        "  if xwininfo -root -tree | grep -q '\"Quorrel - \\['; then echo \"window after $i\"; kill $editor; "
        "    wait $editor; cat \"$HOME/editor-err.txt\" >&2; exit 0; fi; "
        "  sleep 0.25; "
        "done; kill $editor; wait $editor; cat \"$HOME/editor-err.txt\" >&2; exit 3";
    const std::vector<std::string> argv{"env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY",
                                        "HOME=" + folder, "XDG_CONFIG_HOME=" + folder + "/config",
                                        "XDG_DATA_HOME=" + folder + "/data", "XDG_RUNTIME_DIR=" + folder,
                                        "QT_QPA_PLATFORM=xcb", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1",
                                        "DBUS_SESSION_BUS_ADDRESS=" + bus.Address(),
                                        "xvfb-run", "-a", "sh", "-c", script, kEditor};
    const ToolResult run = RunTool(argv, folder, {}, 60);
    ASSERT_EQ(run.exitCode, 0) << "no window within 15 s (xvfb-run and xwininfo come with scripts/setup.sh)\n"
                               << run.out << run.err;
    EXPECT_EQ(run.out.rfind("window after ", 0), 0u) << run.out;
    EXPECT_NE(run.err.find("quorrel: the session bus (" + bus.Address() + ") did not answer within 3 s"),
              std::string::npos)
        << run.err;
}
