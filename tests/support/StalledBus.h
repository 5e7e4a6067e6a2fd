#pragma once
// A session bus that takes connections and never answers: a unix socket
// that listens and never reads or writes (the kernel accepts connections
// into its backlog by itself). What a hung or stopped bus daemon looks like
// to a client.

#include <string>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>

namespace quorrel::test {

class CStalledBus final {
public:
    // At `path` (a file name), or with `abstract` at that abstract name.
    explicit CStalledBus(const std::string& path, bool abstract = false) : m_path(path), m_abstract(abstract)
    {
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        const std::size_t offset = abstract ? 1 : 0;
        if (m_fd < 0 || path.size() + offset >= sizeof address.sun_path)
            return;
        std::memcpy(address.sun_path + offset, path.data(), path.size());
        const socklen_t length = socklen_t(offsetof(sockaddr_un, sun_path) + offset + path.size() + (abstract ? 0 : 1));
        if (!abstract)
            ::unlink(path.c_str());
        m_listening = ::bind(m_fd, reinterpret_cast<const sockaddr*>(&address), length) == 0 && ::listen(m_fd, 64) == 0;
    }
    ~CStalledBus()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_abstract)
            ::unlink(m_path.c_str());
    }
    CStalledBus(const CStalledBus&) = delete;
    CStalledBus& operator=(const CStalledBus&) = delete;

    bool Listening() const { return m_listening; }
    // The D-Bus address of it.
    std::string Address() const { return (m_abstract ? "unix:abstract=" : "unix:path=") + m_path; }

private:
    std::string m_path;
    bool m_abstract = false;
    int m_fd = -1;
    bool m_listening = false;
};

} // namespace quorrel::test
