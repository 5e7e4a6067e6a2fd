// The column driver on two threads with a surface that holds on to its first
// block: the worker runs ahead until the ring of finished columns is full
// and must then wait for its slots to reach the surface, never write over a
// column the surface has not taken yet.

#include "render/ColumnDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

using namespace quorrel::render;

namespace {

// The ring holds 32 MiB of finished columns: this many at this height.
constexpr uint32_t kHeight = 16384;
constexpr std::size_t kColumnBytes = std::size_t(kHeight) * 3;
constexpr uint32_t kRingColumns = uint32_t((std::size_t(32) << 20) / kColumnBytes);
constexpr uint32_t kWidth = kRingColumns + 120;

// Column x: its number in the first four bytes, then one byte made from it.
void FillColumn(uint32_t x, uint8_t* rgb)
{
    std::memset(rgb, int(uint8_t(x * 31 + 7)), kColumnBytes);
    std::memcpy(rgb, &x, sizeof x);
}

bool IsColumn(uint32_t x, const uint8_t* rgb)
{
    uint32_t number;
    std::memcpy(&number, rgb, sizeof number);
    if (number != x)
        return false;
    const uint8_t fill = uint8_t(x * 31 + 7);
    return std::all_of(rgb + sizeof number, rgb + kColumnBytes, [fill](uint8_t b) { return b == fill; });
}

// 'S' while a thread sleeps (waits on a futex), as the kernel reports it.
char ThreadState(pid_t tid)
{
    std::ifstream stat("/proc/self/task/" + std::to_string(tid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const std::size_t close = line.rfind(')');
    return close == std::string::npos || close + 2 >= line.size() ? '?' : line[close + 2];
}

struct Shared {
    pid_t caller = ::gettid();
    std::atomic<pid_t> worker{0};
    std::atomic<uint32_t> rendered{0}; // columns rendered so far, by either thread
    std::atomic<uint32_t> furthest{0}; // one past the furthest column rendered
};

class CNumberedColumns final : public IColumnSource {
public:
    explicit CNumberedColumns(Shared& shared) : m_shared(shared) {}
    void Render(uint32_t x, uint32_t count, uint8_t* rgb) override
    {
        if (::gettid() != m_shared.caller)
            m_shared.worker.store(::gettid());
        for (uint32_t i = 0; i < count; ++i)
            FillColumn(x + i, rgb + std::size_t(i) * kColumnBytes);
        m_shared.rendered.fetch_add(count);
        uint32_t seen = m_shared.furthest.load();
        while (seen < x + count && !m_shared.furthest.compare_exchange_weak(seen, x + count)) {
        }
    }

private:
    Shared& m_shared;
};

// Holds the first block until the worker sleeps (it has gone as far as the
// ring lets it) and checks every column as it arrives.
class CStallingSurface final : public IPixelSurface {
public:
    explicit CStallingSurface(Shared& shared) : m_shared(shared) {}

    void SetPixel(uint32_t, uint32_t, uint8_t, uint8_t, uint8_t) override { ADD_FAILURE() << "pixel by pixel"; }
    void SetColumns(uint32_t x, uint32_t count, uint32_t height, const uint8_t* rgb) override
    {
        ASSERT_EQ(height, kHeight);
        if (m_blocks++ == 0)
            Stall();
        for (uint32_t i = 0; i < count; ++i) {
            if (x + i != m_next || !IsColumn(x + i, rgb + std::size_t(i) * kColumnBytes))
                m_wrong.push_back(x + i);
            m_next = x + i + 1;
        }
    }

    uint32_t m_next = 0;
    std::vector<uint32_t> m_wrong; // columns out of order or not as rendered
    uint32_t m_furthestWhileStalled = 0;
    bool m_workerSlept = false;

private:
    void Stall()
    {
        std::mutex mutex;
        std::condition_variable never;
        std::unique_lock lock(mutex);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            const pid_t worker = m_shared.worker.load();
            if (worker != 0 && ThreadState(worker) == 'S') {
                m_workerSlept = true;
                break;
            }
            never.wait_for(lock, std::chrono::milliseconds(1));
        }
        m_furthestWhileStalled = m_shared.furthest.load();
    }

    Shared& m_shared;
    int m_blocks = 0;
};

struct RunCase {
    uint32_t columnsPerRun;
};

void PrintTo(const RunCase& c, std::ostream* out) { *out << c.columnsPerRun << " columns a run"; }

class ColumnDriverRing : public testing::TestWithParam<RunCase> {};

} // namespace

INSTANTIATE_TEST_SUITE_P(Runs, ColumnDriverRing, testing::Values(RunCase{1}, RunCase{3}),
                         [](const testing::TestParamInfo<RunCase>& info) {
                             return std::to_string(info.param.columnsPerRun) + "ColumnsARun";
                         });

TEST_P(ColumnDriverRing, AWorkerWaitsForItsSlotWhileTheSurfaceHoldsTheFirstBlock)
{
    Shared shared;
    CStallingSurface surface(shared);
    DriveColumns(
        kWidth, kHeight, 2, [&] { return std::make_unique<CNumberedColumns>(shared); }, surface, {},
        GetParam().columnsPerRun);

    ASSERT_TRUE(surface.m_workerSlept) << "no worker thread ran, or it never waited";
    // The ring was full while the surface held the first block, and the
    // worker went no further than a whole ring ahead of it.
    EXPECT_GE(surface.m_furthestWhileStalled + GetParam().columnsPerRun, kRingColumns);
    EXPECT_LE(surface.m_furthestWhileStalled, kRingColumns);
    EXPECT_EQ(shared.rendered.load(), kWidth);
    EXPECT_EQ(surface.m_next, kWidth);
    EXPECT_TRUE(surface.m_wrong.empty()) << surface.m_wrong.size() << " columns overwritten or out of order, the first "
                                         << surface.m_wrong.front();
}
