#include "SwaybgPause.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorrel::living {

namespace {

constexpr std::size_t kLargestRecord = 64 * 1024;
constexpr const char* kRecordName = "quorrel-living-swaybg";

// The whole of a small file opened without following a link; false when it
// is missing, not a regular file of ours or too large.
bool ReadSmallFile(const std::string& path, std::string& text, std::size_t largest)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid() &&
              std::size_t(info.st_size) <= largest;
    text.clear();
    char buffer[4096];
    while (ok) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0)
            ok = false;
        if (got <= 0)
            break;
        text.append(buffer, std::size_t(got));
        ok = text.size() <= largest;
    }
    close(fd);
    return ok;
}

// /proc/PID's NUL-separated list (cmdline, environ) as strings.
bool ReadList(const std::string& path, std::vector<std::string>& items)
{
    std::string text;
    // /proc files report size 0: read them as they come, bounded.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(fd, buffer, sizeof buffer)) > 0 && text.size() < kLargestRecord)
        text.append(buffer, std::size_t(got));
    close(fd);
    items.clear();
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\0', start);
        items.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return !items.empty();
}

// The swaybg processes of this user drawing on our compositor (the same
// WAYLAND_DISPLAY and XDG_RUNTIME_DIR), with their command lines.
std::vector<std::pair<pid_t, std::vector<std::string>>> FindSwaybg()
{
    std::vector<std::pair<pid_t, std::vector<std::string>>> found;
    const char* display = std::getenv("WAYLAND_DISPLAY");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!display || !runtime)
        return found;
    const std::string wantDisplay = std::string("WAYLAND_DISPLAY=") + display;
    const std::string wantRuntime = std::string("XDG_RUNTIME_DIR=") + runtime;
    DIR* proc = opendir("/proc");
    if (!proc)
        return found;
    while (const dirent* entry = readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (!end || *end != '\0' || pid <= 1 || pid == getpid())
            continue;
        const std::string base = std::string("/proc/") + entry->d_name;
        struct stat info {};
        if (stat(base.c_str(), &info) != 0 || info.st_uid != geteuid())
            continue;
        std::string comm;
        if (!ReadSmallFile(base + "/comm", comm, 64) || comm != "swaybg\n")
            continue;
        std::vector<std::string> environment, command;
        if (!ReadList(base + "/environ", environment) || !ReadList(base + "/cmdline", command))
            continue;
        bool sameDisplay = false, sameRuntime = false;
        for (const std::string& variable : environment) {
            sameDisplay = sameDisplay || variable == wantDisplay;
            sameRuntime = sameRuntime || variable == wantRuntime;
        }
        if (sameDisplay && sameRuntime)
            found.emplace_back(pid_t(pid), command);
    }
    closedir(proc);
    return found;
}

// Writes `text` as `path` whole: a private temporary renamed over the name,
// so a link planted there is replaced, never followed.
bool WriteRecord(const std::string& path, const std::string& text)
{
    const std::string temporary = path + ".new";
    unlink(temporary.c_str());
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool ok = write(fd, text.data(), text.size()) == ssize_t(text.size());
    ok = close(fd) == 0 && ok;
    if (ok && rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    unlink(temporary.c_str());
    return false;
}

// Starts `command` detached from us: its own session, no signals blocked,
// reaped by init.
void StartDetached(const std::vector<std::string>& command)
{
    if (command.empty())
        return;
    const pid_t first = fork();
    if (first == 0) {
        setsid();
        if (fork() == 0) {
            sigset_t none;
            sigemptyset(&none);
            sigprocmask(SIG_SETMASK, &none, nullptr);
            std::vector<char*> argv;
            for (const std::string& argument : command)
                argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            execvp(argv[0], argv.data());
        }
        _exit(0);
    }
    if (first > 0)
        waitpid(first, nullptr, 0);
}

} // namespace

std::string CSwaybgPause::Encode(const std::vector<std::vector<std::string>>& commands)
{
    std::string text;
    for (const auto& command : commands) {
        for (const std::string& argument : command)
            text += std::to_string(argument.size()) + ":" + argument;
        text += "\n";
    }
    return text;
}

bool CSwaybgPause::Decode(const std::string& text, std::vector<std::vector<std::string>>& commands)
{
    commands.clear();
    std::vector<std::string> command;
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == '\n') {
            if (command.empty())
                return false;
            commands.push_back(std::move(command));
            command.clear();
            ++at;
            continue;
        }
        std::size_t length = 0, digits = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 6) {
            length = length * 10 + std::size_t(text[at++] - '0');
            ++digits;
        }
        if (digits == 0 || at >= text.size() || text[at] != ':' || text.size() - at - 1 < length)
            return false;
        command.push_back(text.substr(at + 1, length));
        at += 1 + length;
    }
    // Only swaybg is ever started again, whatever a record says.
    for (const auto& each : commands) {
        const std::size_t slash = each[0].rfind('/');
        if (each[0].substr(slash == std::string::npos ? 0 : slash + 1) != "swaybg")
            return false;
    }
    return command.empty();
}

bool CSwaybgPause::Pause(std::string& error)
{
    if (m_paused)
        return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || runtime[0] != '/') {
        error = "XDG_RUNTIME_DIR is not set: swaybg cannot be stopped while the player runs";
        return false;
    }
    m_record = std::string(runtime) + "/" + kRecordName;
    const auto running = FindSwaybg();
    // A record left by a player that crashed names the swaybg stopped then:
    // it stays, with any started since added.
    std::vector<std::vector<std::string>> commands;
    std::string text;
    if (ReadSmallFile(m_record, text, kLargestRecord) && !Decode(text, commands))
        commands.clear();
    for (const auto& [pid, command] : running)
        commands.push_back(command);
    if (!running.empty() && !WriteRecord(m_record, Encode(commands))) {
        error = "cannot keep swaybg's command line in " + m_record + ": " + std::strerror(errno);
        return false;
    }
    for (const auto& [pid, command] : running)
        kill(pid, SIGTERM);
    m_paused = true;
    return true;
}

void CSwaybgPause::Resume()
{
    if (!m_paused)
        return;
    m_paused = false;
    ResumeRecorded();
}

void CSwaybgPause::ResumeRecorded()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || runtime[0] != '/')
        return;
    const std::string record = std::string(runtime) + "/" + kRecordName;
    std::string text;
    std::vector<std::vector<std::string>> commands;
    if (!ReadSmallFile(record, text, kLargestRecord) || !Decode(text, commands))
        return;
    unlink(record.c_str());
    for (const auto& command : commands)
        StartDetached(command);
}

} // namespace quorrel::living
