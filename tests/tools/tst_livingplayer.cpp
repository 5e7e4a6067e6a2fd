// The living wallpaper player's clock (absolute deadlines: no drift, a skip
// to the frame due when late) and its loop against a stand-in background:
// frames in order at the rate, nothing drawn while nothing can be seen, and
// an end as soon as a signal arrives.

#include "support/TempFolder.h"

#include "output/living/FramesFile.h"
#include "tools/living/FrameClock.h"
#include "tools/living/Player.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <thread>
#include <unistd.h>

using namespace quorrel;
using namespace quorrel::living;
using namespace std::chrono;

namespace {

class FrameClockTest : public ::testing::TestWithParam<uint32_t> {};

TEST_P(FrameClockTest, DeadlinesAreAbsoluteAndNeverDrift)
{
    const uint32_t fps = GetParam();
    const CFrameClock::Clock::time_point start{seconds(1000)};
    const CFrameClock clock(fps, start);
    // Whole seconds land exactly, however many frames came before.
    for (const uint64_t s : {uint64_t(1), uint64_t(3600), uint64_t(86400 * 30)})
        EXPECT_EQ(clock.Due(s * fps) - start, seconds(s)) << s << " s at " << fps << " fps";
    for (uint64_t n : {uint64_t(0), uint64_t(1), uint64_t(fps - 1), uint64_t(fps) * 7 + 3, uint64_t(fps) * 86400 + 1}) {
        EXPECT_EQ(clock.DueAt(clock.Due(n)), n);
        if (n > 0) {
            EXPECT_EQ(clock.DueAt(clock.Due(n) - nanoseconds(1)), n - 1);
            EXPECT_GT(clock.Due(n), clock.Due(n - 1));
        }
    }
    EXPECT_EQ(clock.DueAt(start - seconds(5)), 0u);
    // On time: the next frame. Late by three frames: the one due now.
    EXPECT_EQ(clock.Next(10, clock.Due(11) - nanoseconds(1)), 11u);
    EXPECT_EQ(clock.Next(10, clock.Due(14)), 14u);
}

INSTANTIATE_TEST_SUITE_P(Rates, FrameClockTest, ::testing::Values(1u, 7u, 24u, 30u, 60u, 120u));

// Records what the player shows; `visible` says whether anything can be seen.
class CRecordingBackground final : public IBackground {
public:
    CRecordingBackground() { EXPECT_EQ(pipe(m_pipe), 0); }
    ~CRecordingBackground() override
    {
        close(m_pipe[0]);
        close(m_pipe[1]);
    }
    int Fd() const override { return m_pipe[0]; }
    bool Dispatch(std::string&) override { return true; }
    bool Show(const CFrameView& frame, std::string&) override
    {
        shown.push_back(frame.pixels[0]);
        times.push_back(steady_clock::now());
        return true;
    }
    bool Visible() const override { return visible.load(); }

    std::atomic<bool> visible{true};
    std::vector<uint32_t> shown;   // each frame's first word: its number
    std::vector<steady_clock::time_point> times;

private:
    int m_pipe[2] = {-1, -1};
};

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        const auto header = output::living::MakeFramesHeader(2, 2, kFrames, 50, error);
        std::vector<uint8_t> bytes(std::size_t(header->FileBytes()));
        uint8_t head[output::living::kFramesHeaderBytes];
        output::living::EncodeFramesHeader(*header, head);
        std::memcpy(bytes.data(), head, sizeof head);
        for (uint32_t f = 0; f < kFrames; ++f) {
            for (int i = 0; i < 4; ++i)
                std::memcpy(bytes.data() + 64 + (f * 4 + uint32_t(i)) * 4, &f, 4);
        }
        const std::string path = m_folder.Path().string() + "/loop.frames";
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    std::streamsize(bytes.size()));
        ASSERT_TRUE(m_frames.Open(path, error)) << error;
        ASSERT_EQ(pipe(m_signal), 0);
    }
    void TearDown() override
    {
        close(m_signal[0]);
        close(m_signal[1]);
    }

    // Plays for `ms` milliseconds, then "signals"; returns the status and
    // how long Play took to return after the signal.
    int PlayFor(IBackground& background, int ms, milliseconds& late)
    {
        std::string error;
        steady_clock::time_point signalled;
        std::thread stopper([&] {
            std::this_thread::sleep_for(milliseconds(ms));
            signalled = steady_clock::now();
            EXPECT_EQ(write(m_signal[1], "x", 1), 1);
        });
        const int status = Play(background, m_frames, 50, m_signal[0], error);
        late = duration_cast<milliseconds>(steady_clock::now() - signalled);
        stopper.join();
        return status;
    }

    static constexpr uint32_t kFrames = 7;
    test::CTempFolder m_folder{"living-player"};
    output::living::CFramesFile m_frames;
    int m_signal[2] = {-1, -1};
};

TEST_F(PlayerTest, ShowsTheFramesInOrderAtTheRateUntilASignal)
{
    CRecordingBackground background;
    milliseconds late{};
    EXPECT_EQ(PlayFor(background, 600, late), 0);
    EXPECT_LT(late.count(), 100) << "the signal was not answered at once";
    // 50 fps for 0.6 s: 30 frames, give or take a loaded machine's skips.
    ASSERT_GE(background.shown.size(), 15u);
    EXPECT_LE(background.shown.size(), 32u);
    for (std::size_t i = 1; i < background.shown.size(); ++i) {
        const uint32_t step = (background.shown[i] + kFrames - background.shown[i - 1]) % kFrames;
        EXPECT_GE(step, 1u) << "a frame shown twice in a row";
    }
    EXPECT_EQ(background.shown[0], 0u);
    // The deadlines are absolute: the last frame is not later than its slot.
    const double span = duration<double>(background.times.back() - background.times.front()).count();
    EXPECT_NEAR(span, double(background.shown.size() - 1) / 50.0, 0.1);
}

TEST_F(PlayerTest, DrawsNothingWhileNothingCanBeSeen)
{
    CRecordingBackground background;
    background.visible = false;
    milliseconds late{};
    EXPECT_EQ(PlayFor(background, 400, late), 0);
    EXPECT_TRUE(background.shown.empty());
    EXPECT_LT(late.count(), 100);
}

} // namespace
