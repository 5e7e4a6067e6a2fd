// The renderer's speed on three parameter sets, each against the scalar
// renderer in the same run, plus the bare multiply-truncate-add loop that
// bounds what the kernel can reach on one core.
//
// Counters: terms/s counts every term of the series (4 per coefficient cell
// in use, skipped ones included) over the time taken; terms/s/core divides
// that by the threads the rendering used; kernel_terms/s/core counts what
// the fast kernel actually multiplies, truncates and adds (rows padded,
// terms that are 0 on every row left out), comparable with kernel_peak.
//
// Single-threaded cases are timed by CPU time, which other processes on a
// shared machine disturb least; multi-threaded ones by wall-clock time.

#include "model/TileParams.h"
#include "render/FastKernel.h"
#include "render/SeriesPlan.h"
#include "render/ReferenceRenderer.h"
#include "render/TileRenderer.h"

#include <benchmark/benchmark.h>
#include <hwy/aligned_allocator.h>
#include <hwy/targets.h>

#include <algorithm>
#include <memory>
#include <random>
#include <thread>

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

void Fast(benchmark::State& state, const CTileParams* p, unsigned threads, unsigned countedThreads)
{
    CRgbImage image(p->m_nWidth, p->m_nHeight);
    RenderSettings settings;
    settings.threads = threads;
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

// The kernel on one group of products against rows that stay in registers:
// nothing but multiply, truncate and add. Argument: index into the targets
// the kernel was built for (best first).
void KernelPeak(benchmark::State& state)
{
    const std::vector<int64_t> targets = KernelTargets();
    const auto index = static_cast<std::size_t>(state.range(0));
    if (index >= targets.size()) {
        state.SkipWithError("no such target");
        return;
    }
    hwy::SetSupportedTargetsForTest(targets[index]);
    state.SetLabel(KernelTargetName());
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
        SumTruncatedTerms(products.get(), &group, 1, kRows, out.get());
        benchmark::DoNotOptimize(out.get());
        benchmark::ClobberMemory();
    }
    hwy::SetSupportedTargetsForTest(0);
    state.counters["terms/s/core"] =
        benchmark::Counter(double(kProducts) * kRows, benchmark::Counter::kIsIterationInvariantRate);
}

const CTileParams* Keep(std::unique_ptr<CTileParams> p) { return p.release(); }

void Register()
{
    const CTileParams* typical = Keep(Typical());
    const CTileParams* mid = Keep(Full(512, 10));
    const CTileParams* worst = Keep(Full(1024, 30));
    const unsigned cores = Cores();

    benchmark::RegisterBenchmark("typical/fast", Fast, typical, 0u, cores)->Unit(benchmark::kMicrosecond)->UseRealTime();
    benchmark::RegisterBenchmark("typical/fast_1thread", Fast, typical, 1u, 1u)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("typical/reference", Reference, typical)->Unit(benchmark::kMicrosecond);

    benchmark::RegisterBenchmark("mid/fast", Fast, mid, 0u, cores)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("mid/fast_1thread", Fast, mid, 1u, 1u)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("mid/reference", Reference, mid)->Unit(benchmark::kMillisecond)->Iterations(2);

    benchmark::RegisterBenchmark("worst/fast", Fast, worst, 0u, cores)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(3);
    benchmark::RegisterBenchmark("worst/fast_1thread", Fast, worst, 1u, 1u)->Unit(benchmark::kMillisecond)->Iterations(2);
    benchmark::RegisterBenchmark("worst/reference", Reference, worst)->Unit(benchmark::kMillisecond)->Iterations(1);

    benchmark::RegisterBenchmark("kernel_peak", KernelPeak)->DenseRange(0, int(KernelTargets().size()) - 1);
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
