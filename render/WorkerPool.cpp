#include "WorkerPool.h"

namespace quorrel::render {

CWorkerPool::~CWorkerPool()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    for (auto& thread : m_threads)
        thread.join();
}

CWorkerPool& CWorkerPool::Shared()
{
    static CWorkerPool pool;
    return pool;
}

void CWorkerPool::Run(unsigned index)
{
    uint64_t seen = 0;
    for (;;) {
        const std::function<void(unsigned)>* job = nullptr;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [&] { return m_stop || m_generation != seen; });
            if (m_stop)
                return;
            seen = m_generation;
            if (index >= m_participants)
                continue;
            job = m_job;
        }
        (*job)(index);
        {
            std::lock_guard lock(m_mutex);
            if (--m_running == 0)
                m_idle.notify_all();
        }
    }
}

CWorkerPool::Batch::Batch(CWorkerPool& pool, unsigned threads, std::function<void(unsigned)> job)
    : m_pool(pool), m_use(pool.m_use, std::try_to_lock), m_job(std::move(job))
{
    if (!Started() || threads == 0)
        return;
    {
        std::lock_guard lock(m_pool.m_mutex);
        while (m_pool.m_threads.size() < threads) {
            const unsigned index = static_cast<unsigned>(m_pool.m_threads.size());
            m_pool.m_threads.emplace_back([index, &pool] { pool.Run(index); });
        }
        m_pool.m_job = &m_job;
        m_pool.m_participants = threads;
        m_pool.m_running = threads;
        ++m_pool.m_generation;
    }
    m_pool.m_wake.notify_all();
}

CWorkerPool::Batch::~Batch()
{
    if (!Started())
        return;
    std::unique_lock lock(m_pool.m_mutex);
    m_pool.m_idle.wait(lock, [&] { return m_pool.m_running == 0; });
    m_pool.m_job = nullptr;
    m_pool.m_participants = 0;
}

} // namespace quorrel::render
