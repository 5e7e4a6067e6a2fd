#pragma once
// A call that may block (a request to a server that does not answer), run
// on a thread of its own while the caller waits at most a given time. On the
// window's thread the wait keeps the windows painting and timers running
// (user input waits until it is over, so no second command starts on top).

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace quorrel::platform {

// The result of `work`, or nothing when it did not finish within `limit`.
// `work` must own everything it uses: when the wait ends first, it finishes
// on its own (it should bound itself too) and its result is dropped.
template <typename T>
std::optional<T> CallBounded(std::function<T()> work, std::chrono::milliseconds limit)
{
    struct Shared {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<T> result;
    };
    auto shared = std::make_shared<Shared>();
    std::thread([shared, work = std::move(work)] {
        T result = work();
        std::lock_guard lock(shared->mutex);
        shared->result = std::move(result);
        shared->done.notify_all();
    }).detach();

    const auto deadline = std::chrono::steady_clock::now() + limit;
    QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread()) {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            std::lock_guard lock(shared->mutex);
            if (shared->result || std::chrono::steady_clock::now() >= deadline)
                loop.quit();
        });
        poll.start(10);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    std::unique_lock lock(shared->mutex);
    shared->done.wait_until(lock, deadline, [&] { return shared->result.has_value(); });
    return shared->result;
}

} // namespace quorrel::platform
