// The renderer's speed on three parameter sets, each with the kernel the
// renderer chooses and with f64x4 (the kernel before the choice existed),
// against the scalar renderer in the same run; the bare
// multiply-truncate-add loop of every kernel variant on every instruction
// set, which bounds what the kernel can reach on one core; and the cost of
// the run-time choice; and the continuous renderer on the worst case (at its
// own size and at 3840 x 2160), on the Ocean preset's series at 3840 x 2160
// and on Ocean at 4 x its size repeated to 3840 x 2160, on one and all
// threads (compare worst/continuous_1thread with worst/fast_1thread of the
// same run).
//
// Counters: terms/s counts every term of the series (4 per coefficient cell
// in use, skipped ones included) over the time taken; terms/s/core divides
// that by the threads the rendering used; kernel_terms/s/core counts what
// the fast kernel actually multiplies, truncates and adds (rows padded,
// terms that are 0 on every row left out), comparable with kernel_peak.
//
// Single-threaded cases are timed by CPU time, which other processes on a
// shared machine disturb least; multi-threaded ones by wall-clock time (the
// continuous cases also count every thread's CPU time, process_cpu_ms).
// The label names the kernel variant.

#include "model/TileParams.h"
#include "render/FastKernel.h"
#include "render/KernelChoice.h"
#include "render/SeriesPlan.h"
#include "render/ReferenceRenderer.h"
#include "render/TileRenderer.h"
#include "render/continuous/ContinuousRenderer.h"
#include "model/WppFile.h"

#include <benchmark/benchmark.h>
#include <hwy/aligned_allocator.h>
#include <hwy/targets.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <random>
#include <thread>

#include <time.h>

using namespace quorrel::model;
using namespace quorrel::render;

