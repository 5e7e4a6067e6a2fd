#pragma once
// A small set of persistent threads: starting threads for every rendering
// would cost more than a small tile takes to render.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace quorrel::render {

class CWorkerPool final {
public:
    CWorkerPool() = default;
    ~CWorkerPool();
    CWorkerPool(const CWorkerPool&) = delete;
    CWorkerPool& operator=(const CWorkerPool&) = delete;

    // The process's shared pool, threads created on first use.
    static CWorkerPool& Shared();

    // Runs job(0) .. job(threads - 1) on as many pool threads while it
    // lives, if the pool is free; the destructor waits for all of them. The
    // pool runs one batch at a time: when another batch holds it (another
    // thread rendering, or a rendering started from inside a progress
    // report) nothing starts and Started() is false, so the caller can do
    // the work itself instead of waiting or deadlocking. The job must not
    // throw.
    class Batch final {
    public:
        Batch(CWorkerPool& pool, unsigned threads, std::function<void(unsigned)> job);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

        bool Started() const { return m_use.owns_lock(); }

    private:
        CWorkerPool& m_pool;
        std::unique_lock<std::mutex> m_use;
        std::function<void(unsigned)> m_job;
    };

private:
    void Run(unsigned index);

    std::mutex m_use;   // held by the batch in progress
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::vector<std::thread> m_threads;
    const std::function<void(unsigned)>* m_job = nullptr;
    uint64_t m_generation = 0;
    unsigned m_participants = 0;
    unsigned m_running = 0;
    bool m_stop = false;
};

} // namespace quorrel::render
