// quorrel-render: renders a tile from a "*.wpp" document, a preset or the
// built-in defaults, optionally after a (seeded) random generation; a batch
// of them, smooth renderings, screen-sized wallpapers, the wallpaper itself.

#include "AnimateRun.h"
#include "CommandLine.h"
#include "ImageFileWriter.h"
#include "LivingCommand.h"
#include "OutputNames.h"
#include "OutputPlan.h"
#include "ProgressBar.h"
#include "RenderThreads.h"
#include "RotationCommand.h"
#include "WallpaperStep.h"

#include "model/TileParams.h"
#include "model/WppFile.h"
#include "output/RgbImageView.h"
#include "output/TileRepeat.h"
#include "platform/presets/PresetLibrary.h"
#include "render/KernelChoice.h"
#include "render/ReferenceRenderer.h"
#include "render/SmoothRender.h"
#include "render/TileRenderer.h"
#include "render/continuous/ContinuousRenderer.h"
#include "render/continuous/TileLook.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>
#include <new>
#include <unistd.h>

using namespace quorrel;

namespace {

int Fail(const std::string& message)
{
    std::cerr << "quorrel-render: " << message << std::endl;
    return 1;
}

// The tile of `params` at `width` x `height` with the options' renderer and
// smoothing.
void RenderImage(const model::CTileParams& params, const tools::RenderOptions& options,
                 std::optional<render::KernelVariant> kernel, uint32_t width, uint32_t height, render::CRgbImage& image,
                 tools::CProgressBar& bar)
{
    const render::ProgressSink progress = [&bar](int percent) { bar.Update(percent); };
    if (options.reference) {
        // The scalar renderers: enlarged for the samples of a smooth
        // rendering.
        const uint32_t factor = options.supersample;
        auto render = [&](render::IPixelSurface& surface) {
            if (options.continuous) {
                render::RenderTileContinuousReference(params, render::RealCoefficients::FromParams(params), surface,
                                                      width * factor, height * factor);
                return;
            }
            // The exact one takes its size from the set: give it a copy.
            auto sized = std::make_unique<model::CTileParams>(params);
            sized->m_nWidth = width * factor;
            sized->m_nHeight = height * factor;
            render::RenderTileReference(*sized, surface, progress);
        };
        if (factor == 1) {
            render(image);
        } else {
            render::CSupersampleSurface samples(image, factor, height);
            render(samples);
        }
        return;
    }
    render::RenderSettings settings;
    settings.threads = tools::ThreadsToUse(options.threads, tools::UsableProcessors());
    settings.width = width;
    settings.height = height;
    settings.kernel = kernel;
    render::RenderTileAs(options.continuous, params, image, settings, options.supersample, progress);
}

// Writes image k's outputs into their temporaries: the tile, or with `fill`
// the tile repeated to that size. False with a message.
bool WriteOutputs(tools::COutputPlan& plan, uint32_t k, const QImage& tile,
                  const std::optional<std::pair<uint32_t, uint32_t>>& fill, const model::CTileParams& params,
                  std::string& error)
{
    for (tools::PlannedOutput& output : plan.Outputs()) {
        if (output.image != k)
            continue;
        if (output.kind == tools::OutputKind::Image) {
            const bool written =
                fill ? tools::WriteFilledImage(output.path, tile, fill->first, fill->second, *output.staged, error)
                     : tools::WriteImage(output.path, tile, *output.staged, error);
            if (!written)
                return false;
            continue;
        }
        output.staged->Append(model::SaveWpp(params));
        if (output.staged->Failed()) {
            error = output.staged->Failure().message;
            return false;
        }
    }
    return true;
}

// Qt's own note of an image it could not allocate: the run's one line says
// that already (the image could not be encoded).
QtMessageHandler g_standardMessages = nullptr;

void DropOutOfMemoryNotes(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QImage: out of memory")))
        return;
    if (g_standardMessages)
        g_standardMessages(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

int Run(int argc, char** argv)
{
    QCoreApplication app(argc, argv);   // image plugins need an application object
    g_standardMessages = qInstallMessageHandler(&DropOutOfMemoryNotes);

    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = tools::ParseRenderArguments(args, error);
    if (!options)
        return Fail(error);
    if (options->help) {
        std::cout << tools::RenderUsage();
        return 0;
    }
    std::optional<render::KernelVariant> kernel;
    if (!render::RequestedKernel(options->kernel, kernel, error))
        return Fail(error);
    if (options->version) {
        std::cout << tools::VersionLine() << "\n" << render::DescribeKernel(kernel) << std::endl;
        return 0;
    }
    if (options->listPresets) {
        std::cout << tools::PresetList();
        return 0;
    }

    auto params = std::make_unique<model::CTileParams>();
    if (options->input) {
        model::CFileError failure;
        if (!model::ReadWppFile(*options->input, *params, failure))
            return Fail(failure.code == ENOENT ? *options->input + ": Cannot find this file." : failure.message);
    } else if (options->preset && !presets::LoadPreset(*options->preset, *params, error)) {
        return Fail(error);
    }
    if (!tools::WritesSomething(*options))
        return Fail(tools::NothingToWriteMessage());
    if (tools::LivingRun(*options)) {
        const std::string inputName = options->input    ? *options->input
                                      : options->preset ? "preset " + *options->preset
                                                        : std::string("the built-in settings");
        // Files asked for with -o or --save-wpp are written first, from
        // the same keyframes.
        tools::RenderOptions run = *options;
        if ((run.output || run.saveWpp) && !run.seed && run.animate.Active())
            run.seed = tools::BatchSeeds(std::nullopt, 1, tools::ClockForSeeds())[0];
        if ((run.output || run.saveWpp) && !tools::RunAnimation(run, *params, inputName, error))
            return Fail(error);
        return tools::RunLiving(run, *params, inputName, error) ? 0 : Fail(error);
    }
    if (options->animate.Active()) {
        const std::string inputName = options->input    ? *options->input
                                      : options->preset ? "preset " + *options->preset
                                                        : std::string("the built-in settings");
        return tools::RunAnimation(*options, *params, inputName, error) ? 0 : Fail(error);
    }

    if (options->rotate) {
        tools::CProgressBar bar(stderr, false, 1);
        const tools::RotationImageMaker make = [&](const model::CTileParams& tileParams) {
            const uint32_t scale = options->ScaleToUse();
            const uint32_t width = (options->size ? options->size->first : tileParams.m_nWidth) * scale;
            const uint32_t height = (options->size ? options->size->second : tileParams.m_nHeight) * scale;
            render::CRgbImage tile(width, height);
            RenderImage(tileParams, *options, kernel, width, height, tile, bar);
            QImage image = output::ImageView(tile).copy();
            if (options->fill) {
                image = output::RepeatTile(image, int(options->fill->first), int(options->fill->second),
                                           QImage::Format_RGB888);
                if (image.isNull())
                    throw std::bad_alloc();
            }
            return image;
        };
        return tools::RunRotation(*options, *params, make, error) ? 0 : Fail(error);
    }
    if (options->rotationTick) {
        std::string notice;
        if (!tools::CheckRotationTick(error, notice))
            return Fail(error);
        if (!notice.empty())
            std::cerr << "quorrel-render: " << notice << std::endl;
    }

    // A batch's seeds are known before its names, which may hold them.
    const uint32_t images = options->Images();
    const bool batch = options->count.has_value();
    const std::vector<uint32_t> seeds =
        batch ? tools::BatchSeeds(options->seed, images, tools::ClockForSeeds()) : std::vector<uint32_t>{};
    auto name = [&](const std::string& pattern, uint32_t k) {
        return batch ? tools::ExpandOutputName(pattern, k, images, seeds[k - 1]) : pattern;
    };

    // Every output is checked and can be written before anything is
    // rendered; none replaces its file until all are whole.
    tools::COutputPlan plan;
    for (uint32_t k = 1; k <= images; ++k) {
        if (options->output && !plan.Add(tools::OutputKind::Image, "-o", name(*options->output, k), error, k))
            return Fail(error);
        if (options->saveWpp &&
            !plan.Add(tools::OutputKind::Document, "--save-wpp", name(*options->saveWpp, k), error, k))
            return Fail(error);
    }
    tools::CWallpaperStep wallpaper;
    if (options->setWallpaper && !wallpaper.Prepare(options->fill.has_value(), error))
        return Fail(error);
    if (!plan.Stage(error))
        return Fail(error);

    tools::CProgressBar bar(stderr, !options->quiet && isatty(STDERR_FILENO), images);
    QImage last;   // the image --set-wallpaper shows
    for (uint32_t k = 1; k <= images; ++k) {
        auto tileParams = std::make_unique<model::CTileParams>(*params);
        if (options->generate)
            tileParams->GenerateRandom(batch ? std::optional<uint32_t>(seeds[k - 1]) : options->seed);

        const uint32_t scale = options->ScaleToUse();
        const uint32_t width = (options->size ? options->size->first : tileParams->m_nWidth) * scale;
        const uint32_t height = (options->size ? options->size->second : tileParams->m_nHeight) * scale;
        render::CRgbImage tile(width, height);
        bar.Start(k);
        RenderImage(*tileParams, *options, kernel, width, height, tile, bar);
        bar.Complete();

        // A screen-sized image repeats the tile rendered once, row by row
        // as it is written.
        const QImage image = output::ImageView(tile);
        if (!WriteOutputs(plan, k, image, options->fill, *tileParams, error)) {
            bar.Finish();
            plan.Discard();
            return Fail(error);
        }
        if (options->setWallpaper && options->fill) {
            last = output::RepeatTile(image, int(options->fill->first), int(options->fill->second),
                                      QImage::Format_RGB888);
            if (last.isNull())
                throw std::bad_alloc();
        } else if (options->setWallpaper) {
            last = image.copy();   // `tile` goes with this pass
        }
    }
    bar.Finish();
    if (!plan.Commit(error))
        return Fail(error);

    // Seeds from the clock are told, so any tile can be made again.
    if (batch && !options->seed) {
        for (uint32_t k = 1; k <= images; ++k)
            std::cout << k << "/" << images << ": seed " << seeds[k - 1] << std::endl;
    }

    if (options->setWallpaper) {
        const QSize screen = options->fill ? last.size() : QSize();
        if (!wallpaper.Set(last, screen, error))
            return Fail(error);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // Whatever goes wrong ends in one line and status 1, never in an abort.
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        return Fail("not enough memory");
    } catch (const std::exception& e) {
        return Fail(e.what());
    } catch (...) {
        return Fail("unexpected failure");
    }
}