namespace {

// Default parameters after one generation, at the default 125 x 125.
std::unique_ptr<CTileParams> Typical()
{
    auto p = std::make_unique<CTileParams>();
    p->GenerateRandom(12345u);
    return p;
}

// All six components enabled with `harmonics` x `harmonics` cells, every
// cell of all four tables non-zero (magnitudes up to the default 60).
std::unique_ptr<CTileParams> Full(uint32_t size, uint32_t harmonics)
{
    auto p = std::make_unique<CTileParams>();
    p->m_nWidth = p->m_nHeight = size;
    std::mt19937 rng(size + harmonics);
    std::uniform_int_distribution<int32_t> magnitude(1, 60);
    CoeffTable* tables[] = {&p->m_nCosCos, &p->m_nCosSin, &p->m_nSinCos, &p->m_nSinSin};
    for (int c = 0; c < kComponents; ++c) {
        p->m_bEnabled[c] = 1;
        p->m_nHorzHarm[c] = p->m_nVertHarm[c] = harmonics;
        for (CoeffTable* table : tables)
            for (uint32_t h = 0; h < harmonics; ++h)
                for (uint32_t k = 0; k < harmonics; ++k)
                    (*table)[c][h][k] = (rng() & 1 ? 1 : -1) * magnitude(rng);
    }
    return p;
}

double SeriesTerms(const CTileParams& p)
{
    double perPixel = 0;
    for (int c = 0; c < kComponents; ++c)
        perPixel += 4.0 * p.m_nHorzHarm[c] * (p.m_nTileStyle[c] == 1 ? 1 : p.m_nVertHarm[c]);
    return perPixel * p.m_nWidth * p.m_nHeight;
}

// The terms the fast kernel works through for one rendering.
double KernelTerms(const CTileParams& p)
{
    const CSeriesPlan plan(p, p.m_nWidth, p.m_nHeight);
    std::vector<double> products;
    std::vector<TermGroup> groups;
    double terms = 0;
    for (uint32_t x = 0; x < p.m_nWidth; ++x) {
        for (int c = 0; c < kComponents; ++c) {
            plan.BuildTerms(c, x, products, groups);
            terms += double(products.size()) * double(plan.PaddedRows());
        }
    }
    return terms;
}

void SetCounters(benchmark::State& state, const CTileParams& p, unsigned threads, bool fast)
{
    const double terms = SeriesTerms(p);
    state.counters["terms/s"] = benchmark::Counter(terms, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["terms/s/core"] = benchmark::Counter(terms / threads, benchmark::Counter::kIsIterationInvariantRate);
    if (fast) {
        state.counters["kernel_terms/s/core"] =
            benchmark::Counter(KernelTerms(p) / threads, benchmark::Counter::kIsIterationInvariantRate);
    }
    state.counters["threads"] = threads;
}

// Threads the fast renderer uses when left to choose (0): all cores, one
// for small images.
unsigned Cores() { return std::max(1u, std::thread::hardware_concurrency()); }

// `kernel`: a variant forced, or none for the renderer's own choice.
void Fast(benchmark::State& state, const CTileParams* p, unsigned threads, unsigned countedThreads,
          std::optional<KernelVariant> kernel)
{
    CRgbImage image(p->m_nWidth, p->m_nHeight);
    RenderSettings settings;
    settings.threads = threads;
    settings.kernel = kernel;
    state.SetLabel(kernel ? KernelVariantName(*kernel) : KernelVariantName(ChosenKernel().variant));
    for (auto _ : state) {
        RenderTile(*p, image, settings);
        benchmark::DoNotOptimize(image.Bytes().data());
    }
    SetCounters(state, *p, countedThreads, true);
}

void Reference(benchmark::State& state, const CTileParams* p)
{
    CRgbImage image(p->m_nWidth, p->m_nHeight);
    for (auto _ : state) {
        RenderTileReference(*p, image);
        benchmark::DoNotOptimize(image.Bytes().data());
    }
    SetCounters(state, *p, 1, false);
}

// Forces the instruction set at `index` among those the kernel was built
// for (best first); false, with the benchmark marked skipped, when there is
// no such one.
bool ForceTarget(benchmark::State& state, int64_t index)
{
    const std::vector<int64_t> targets = KernelTargets();
    if (index < 0 || static_cast<std::size_t>(index) >= targets.size()) {
        state.SkipWithError("no such target");
        return false;
    }
    hwy::SetSupportedTargetsForTest(targets[static_cast<std::size_t>(index)]);
    return true;
}

// The kernel on one group of products against rows that stay in registers:
// nothing but multiply, truncate and add. Arguments: index into the
// targets the kernel was built for (best first), and the variant.
void KernelPeak(benchmark::State& state)
{
    const auto variant = static_cast<KernelVariant>(state.range(1));
    if (!ForceTarget(state, state.range(0)))
        return;
    const KernelFunction kernel = KernelFor(variant);
    state.SetLabel(std::string(KernelVariantName(variant)) + " " + KernelTargetName());
    hwy::SetSupportedTargetsForTest(0);
    if (!kernel) {
        state.SkipWithError("variant not built for this target");
        return;
    }
    constexpr std::size_t kProducts = 2048, kRows = 64;
    auto products = hwy::AllocateAligned<double>(kProducts);
    auto row = hwy::AllocateAligned<double>(kRows);
    auto out = hwy::AllocateAligned<uint32_t>(kRows);
    std::mt19937 rng(1);
    for (std::size_t i = 0; i < kProducts; ++i)
        products[i] = std::uniform_real_distribution<double>(-60.0, 60.0)(rng);
    for (std::size_t y = 0; y < kRows; ++y)
        row[y] = std::uniform_real_distribution<double>(-1.0, 1.0)(rng);
    const TermGroup group{row.get(), static_cast<uint32_t>(kProducts)};
    for (auto _ : state) {
        kernel(products.get(), &group, 1, kRows, out.get());
        benchmark::DoNotOptimize(out.get());
        benchmark::ClobberMemory();
    }
    state.counters["terms/s/core"] =
        benchmark::Counter(double(kProducts) * kRows, benchmark::Counter::kIsIterationInvariantRate);
}

// What the run-time choice costs: every variant of an instruction set
// (argument: index into the targets) timed on its short workload, as on the
// first rendering in a process.
void KernelChoiceCost(benchmark::State& state)
{
    if (!ForceTarget(state, state.range(0)))
        return;
    std::vector<KernelCandidate> candidates;
    for (KernelVariant variant : AvailableKernelVariants())
        candidates.push_back({variant, KernelFor(variant)});
    KernelTrial trial;
    for (auto _ : state)
        trial = MeasureKernels(candidates);
    state.SetLabel(std::string(KernelVariantName(candidates[trial.chosen].variant)) + " of " +
                   std::to_string(candidates.size()) + " on " + KernelTargetName());
    hwy::SetSupportedTargetsForTest(0);
    state.counters["rounds"] = trial.rounds;
    // Each variant's best sample in the last trial, in microseconds.
    for (std::size_t i = 0; i < candidates.size(); ++i)
        state.counters[std::string(KernelVariantName(candidates[i].variant)) + "_us"] = trial.seconds[i] * 1e6;
}

// The mid case on one thread with an instruction set forced (argument 0:
// index into the targets), as on a processor that has nothing better: the
// renderer's choice there (argument 1 = 0) or f64x4 (1).
void MidOnTarget(benchmark::State& state, const CTileParams* p)
{
    if (!ForceTarget(state, state.range(0)))
        return;
    const KernelVariant variant = state.range(1) ? KernelVariant::F64x4 : ChosenKernel().variant;
    state.SetLabel(std::string(KernelVariantName(variant)) + " " + KernelTargetName());
    CRgbImage image(p->m_nWidth, p->m_nHeight);
    RenderSettings settings;
    settings.threads = 1;
    settings.kernel = variant;
    for (auto _ : state) {
        RenderTile(*p, image, settings);
        benchmark::DoNotOptimize(image.Bytes().data());
    }
    hwy::SetSupportedTargetsForTest(0);
    SetCounters(state, *p, 1, true);
}

// Every (target, variant) pair the kernel was built with on this processor.
void KernelPeakArguments(benchmark::internal::Benchmark* bench)
{
    const std::vector<int64_t> targets = KernelTargets();
    for (std::size_t t = 0; t < targets.size(); ++t) {
        hwy::SetSupportedTargetsForTest(targets[t]);
        for (KernelVariant variant : AvailableKernelVariants())
            bench->Args({int64_t(t), int64_t(variant)});
    }
    hwy::SetSupportedTargetsForTest(0);
}

const CTileParams* Keep(std::unique_ptr<CTileParams> p) { return p.release(); }

// ---------------------------------------------------------------------------
// Continuous rendering: the same series summed as one real number a
// component. Timed like the fast cases; the label says continuous.

// A preset's document from the source tree (its own tile and size).
std::unique_ptr<CTileParams> Preset(const char* id)
{
    auto p = std::make_unique<CTileParams>();
    CFileError failure;
    const std::string path = std::string(QUORREL_PRESETS_DIR) + "/" + id + ".wpp";
    if (!ReadWppFile(path, *p, failure)) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), failure.message.c_str());
        std::exit(1);
    }
    return p;
}

