#pragma once
// Ends the test program when the thread under test is held longer than a
// bound: a frozen window thread cannot fail a test by itself.

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace quorrel::test {

class CWatchdog final {
public:
    CWatchdog(std::chrono::seconds limit, std::string what) : m_what(std::move(what))
    {
        m_thread = std::thread([this, limit] {
            std::unique_lock lock(m_mutex);
            if (!m_released.wait_for(lock, limit, [this] { return m_done; })) {
                std::fprintf(stderr, "FAILED: %s still held after %lld s\n", m_what.c_str(),
                             static_cast<long long>(limit.count()));
                std::fflush(stderr);
                std::_Exit(1);
            }
        });
    }
    ~CWatchdog()
    {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_released.notify_all();
        m_thread.join();
    }
    CWatchdog(const CWatchdog&) = delete;
    CWatchdog& operator=(const CWatchdog&) = delete;

private:
    std::string m_what;
    std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_done = false;
    std::thread m_thread;
};

} // namespace quorrel::test
