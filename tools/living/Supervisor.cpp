#include "Supervisor.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <sys/wait.h>
#include <unistd.h>

namespace quorrel::living {

namespace {

pid_t Start(const std::string& program, const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    return pid;
}

// Waits at most `seconds` for one of `signals`; its number, or 0.
int WaitSignal(const sigset_t& signals, double seconds)
{
    timespec timeout{time_t(seconds), long((seconds - double(time_t(seconds))) * 1e9)};
    siginfo_t info{};
    const int number = sigtimedwait(&signals, &info, &timeout);
    return number > 0 ? number : 0;
}

// Ends `child`: SIGTERM, then after 3 s SIGKILL.
void End(pid_t child, const sigset_t& signals)
{
    kill(child, SIGTERM);
    for (int i = 0; i < 30; ++i) {
        if (waitpid(child, nullptr, WNOHANG) == child)
            return;
        WaitSignal(signals, 0.1);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

} // namespace

int Supervise(const std::string& program, const std::vector<std::string>& arguments, const sigset_t& signals)
{
    using Clock = std::chrono::steady_clock;
    int restarts = 0;
    for (;;) {
        const Clock::time_point started = Clock::now();
        const pid_t child = Start(program, arguments);
        if (child < 0) {
            std::fprintf(stderr, "quorrel-living-player: the player could not be started\n");
            return 1;
        }
        int status = 0;
        for (;;) {
            const int number = WaitSignal(signals, 1.0);
            if (number == SIGTERM || number == SIGINT || number == SIGHUP) {
                End(child, signals);
                return 0;
            }
            const pid_t ended = waitpid(child, &status, WNOHANG);
            if (ended == child)
                break;
        }
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
            return 0;
        if (WIFEXITED(status) && WEXITSTATUS(status) == 2) {
            std::fprintf(stderr, "quorrel-living-player: the player cannot play here (see above); not restarted\n");
            return 2;
        }
        const std::string how = WIFSIGNALED(status) ? "was killed by signal " + std::to_string(WTERMSIG(status))
                                                    : "exited with status " + std::to_string(WEXITSTATUS(status));
        if (Clock::now() - started >= std::chrono::seconds(kSteadySeconds))
            restarts = 0;
        if (restarts >= kMostRestarts) {
            std::fprintf(stderr,
                         "quorrel-living-player: the player %s after %d restarts; it stays stopped until the next "
                         "login (quorrel-render --living off removes it)\n",
                         how.c_str(), restarts);
            return 1;
        }
        ++restarts;
        const int delay = 1 << (restarts - 1);
        std::fprintf(stderr, "quorrel-living-player: the player %s; restart %d of %d in %d s\n", how.c_str(), restarts,
                     kMostRestarts, delay);
        const Clock::time_point until = Clock::now() + std::chrono::seconds(delay);
        while (Clock::now() < until) {
            const int number = WaitSignal(signals, std::chrono::duration<double>(until - Clock::now()).count());
            if (number == SIGTERM || number == SIGINT || number == SIGHUP)
                return 0;
        }
    }
}

} // namespace quorrel::living