// Renders at width x height into an image of that size; `fill` > 0: the
// tile at `scale` times its own size, repeated to fill x fillHeight as a
// screen-sized wallpaper (the repeat is part of the time).
struct ContinuousCase {
    const CTileParams* params;
    uint32_t width, height;
    uint32_t fillWidth = 0, fillHeight = 0;
};

// The CPU time of every thread of this process so far.
double ProcessCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void Continuous(benchmark::State& state, ContinuousCase c, unsigned threads, unsigned countedThreads)
{
    CRgbImage image(c.width, c.height);
    CRgbImage filled(c.fillWidth, c.fillHeight);
    RenderSettings settings;
    settings.threads = threads;
    settings.width = c.width;
    settings.height = c.height;
    const RealCoefficients coefficients = RealCoefficients::FromParams(*c.params);
    state.SetLabel("continuous");
    const double cpuBefore = ProcessCpuSeconds();
    for (auto _ : state) {
        RenderTileContinuous(*c.params, coefficients, image, settings);
        if (c.fillWidth) {
            // Row by row from the tile, as the wallpaper repeat lays it.
            const std::size_t tileRow = std::size_t(c.width) * 3;
            for (uint32_t y = 0; y < c.fillHeight; ++y) {
                uint8_t* out = filled.Bytes().data() + std::size_t(y) * c.fillWidth * 3;
                const uint8_t* in = image.Pixel(0, y % c.height);
                for (std::size_t x = 0; x < std::size_t(c.fillWidth) * 3; x += tileRow)
                    std::memcpy(out + x, in, std::min(tileRow, std::size_t(c.fillWidth) * 3 - x));
            }
            benchmark::DoNotOptimize(filled.Bytes().data());
        }
        benchmark::DoNotOptimize(image.Bytes().data());
    }
    // Every thread's CPU time an iteration: on a machine other processes
    // share, this over the threads used is the time the rendering would
    // take with the cores to itself.
    state.counters["process_cpu_ms"] = (ProcessCpuSeconds() - cpuBefore) * 1e3 / double(state.iterations());
    state.counters["threads"] = countedThreads;
    state.counters["Mpixels/s"] =
        benchmark::Counter(double(c.width) * c.height / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

void RegisterContinuous(const std::string& name, ContinuousCase c)
{
    const unsigned cores = Cores();
    benchmark::RegisterBenchmark((name + "/continuous").c_str(), Continuous, c, 0u, cores)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark((name + "/continuous_1thread").c_str(), Continuous, c, 1u, 1u)
        ->Unit(benchmark::kMillisecond);
}

// One case: the renderer's choice on all cores and on one thread, today's
// kernel (f64x4) the same two ways, and the scalar renderer.
void RegisterCase(const char* name, const CTileParams* p, benchmark::TimeUnit unit, int fastIterations,
                  int referenceIterations)
{
    const unsigned cores = Cores();
    const std::string prefix = std::string(name) + "/";
    const std::optional<KernelVariant> chosen;
    const std::optional<KernelVariant> today = KernelVariant::F64x4;
    auto fast = [&](const std::string& suffix, unsigned threads, unsigned counted, std::optional<KernelVariant> k) {
        auto* bench = benchmark::RegisterBenchmark((prefix + suffix).c_str(), Fast, p, threads, counted, k)->Unit(unit);
        if (threads != 1)
            bench->UseRealTime();
        if (fastIterations > 0)
            bench->Iterations(fastIterations);
    };
    fast("fast", 0u, cores, chosen);
    fast("fast_1thread", 1u, 1u, chosen);
    fast("f64x4", 0u, cores, today);
    fast("f64x4_1thread", 1u, 1u, today);
    auto* reference = benchmark::RegisterBenchmark((prefix + "reference").c_str(), Reference, p)->Unit(unit);
    if (referenceIterations > 0)
        reference->Iterations(referenceIterations);
}

void Register()
{
    RegisterCase("typical", Keep(Typical()), benchmark::kMicrosecond, 0, 0);
    const CTileParams* mid = Keep(Full(512, 10));
    RegisterCase("mid", mid, benchmark::kMillisecond, 0, 2);
    const CTileParams* worst = Keep(Full(1024, 30));
    RegisterCase("worst", worst, benchmark::kMillisecond, 3, 1);
    // Continuous: the worst case at its own size and at 3840 x 2160, the
    // Ocean preset's series at 3840 x 2160, and its tile at 4 x its size
    // repeated to 3840 x 2160.
    RegisterContinuous("worst", {worst, 1024, 1024});
    RegisterContinuous("worst_3840x2160", {worst, 3840, 2160});
    const CTileParams* ocean = Keep(Preset("ocean"));
    RegisterContinuous("ocean_3840x2160", {ocean, 3840, 2160});
    RegisterContinuous("ocean_scale4_fill3840x2160",
                       {ocean, 4 * ocean->m_nWidth, 4 * ocean->m_nHeight, 3840, 2160});
    benchmark::RegisterBenchmark("kernel_peak", KernelPeak)->Apply(KernelPeakArguments);
    benchmark::RegisterBenchmark("kernel_choice", KernelChoiceCost)
        ->DenseRange(0, int(KernelTargets().size()) - 1)
        ->Unit(benchmark::kMicrosecond);
    // Skipped by default (slow on the emulated targets):
    //   --benchmark_filter=mid_on_target
    benchmark::RegisterBenchmark("mid_on_target", MidOnTarget, mid)
        ->ArgsProduct({benchmark::CreateDenseRange(0, int(KernelTargets().size()) - 1, 1), {0, 1}})
        ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Register();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
