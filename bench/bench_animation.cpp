// Living wallpapers: how fast frames come.
//
//   build/bench/quorrel_bench_animation
//       frames a second of a loop's frames (blend + continuous render) for a
//       512 x 512 tile of the Ocean-like default settings and a 1024 x 1024
//       tile of the worst case (30 x 30 harmonics, all six components), on
//       one thread and on all cores: what the editor's live play needs
//   build/bench/quorrel_bench_animation --webm [SECONDS] [WxH]
//       an 8-second 1920 x 1080 WebM of the Ocean preset's loop filled to
//       the screen (240 frames at 30 a second), and where the time went:
//       rendering, filling, encoding (wall clock, and the process's CPU time)
//
// Other work on the machine shows in the wall-clock figures: run it when the
// load average is low and say what it was.

#include "model/TileParams.h"
#include "output/animation/AnimationExport.h"
#include "platform/presets/PresetLibrary.h"
#include "render/animation/AnimationLoop.h"
#include "render/animation/Keyframes.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>

using namespace quorrel;
using namespace quorrel::render::animation;

namespace {

std::unique_ptr<CAnimationLoop> Loop(uint32_t size, uint32_t harmonics, bool allComponents, uint32_t frames)
{
    auto settings = std::make_unique<model::CTileParams>();
    settings->m_nWidth = std::min<uint32_t>(size, model::kMaxSize);
    settings->m_nHeight = settings->m_nWidth;
    for (int c = 0; c < model::kComponents; ++c) {
        settings->m_nHorzHarm[c] = harmonics;
        settings->m_nVertHarm[c] = harmonics;
        if (allComponents)
            settings->m_bEnabled[c] = 1;
    }
    return std::make_unique<CAnimationLoop>(GenerateKeyframes(*settings, 3, 7, false), CLoopTiming(frames, 30));
}

// args: tile side, harmonics, all six components, threads (0: all cores).
void BM_LoopFrames(benchmark::State& state)
{
    const auto loop = Loop(uint32_t(state.range(0)), uint32_t(state.range(1)), state.range(2) != 0, 240);
    render::RenderSettings settings;
    settings.width = uint32_t(state.range(0));
    settings.height = settings.width;
    settings.threads = unsigned(state.range(3));
    render::CRgbImage image(settings.width, settings.height);
    uint64_t f = 0;
    for (auto _ : state) {
        loop->RenderFrame(f++ % 240 + 1, image, settings);   // never a keyframe's copy only
        benchmark::DoNotOptimize(image.Bytes().data());
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LoopFrames)
    ->ArgNames({"side", "harmonics", "six", "threads"})
    ->Args({512, 3, 0, 1})
    ->Args({512, 3, 0, 0})
    ->Args({512, 30, 1, 0})
    ->Args({1024, 30, 1, 1})
    ->Args({1024, 30, 1, 0})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

double CpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

int RunWebm(double seconds, int width, int height)
{
    auto ocean = std::make_unique<model::CTileParams>();
    std::string error;
    if (!presets::LoadPreset("ocean", *ocean, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const auto loop = std::make_unique<CAnimationLoop>(GenerateKeyframes(*ocean, 3, 21, true),
                                                       CLoopTiming(uint32_t(seconds * 30 + 0.5), 30));
    output::animation::FrameLayout layout;
    layout.fill = QSize(width, height);
    output::animation::AnimationSettings settings;
    settings.width = width;
    settings.height = height;
    settings.frames = loop->Timing().Frames();
    settings.fps = 30;
    QTemporaryDir folder;
    const std::string path = folder.filePath("loop.webm").toStdString();
    model::CFileError failure;
    const std::unique_ptr<model::CStagedFile> file = model::CStagedFile::Create(path, failure);
    const auto encoder = output::animation::CreateAnimationEncoder(output::animation::AnimationFormat::WebM,
                                                                   settings, {file.get()}, error);
    if (!file || !encoder) {
        std::fprintf(stderr, "cannot start: %s%s\n", failure.message.c_str(), error.c_str());
        return 1;
    }
    output::animation::ExportTimes times;
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    if (output::animation::EncodeLoop(*loop, layout, *encoder, error, {}, nullptr, &times) !=
            output::animation::ExportOutcome::Written ||
        !file->Commit(failure)) {
        std::fprintf(stderr, "failed: %s%s\n", error.c_str(), failure.message.c_str());
        return 1;
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%u frames of %dx%d WebM (Ocean, its tile filled): %.2f s wall, %.2f s CPU, %lld bytes\n",
                settings.frames, width, height, wall, CpuSeconds() - cpuStart,
                static_cast<long long>(std::filesystem::file_size(path)));
    std::printf("  render %.2f s, fill %.2f s, encode %.2f s (wall clock)\n", times.render, times.fill, times.encode);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "--webm") == 0) {
        const double seconds = argc >= 3 ? std::atof(argv[2]) : 8.0;
        int width = 1920, height = 1080;
        if (argc >= 4)
            std::sscanf(argv[3], "%dx%d", &width, &height);
        return RunWebm(seconds, width, height);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
