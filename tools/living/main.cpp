// quorrel-living-player: plays a living wallpaper's loop on the desktop's
// background (the root window on X11, the layer-shell background on a
// wlroots compositor), from the frames file Quorrel wrote.
//   quorrel-living-player --frames FILE [--fps N] [--supervise] [--check] [--stats]

#include "Background.h"
#include "Player.h"
#include "Supervisor.h"
#include "SwaybgPause.h"
#include "X11Root.h"

#include "output/living/FramesFile.h"
#include "output/living/LivingFolder.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace quorrel;

namespace {

constexpr const char* kPidName = "player.pid";
// The root pixmap another setter left, as the first player found it.
constexpr const char* kPreviousName = "x11-previous";

int Fail(const std::string& message, int status = 2)
{
    std::fprintf(stderr, "quorrel-living-player: %s\n", message.c_str());
    return status;
}

std::string Folder(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

bool WritePid(const std::string& folder, std::string& error)
{
    const std::string text = std::to_string(getpid()) + "\n";
    return output::living::WriteLivingFile(
        folder, kPidName, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), error);
}

// Removes the pid file when it still names this process.
void RemovePid(const std::string& folder)
{
    const std::string path = folder + "/" + kPidName;
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    char text[32] = {};
    const ssize_t got = read(fd, text, sizeof text - 1);
    close(fd);
    if (got > 0 && std::atoi(text) == getpid())
        output::living::RemoveLivingFile(folder, kPidName);
}

// The number in `folder`/`name`: a regular file of a few bytes, not
// followed through a link. False when there is none.
bool ReadNumber(const std::string& folder, const char* name, unsigned long& number)
{
    const std::string path = folder + "/" + name;
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    char text[32] = {};
    ssize_t got = -1;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size < off_t(sizeof text))
        got = read(fd, text, sizeof text - 1);
    close(fd);
    const char* end = text + (got > 0 ? got : 0);
    while (end > text && (end[-1] == '\n'))
        --end;
    const auto [ptr, ec] = std::from_chars(text, end, number);
    return got > 0 && ec == std::errc() && ptr == end;
}

// Before drawing on X11: the background another setter left is put back
// when a player before this one found it (a restart after a crash), or
// remembered for off when this is the first.
bool KeepPreviousRoot(const std::string& folder, std::string& error)
{
    unsigned long previous = 0;
    if (ReadNumber(folder, kPreviousName, previous))
        return living::RestoreRootPixmap(previous, error);
    if (!living::LiveRootPixmap(previous, error))
        return false;
    const std::string text = std::to_string(previous) + "\n";
    return output::living::WriteLivingFile(folder, kPreviousName,
                                           std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), error);
}

} // namespace

int main(int argc, char** argv)
{
    std::string framesPath;
    uint32_t fps = 0;
    bool check = false, supervise = false, child = false, stats = false, restore = false;
    std::vector<std::string> childArguments;
    std::string desktop;   // "-": a session without XDG_CURRENT_DESKTOP
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--desktop" && i + 1 < argc) {
            desktop = argv[++i];
            childArguments.insert(childArguments.end(), {arg, desktop});
        } else if ((arg == "--frames" || arg == "--fps") && i + 1 < argc) {
            const std::string value = argv[++i];
            childArguments.insert(childArguments.end(), {arg, value});
            if (arg == "--frames") {
                framesPath = value;
                continue;
            }
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), fps);
            if (ec != std::errc() || end != value.data() + value.size() || fps < 1 || fps > output::living::kMostFps)
                return Fail("--fps takes a whole number from 1 to 120, not '" + value + "'");
        } else if (arg == "--restore") {
            restore = true;
        } else if (arg == "--check") {
            check = true;
        } else if (arg == "--supervise") {
            supervise = true;
        } else if (arg == "--child") {
            child = true;
        } else if (arg == "--stats") {
            stats = true;
            childArguments.push_back(arg);
        } else if (arg == "--help" || arg == "-h") {
            std::printf("usage: quorrel-living-player --frames FILE [--fps N] [--desktop NAME] [--supervise] [--check] [--stats] | --restore --frames FILE\n");
            return 0;
        } else {
            return Fail("unknown argument '" + arg + "' (see --help)");
        }
    }
    if (framesPath.empty() || framesPath[0] != '/')
        return Fail("--frames needs the frames file's absolute path");
    if (!desktop.empty() && !check) {
        const char* current = getenv("XDG_CURRENT_DESKTOP");
        const std::string here = current && *current ? current : "-";
        if (here != desktop)
            return Fail("the living wallpaper was set up for " + (desktop == "-" ? std::string("a session without a desktop name") : desktop) +
                        ", not this session (" + here + "); not playing here");
    }

    // The folder is checked as Quorrel made it: the player maps what is in
    // it and writes its process id there.
    const std::string folder = Folder(framesPath);
    std::string error;
    if (!output::living::CheckLivingFolder(folder, error))
        return Fail(error);
    if (restore) {
        // After the player stopped on wlroots: swaybg as it ran before, when
        // a player that crashed for good could not start it again itself.
        if (getenv("WAYLAND_DISPLAY") && *getenv("WAYLAND_DISPLAY")) {
            living::CSwaybgPause::ResumeRecorded();
            return 0;
        }
        // After the player stopped: the root's background as it was before.
        unsigned long previous = 0;
        ReadNumber(folder, kPreviousName, previous);
        return living::RestoreRootPixmap(previous, error) ? 0 : Fail(error);
    }
    output::living::CFramesFile frames;
    if (!frames.Open(framesPath, error))
        return Fail(error);
    if (fps == 0)
        fps = frames.Header().fps;

    sigset_t signals;
    sigemptyset(&signals);
    for (const int number : {SIGTERM, SIGINT, SIGHUP, SIGCHLD})
        sigaddset(&signals, number);
    sigprocmask(SIG_BLOCK, &signals, nullptr);

    if (supervise && !check) {
        if (!WritePid(folder, error))
            return Fail(error);
        childArguments.push_back("--child");
        // The child runs this same program, named as itself in process lists.
        char self[4096] = {};
        const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
        const int status = living::Supervise(length > 0 ? std::string(self, std::size_t(length)) : "/proc/self/exe",
                                             childArguments, signals);
        RemovePid(folder);
        return status;
    }

    const bool wayland = getenv("WAYLAND_DISPLAY") && *getenv("WAYLAND_DISPLAY");
    if (!wayland && !check && !KeepPreviousRoot(folder, error))
        return Fail(error);
    std::unique_ptr<living::IBackground> background =
        wayland ? living::OpenWaylandBackground(error) : living::OpenX11Background(error);
    if (!background)
        return Fail(error);
    if (check)
        return 0;

    if (!child && !WritePid(folder, error))
        return Fail(error);
    const int signalFd = signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);
    if (signalFd < 0)
        return Fail("no signal descriptor");
    living::CPlayStats played;
    const int status = living::Play(*background, frames, fps, signalFd, error, &played);
    background.reset();   // the background before is put back
    if (!child)
        RemovePid(folder);
    if (status != 0)
        return Fail(error, status);
    if (stats) {
        std::fprintf(stderr,
                     "frames shown %llu, skipped %llu; interval mean %.3f ms, spread (sd) %.3f ms, shortest %.3f ms, "
                     "longest %.3f ms\n",
                     static_cast<unsigned long long>(played.shown), static_cast<unsigned long long>(played.skipped),
                     played.meanMs, played.spreadMs, played.shortestMs, played.longestMs);
    }
    return 0;
}
