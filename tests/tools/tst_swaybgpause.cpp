// swaybg stopped while the living wallpaper plays and started again after:
// the kept command lines survive any argument and a hostile record starts
// nothing; against real processes (a program named swaybg), only the one on
// our compositor is stopped, and Resume starts it again with its arguments.

#include "support/TempFolder.h"

#include "tools/living/SwaybgPause.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

using quorrel::living::CSwaybgPause;

namespace {

TEST(SwaybgPause, RecordsReadBackAndHostileOnesAreRefused)
{
    const std::vector<std::vector<std::string>> commands = {
        {"swaybg", "-o", "*", "-i", "/home/a b/wall\npaper:12:.png", "-m", "tile"},
        {"/usr/bin/swaybg", "-c", "#204060", ""}};
    std::vector<std::vector<std::string>> read;
    ASSERT_TRUE(CSwaybgPause::Decode(CSwaybgPause::Encode(commands), read));
    EXPECT_EQ(read, commands);
    for (const char* hostile : {"6:swaybg", "6:swaybg2:-o\n\n", "2:sh2:-c7:rm -rf\n", "9:swaybg\n", "x:swaybg\n",
                                "6:swaybg99999999:x\n", "12:/tmp/swaybgx\n"})
        EXPECT_FALSE(CSwaybgPause::Decode(hostile, read)) << hostile;
}

// The processes named swaybg whose command line holds `mark`.
std::vector<pid_t> Marked(const std::string& mark)
{
    std::vector<pid_t> found;
    DIR* proc = opendir("/proc");
    while (const dirent* entry = proc ? readdir(proc) : nullptr) {
        std::ifstream comm(std::string("/proc/") + entry->d_name + "/comm");
        std::string name;
        std::getline(comm, name);
        std::ifstream cmdline(std::string("/proc/") + entry->d_name + "/cmdline");
        std::stringstream text;
        text << cmdline.rdbuf();
        if (name == "swaybg" && text.str().find(mark) != std::string::npos)
            found.push_back(pid_t(std::atoi(entry->d_name)));
    }
    if (proc)
        closedir(proc);
    return found;
}

pid_t Start(const std::string& program, const std::string& mark, const std::string& display,
            const std::string& runtime)
{
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("WAYLAND_DISPLAY", display.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        // sleep, named swaybg: the mark is a second, tiny time to add.
        execl(program.c_str(), program.c_str(), "600", mark.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

template <typename Condition>
bool WaitFor(Condition condition)
{
    for (int i = 0; i < 100; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

TEST(SwaybgPause, StopsOnlyOursAndStartsItAgain)
{
    const quorrel::test::CTempFolder folder("swaybg-pause");
    const std::string runtime = folder.Path().string();
    const std::string program = runtime + "/swaybg";
    std::filesystem::copy_file("/bin/sleep", program);
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    const std::string mark = "0.000" + std::to_string(getpid());
    const std::string ours = "quorrel-test-" + std::to_string(getpid());
    const pid_t mine = Start(program, mark, ours, runtime);
    const pid_t other = Start(program, mark, ours + "-other", runtime);
    ASSERT_TRUE(WaitFor([&] { return Marked(mark).size() == 2; }));

    setenv("WAYLAND_DISPLAY", ours.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    {
        CSwaybgPause pause;
        std::string error;
        ASSERT_TRUE(pause.Pause(error)) << error;
        int status = 0;
        EXPECT_EQ(waitpid(mine, &status, 0), mine);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
        EXPECT_EQ(Marked(mark), std::vector<pid_t>{other});
        EXPECT_TRUE(std::filesystem::exists(runtime + "/quorrel-living-swaybg"));
    }   // Resume: the same command again, detached
    EXPECT_TRUE(WaitFor([&] { return Marked(mark).size() == 2; }));
    EXPECT_FALSE(std::filesystem::exists(runtime + "/quorrel-living-swaybg"));
    for (const pid_t pid : Marked(mark))
        kill(pid, SIGTERM);
    waitpid(other, nullptr, 0);
}

} // namespace
