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

// Columns go to the surface in blocks of at least this many: a surface that
// stores rows then writes a few cache lines of each row at once instead of
// touching every row (and its page) for a handful of pixels.
constexpr uint32_t kFlushColumns = 64;

void RenderOnCallingThread(uint32_t width, uint32_t height, uint32_t run, IColumnSource& source,
                           IPixelSurface& surface, CProgressSteps& progress)
{
    const std::size_t columnBytes = std::size_t(height) * 3;
    if (source.RendersRows()) {
        const auto rgb = std::make_unique_for_overwrite<uint8_t[]>(columnBytes * run);
        for (uint32_t x = 0; x < width; x += run) {
            const uint32_t count = std::min(run, width - x);
            progress.Column(x);
            source.Render(x, count, rgb.get());
            for (uint32_t i = 1; i < count; ++i)
                progress.Column(x + i);
            surface.SetRows(x, count, height, rgb.get());
        }
        return;
    }
    const uint32_t block = std::min(width, std::max(run, kFlushColumns / run * run));
    std::vector<uint8_t> rgb(columnBytes * block);
    uint32_t first = 0;   // the first column in `rgb`
    for (uint32_t x = 0; x < width; x += run) {
        const uint32_t count = std::min(run, width - x);
        progress.Column(x);
        source.Render(x, count, rgb.data() + (x - first) * columnBytes);
        for (uint32_t i = 1; i < count; ++i)
            progress.Column(x + i);
        if (x + count - first + run > block || x + count == width) {
            surface.SetColumns(first, x + count - first, height, rgb.data());
            first = x + count;
        }
    }
}

// Runs of columns are handed out in order to the calling thread and
// `threads - 1` pool threads. A finished column waits in a ring of slots until every
// column left of it is done; the calling thread then writes it to the
// surface and reports progress, so neither the surface nor the progress
// sink is ever touched from another thread. A worker that runs a whole ring
// ahead waits for its slot.
void RenderOnThreads(uint32_t width, uint32_t height, uint32_t run, const ColumnSourceFactory& make,
                     IPixelSurface& surface, CProgressSteps& progress, unsigned threads)
{
    const std::size_t slotBytes = std::size_t(height) * 3;
    // A whole number of runs, so that a run's columns are adjacent slots.
    const std::size_t runs = (width + run - 1) / run;
    const auto slots = static_cast<uint32_t>(
        std::min<std::size_t>(runs, std::max<std::size_t>(8 * threads, kRingBytes / (slotBytes * run))) * run);
    // Every byte is written by a worker before the surface reads it: no
    // need to clear the ring (up to kRingBytes) on every rendering.
    const auto ring = std::make_unique_for_overwrite<uint8_t[]>(slots * slotBytes);
    const auto done = std::make_unique<std::atomic<uint32_t>[]>(width);
    for (uint32_t x = 0; x < width; ++x)
        done[x].store(0, std::memory_order_relaxed);
    std::atomic<uint32_t> next{0};   // the next run's first column
    std::atomic<uint32_t> flushed{0};

    auto slot = [&](uint32_t x) { return ring.get() + (x % slots) * slotBytes; };
    auto take = [&] { return next.fetch_add(run, std::memory_order_relaxed); };
    auto render = [&](IColumnSource& worker, uint32_t x) {
        const uint32_t count = std::min(run, width - x);
        worker.Render(x, count, slot(x));
        for (uint32_t i = x; i < x + count; ++i) {
            done[i].store(1, std::memory_order_release);
            done[i].notify_one();
        }
    };

    // Every allocation happens here, before any thread starts.
    std::vector<std::unique_ptr<IColumnSource>> workers;
    for (unsigned i = 0; i < threads; ++i)
        workers.push_back(make());

    CWorkerPool::Batch batch(CWorkerPool::Shared(), threads - 1, [&](unsigned index) {
        IColumnSource& worker = *workers[index + 1];
        for (uint32_t x; (x = take()) < width;) {
            for (uint32_t f = flushed.load(std::memory_order_acquire); x + run > f + slots;
                 f = flushed.load(std::memory_order_acquire))
                AwaitChange(flushed, f);
            render(worker, x);
        }
    });

    if (!batch.Started()) {
        RenderOnCallingThread(width, height, run, *workers[0], surface, progress);
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

    // Every finished column from `written` on that is adjacent in the ring
    // goes to the surface in one block. A source that lays out rows is
    // flushed by whole runs (each laid out on its own): a run is done when
    // its last column is, as its columns are marked done in order.
    const bool rows = workers[0]->RendersRows();
    const uint32_t unit = rows ? run : 1;
    auto last = [&](uint32_t x) { return std::min(x + unit, width) - 1; };
    uint32_t written = 0;
    auto flush = [&](uint32_t until, bool block) {
        while (written < until) {
            if (!done[last(written)].load(std::memory_order_acquire)) {
                if (!block)
                    return;
                AwaitChange(done[last(written)], 0);
                continue;
            }
            const uint32_t limit = std::min(width, written - written % slots + slots);
            uint32_t end = std::min(written + unit, width);
            while (end < limit && done[last(end)].load(std::memory_order_acquire))
                end = std::min(end + unit, width);
            for (uint32_t x = written; x < end; ++x)
                progress.Column(x);
            if (rows) {
                for (uint32_t x = written; x < end; x += run)
                    surface.SetRows(x, std::min(run, end - x), height, slot(x));
            } else {
                surface.SetColumns(written, end - written, height, slot(written));
            }
            written = end;
            flushed.store(written, std::memory_order_release);
            flushed.notify_all();
        }
    };

    progress.Column(0);
    IColumnSource& worker = *workers[0];
    for (uint32_t x; (x = take()) < width;) {
        flush(width, false);
        if (x + run > written + slots)
            flush(x + run - slots, true);
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
                  IPixelSurface& surface, const ProgressSink& progress, uint32_t columnsPerRun)
{
    CProgressSteps steps(progress, width);
    const uint32_t run = std::clamp<uint32_t>(columnsPerRun, 1, width);
    if (threads <= 1) {
        const auto source = make();
        RenderOnCallingThread(width, height, run, *source, surface, steps);
    } else {
        RenderOnThreads(width, height, run, make, surface, steps, threads);
    }
    steps.Done();
}

} // namespace quorrel::render
