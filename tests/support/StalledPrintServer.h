#pragma once
// A print server that takes connections and never answers: a listener on
// 127.0.0.1 (a free port) that accepts every connection and holds it open
// without reading or writing, what a hung server looks like to a client.
// While it lives, the CUPS library of every new thread reaches it
// (CUPS_SERVER=127.0.0.1:PORT); the variable is restored after.

#include <QByteArray>
#include <QString>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <optional>
#include <thread>
#include <vector>

namespace quorrel::test {

class CStalledPrintServer final {
public:
    CStalledPrintServer()
    {
        if (const char* before = std::getenv("CUPS_SERVER"))
            m_before = QByteArray(before);
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<const sockaddr*>(&address), length) != 0 ||
            ::listen(m_fd, 64) != 0 || ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        m_port = ntohs(address.sin_port);
        ::setenv("CUPS_SERVER", Name().toLocal8Bit().constData(), 1);
        m_holder = std::thread([this] { Hold(); });
    }
    ~CStalledPrintServer()
    {
        m_stop = true;
        if (m_holder.joinable())
            m_holder.join();
        for (int held : m_held)
            ::close(held);
        if (m_fd >= 0)
            ::close(m_fd);
        if (m_before)
            ::setenv("CUPS_SERVER", m_before->constData(), 1);
        else
            ::unsetenv("CUPS_SERVER");
    }
    CStalledPrintServer(const CStalledPrintServer&) = delete;
    CStalledPrintServer& operator=(const CStalledPrintServer&) = delete;

    bool Listening() const { return m_port != 0; }
    // "127.0.0.1:PORT", as the user names the server.
    QString Name() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }
    // Connections taken so far.
    int Accepted() const { return m_accepted; }

private:
    void Hold()
    {
        while (!m_stop) {
            pollfd listening {m_fd, POLLIN, 0};
            if (::poll(&listening, 1, 50) <= 0)
                continue;
            const int held = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
            if (held >= 0) {
                m_held.push_back(held);
                ++m_accepted;
            }
        }
    }

    std::optional<QByteArray> m_before;
    int m_fd = -1;
    int m_port = 0;
    std::thread m_holder;
    std::vector<int> m_held;   // the holder's own until it is joined
    std::atomic<bool> m_stop {false};
    std::atomic<int> m_accepted {0};
};

} // namespace quorrel::test
