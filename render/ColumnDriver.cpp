#include "ColumnDriver.h"

#include "WorkerPool.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace quorrel::render {

namespace {

// The finished columns waiting for the surface may take this much memory;
// up to it every column has a slot of its own, so no thread waits for one.
constexpr std::size_t kRingBytes = std::size_t(32) << 20;

// Waits until `flag` differs from `old`: spins for a while first, because a
// thread that goes to sleep here can take a tenth of a millisecond to wake,
// far longer than a column takes.
void AwaitChange(const std::atomic<uint32_t>& flag, uint32_t old)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::microseconds(300);
    for (;;) {
        for (int i = 0; i < 256; ++i) {
            if (flag.load(std::memory_order_acquire) != old)
                return;
        }
        if (std::chrono::steady_clock::now() > deadline)
            break;
    }
    flag.wait(old, std::memory_order_acquire);
}

// trunc(x / width * 100) as column x reaches the surface, each value once.
class CProgressSteps final {
public:
    CProgressSteps(const ProgressSink& sink, uint32_t width) : m_sink(sink), m_width(width) {}

    void Column(uint32_t x)
    {
        if (!m_sink)
            return;
        const int percent = static_cast<int>(static_cast<double>(x) / static_cast<double>(m_width) * 100.0);
        if (percent != m_last) {
            m_last = percent;
            m_sink(percent);
        }
    }
    void Done()
    {
        if (m_sink)
            m_sink(0);
    }

private:
    const ProgressSink& m_sink;
    double m_width;
    int m_last = -1;
};

void RenderOnCallingThread(uint32_t width, uint32_t height, IColumnSource& source, IPixelSurface& surface,
                           CProgressSteps& progress)
{
    std::vector<uint8_t> rgb(std::size_t(height) * 3);
    for (uint32_t x = 0; x < width; ++x) {
        progress.Column(x);
        source.Render(x, rgb.data());
        surface.SetColumn(x, height, rgb.data());
    }
}

// Columns are handed out in order to the calling thread and `threads - 1`
// pool threads. A finished column waits in a ring of slots until every
// column left of it is done; the calling thread then writes it to the
// surface and reports progress, so neither the surface nor the progress
// sink is ever touched from another thread. A worker that runs a whole ring
// ahead waits for its slot.
void RenderOnThreads(uint32_t width, uint32_t height, const ColumnSourceFactory& make, IPixelSurface& surface,
                     CProgressSteps& progress, unsigned threads)
{
    const std::size_t slotBytes = std::size_t(height) * 3;
    const auto slots = static_cast<uint32_t>(
        std::min<std::size_t>(width, std::max<std::size_t>(8 * threads, kRingBytes / slotBytes)));
    std::vector<uint8_t> ring(slots * slotBytes);
    const auto done = std::make_unique<std::atomic<uint32_t>[]>(width);
    for (uint32_t x = 0; x < width; ++x)
        done[x].store(0, std::memory_order_relaxed);
    std::atomic<uint32_t> next{0};
    std::atomic<uint32_t> flushed{0};

    auto slot = [&](uint32_t x) { return ring.data() + (x % slots) * slotBytes; };
    auto render = [&](IColumnSource& worker, uint32_t x) {
        worker.Render(x, slot(x));
        done[x].store(1, std::memory_order_release);
        done[x].notify_one();
    };

    // Every allocation happens here, before any thread starts.
    std::vector<std::unique_ptr<IColumnSource>> workers;
    for (unsigned i = 0; i < threads; ++i)
        workers.push_back(make());

    CWorkerPool::Batch batch(CWorkerPool::Shared(), threads - 1, [&](unsigned index) {
        IColumnSource& worker = *workers[index + 1];
        for (uint32_t x; (x = next.fetch_add(1, std::memory_order_relaxed)) < width;) {
            for (uint32_t f = flushed.load(std::memory_order_acquire); x >= f + slots;
                 f = flushed.load(std::memory_order_acquire))
                AwaitChange(flushed, f);
            render(worker, x);
        }
    });

    if (!batch.Started()) {
        RenderOnCallingThread(width, height, *workers[0], surface, progress);
        return;
    }

    // Should the surface or the progress sink throw, release the workers
    // before the batch waits for them.
    struct Release {
        std::atomic<uint32_t>& next;
        std::atomic<uint32_t>& flushed;
        uint32_t width;
        ~Release()
        {
            next.store(width);
            flushed.store(width);
            flushed.notify_all();
        }
    } release{next, flushed, width};

    uint32_t written = 0;
    auto flush = [&](uint32_t until, bool block) {
        while (written < until) {
            if (!done[written].load(std::memory_order_acquire)) {
                if (!block)
                    return;
                AwaitChange(done[written], 0);
                continue;
            }
            progress.Column(written);
            surface.SetColumn(written, height, slot(written));
            flushed.store(++written, std::memory_order_release);
            flushed.notify_all();
        }
    };

    progress.Column(0);
    IColumnSource& worker = *workers[0];
    for (uint32_t x; (x = next.fetch_add(1, std::memory_order_relaxed)) < width;) {
        flush(width, false);
        if (x >= written + slots)
            flush(x - slots + 1, true);
        render(worker, x);
    }
    flush(width, true);
}

} // namespace

unsigned ColumnThreads(unsigned requested, uint32_t width, uint32_t height, uint64_t workPerPixel)
{
    unsigned threads = requested;
    if (threads == 0) {
        threads = std::max(1u, std::thread::hardware_concurrency());
        const uint64_t work = uint64_t(width) * height * (workPerPixel + kFinishWork);
        if (work < kParallelMinWork)
            threads = 1;
    }
    return std::min<unsigned>(threads, width);
}

void DriveColumns(uint32_t width, uint32_t height, unsigned threads, const ColumnSourceFactory& make,
                  IPixelSurface& surface, const ProgressSink& progress)
{
    CProgressSteps steps(progress, width);
    if (threads <= 1) {
        const auto source = make();
        RenderOnCallingThread(width, height, *source, surface, steps);
    } else {
        RenderOnThreads(width, height, make, surface, steps, threads);
    }
    steps.Done();
}

} // namespace quorrel::render
