// What a screen-sized wallpaper costs: the whole of `quorrel-render --fill
// 7680x4320` for a 125 x 125 tile (render the tile once, repeat it, encode
// and write through the staged file) against encoding and writing the same
// 7680 x 4320 picture alone, and against rendering the series at that size
// (what a stretched --size picture costs). Wall-clock times; the encoders
// run on one thread.
//
//   build/bench/quorrel_bench_wallpaper [--benchmark_filter=png]

#include "model/TileParams.h"
#include "output/ErrorMessage.h"
#include "output/ImageSaver.h"
#include "output/TileRepeat.h"
#include "render/TileRenderer.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace quorrel;

namespace {

constexpr int kWidth = 7680;
constexpr int kHeight = 4320;

QTemporaryDir& Folder()
{
    static QTemporaryDir folder;
    return folder;
}

QImage Tile()
{
    auto params = std::make_unique<model::CTileParams>();
    params->GenerateRandom(7);
    render::CRgbImage rgb(params->m_nWidth, params->m_nHeight);
    render::RenderTile(*params, rgb);
    return QImage(rgb.Bytes().data(), int(rgb.Width()), int(rgb.Height()), int(rgb.Width()) * 3,
                  QImage::Format_RGB888)
        .copy();
}

const char* const kExtensions[] = {"png", "bmp", "jpg", "tif"};

// Tile rendered, repeated and written: what --fill does.
void FillAndWrite(benchmark::State& state)
{
    const QString path = Folder().filePath(QStringLiteral("fill.") + kExtensions[state.range(0)]);
    state.SetLabel(kExtensions[state.range(0)]);
    for (auto _ : state) {
        const QImage tile = Tile();
        if (output::SaveFilledImage(tile, kWidth, kHeight, path) != output::kStatusOk)
            state.SkipWithError("not written");
    }
}

// The same picture, already in memory, only encoded and written.
void EncodeAndWriteAlone(benchmark::State& state)
{
    const QString path = Folder().filePath(QStringLiteral("alone.") + kExtensions[state.range(0)]);
    state.SetLabel(kExtensions[state.range(0)]);
    const QImage filled = output::RepeatTile(Tile(), kWidth, kHeight, QImage::Format_RGB888);
    for (auto _ : state) {
        if (output::SaveImage(filled, path) != output::kStatusOk)
            state.SkipWithError("not written");
    }
}

// The series computed at 7680 x 4320 instead (no encoding).
void RenderAtFullSize(benchmark::State& state)
{
    auto params = std::make_unique<model::CTileParams>();
    params->GenerateRandom(7);
    render::CRgbImage rgb(kWidth, kHeight);
    render::RenderSettings settings;
    settings.width = kWidth;
    settings.height = kHeight;
    for (auto _ : state)
        render::RenderTile(*params, rgb, settings);
}

} // namespace

BENCHMARK(FillAndWrite)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(EncodeAndWriteAlone)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(RenderAtFullSize)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);   // the image plugins need one
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
