#include "SessionBus.h"

#include "model/ShownText.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace quorrel::output {

namespace {

// D-Bus addresses escape bytes as %XX.
std::string Unescape(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const std::string hex(text.substr(i + 1, 2));
            char* end = nullptr;
            const long value = std::strtol(hex.c_str(), &end, 16);
            if (end == hex.c_str() + 2) {
                out += char(value);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// The socket of the first "unix:" alternative with a path or an abstract
// name; nothing when there is none.
std::optional<sockaddr_un> UnixSocketOf(const std::string& address, socklen_t& length)
{
    std::size_t start = 0;
    while (start <= address.size()) {
        const std::size_t end = std::min(address.find(';', start), address.size());
        const std::string_view entry(address.data() + start, end - start);
        start = end + 1;
        if (entry.substr(0, 5) != "unix:")
            continue;
        std::string_view keys = entry.substr(5);
        while (!keys.empty()) {
            const std::size_t comma = std::min(keys.find(','), keys.size());
            const std::string_view pair = keys.substr(0, comma);
            keys = comma < keys.size() ? keys.substr(comma + 1) : std::string_view();
            const bool path = pair.substr(0, 5) == "path=";
            const bool abstract = pair.substr(0, 9) == "abstract=";
            if (!path && !abstract)
                continue;
            const std::string name = Unescape(pair.substr(path ? 5 : 9));
            sockaddr_un socketAddress {};
            socketAddress.sun_family = AF_UNIX;
            const std::size_t offset = abstract ? 1 : 0;
            if (name.empty() || name.size() + offset >= sizeof socketAddress.sun_path)
                return std::nullopt;
            std::memcpy(socketAddress.sun_path + offset, name.data(), name.size());
            length = socklen_t(offsetof(sockaddr_un, sun_path) + offset + name.size() + (abstract ? 0 : 1));
            return socketAddress;
        }
    }
    return std::nullopt;
}

bool WaitFor(int fd, short events, std::chrono::steady_clock::time_point deadline)
{
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd one {fd, events, 0};
        const int ready = ::poll(&one, 1, int(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        return ready > 0;
    }
}

} // namespace

std::string SessionBusAddress(const std::string& addressVariable, const std::string& runtimeFolder)
{
    if (!addressVariable.empty())
        return addressVariable;
    if (runtimeFolder.empty())
        return {};
    const std::string socketPath = runtimeFolder + "/bus";
    struct stat st {};
    if (::stat(socketPath.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode))
        return {};
    return "unix:path=" + socketPath;
}

std::string SessionBusAddress()
{
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return SessionBusAddress(address ? address : "", runtime ? runtime : "");
}

BusAnswer ProbeBus(const std::string& address, std::chrono::milliseconds wait)
{
    socklen_t length = 0;
    const std::optional<sockaddr_un> target = UnixSocketOf(address, length);
    if (!target)
        return BusAnswer::NotChecked;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return BusAnswer::NotChecked;
    BusAnswer answer = BusAnswer::Silent;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&*target), length) != 0) {
        if (errno != EINPROGRESS && errno != EAGAIN) {
            ::close(fd);
            return BusAnswer::Unreachable;
        }
        int failure = 0;
        socklen_t size = sizeof failure;
        if (!WaitFor(fd, POLLOUT, deadline) || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &failure, &size) != 0) {
            ::close(fd);
            return BusAnswer::Silent;
        }
        if (failure != 0) {
            ::close(fd);
            return BusAnswer::Unreachable;
        }
    }
    // The credentials byte, then the start of an authentication as this
    // user: a bus answers it at once (OK or REJECTED); either is an answer.
    const std::string uid = std::to_string(::geteuid());
    std::string greeting(1, '\0');
    greeting += "AUTH EXTERNAL ";
    static const char kHex[] = "0123456789abcdef";
    for (const unsigned char c : uid) {
        greeting += kHex[c >> 4];
        greeting += kHex[c & 15];
    }
    greeting += "\r\n";
    if (::send(fd, greeting.data(), greeting.size(), MSG_NOSIGNAL) != ssize_t(greeting.size())) {
        ::close(fd);
        return BusAnswer::Unreachable;
    }
    while (WaitFor(fd, POLLIN, deadline)) {
        char reply[64];
        const ssize_t got = ::recv(fd, reply, sizeof reply, 0);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        answer = got > 0 ? BusAnswer::Answered : BusAnswer::Unreachable;   // 0: it hung up
        break;
    }
    ::close(fd);
    return answer;
}

std::string ShownBusAddress(const std::string& address) { return model::ShownText(address, 100); }

namespace {

struct CSessionBusState {
    std::string address;   // as the process started with it
    BusAnswer answer;
};

const CSessionBusState& SessionBusState()
{
    static const CSessionBusState state = [] {
        const std::string address = SessionBusAddress();
        return CSessionBusState{address, ProbeBus(address, kBusAnswerWait)};
    }();
    return state;
}

} // namespace

BusAnswer SessionBusAnswer() { return SessionBusState().answer; }

std::string FirstSessionBusAddress() { return SessionBusState().address; }

std::string SilentBusText(const std::string& address)
{
    return "the session bus (" + ShownBusAddress(address) + ") did not answer within " +
           std::to_string(std::chrono::duration_cast<std::chrono::seconds>(kBusAnswerWait).count()) + " s";
}

void GuardAgainstStalledBus()
{
    if (SessionBusAnswer() != BusAnswer::Silent)
        return;
    const std::string address = FirstSessionBusAddress();
    // An address no library can connect to fails at once instead of
    // waiting; the accessibility bridge stays off.
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
    ::unsetenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON");
    ::setenv("NO_AT_BRIDGE", "1", 1);
    std::fprintf(stderr, "quorrel: %s; desktop services over the bus and the accessibility bridge are off for this run\n",
                 SilentBusText(address).c_str());
}

} // namespace quorrel::output
