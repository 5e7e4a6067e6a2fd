#pragma once
// Runs a command-line tool with its arguments passed byte for byte (names
// that are not UTF-8 included, which QProcess cannot pass), in a folder of
// the test's choosing, capturing its output and exit status.

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorrel::test {

struct ToolResult {
    int exitCode = -1;   // -SIGNAL when a signal ended it, -1000 on a timeout
    std::string out;
    std::string err;
    // The stderr lines, without the progress bar's carriage returns.
    int ErrLines() const
    {
        int lines = 0;
        for (const char c : err)
            lines += c == '\n';
        return lines;
    }
};

// `argv[0]` is the program. `whileRunning` is called every few milliseconds
// with the child's pid until it ends.
inline ToolResult RunTool(const std::vector<std::string>& argv, const std::string& workDir,
                          const std::function<void(pid_t)>& whileRunning = {}, int timeoutSeconds = 120)
{
    ToolResult result;
    char outName[] = "/tmp/quorrel-tool-out-XXXXXX";
    char errName[] = "/tmp/quorrel-tool-err-XXXXXX";
    const int outFd = ::mkstemp(outName), errFd = ::mkstemp(errName);
    if (outFd < 0 || errFd < 0)
        return result;
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(outFd, 1);
        ::dup2(errFd, 2);
        const int nullFd = ::open("/dev/null", O_RDONLY);
        ::dup2(nullFd, 0);
        if (::chdir(workDir.c_str()) != 0)
            ::_exit(126);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    while (pid > 0) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            break;
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            status = -1;
            break;
        }
        if (whileRunning)
            whileRunning(pid);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (pid > 0 && status != -1)
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    else if (status == -1)
        result.exitCode = -1000;
    auto slurp = [](const char* name) {
        std::ifstream in(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    result.out = slurp(outName);
    result.err = slurp(errName);
    ::close(outFd);
    ::close(errFd);
    ::unlink(outName);
    ::unlink(errName);
    return result;
}

// The prefix that runs a command as the unprivileged user "nobody"
// (65534); empty when this process is not root and cannot switch.
inline std::vector<std::string> AsNobody()
{
    if (::geteuid() != 0)
        return {};
    return {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
}

} // namespace quorrel::test
