// quorrel-render: renders a tile from a "*.wpp" document or the built-in
// defaults, optionally after a (seeded) random generation.

#include "CommandLine.h"
#include "ImageFileWriter.h"
#include "OutputPlan.h"
#include "RenderThreads.h"

#include "model/TileParams.h"
#include "model/WppFile.h"
#include "render/KernelChoice.h"
#include "render/ReferenceRenderer.h"
#include "render/TileRenderer.h"

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

// A one-line bar on stderr, redrawn only when the percentage changes.
class ProgressBar final {
public:
    explicit ProgressBar(bool enabled) : m_enabled(enabled) {}
    void operator()(int percent)
    {
        if (!m_enabled || percent == m_last)
            return;
        m_last = percent;
        constexpr int kWidth = 40;
        const int filled = percent * kWidth / 100;
        std::fprintf(stderr, "\rRendering [%s%s] %3d%%", std::string(filled, '#').c_str(),
                     std::string(kWidth - filled, ' ').c_str(), percent);
        std::fflush(stderr);
    }
    void Finish()
    {
        if (m_enabled)
            std::fprintf(stderr, "\rRendering [%s] done\n", std::string(40, '#').c_str());
    }

private:
    bool m_enabled;
    int m_last = -1;
};

int Run(int argc, char** argv)
{
    QCoreApplication app(argc, argv);   // image plugins need an application object

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
        std::cout << "quorrel-render " QUORREL_VERSION "\n" << render::DescribeKernel(kernel) << std::endl;
        return 0;
    }

    auto params = std::make_unique<model::CTileParams>();
    if (options->input) {
        model::CFileError failure;
        if (!model::ReadWppFile(*options->input, *params, failure))
            return Fail(failure.code == ENOENT ? *options->input + ": Cannot find this file." : failure.message);
    }

    // Every output is checked and can be written before anything is
    // rendered; none replaces its file until all are whole.
    tools::COutputPlan plan;
    if (options->output && !plan.Add(tools::OutputKind::Image, "-o", *options->output, error))
        return Fail(error);
    if (options->saveWpp && !plan.Add(tools::OutputKind::Document, "--save-wpp", *options->saveWpp, error))
        return Fail(error);
    if (!plan.Stage(error))
        return Fail(error);

    if (options->generate)
        params->GenerateRandom(options->seed);

    const uint32_t width = options->size ? options->size->first : params->m_nWidth;
    const uint32_t height = options->size ? options->size->second : params->m_nHeight;
    render::CRgbImage image(width, height);
    ProgressBar bar(!options->quiet && isatty(STDERR_FILENO));
    const render::ProgressSink progress = [&](int percent) { bar(percent); };
    if (options->reference) {
        // The scalar renderer takes its size from the set: give it a copy.
        auto sized = std::make_unique<model::CTileParams>(*params);
        sized->m_nWidth = width;
        sized->m_nHeight = height;
        render::RenderTileReference(*sized, image, progress);
    } else {
        render::RenderSettings settings;
        settings.threads = tools::ThreadsToUse(options->threads, tools::UsableProcessors());
        settings.width = width;
        settings.height = height;
        settings.kernel = kernel;
        render::RenderTile(*params, image, settings, progress);
    }
    bar.Finish();

    for (tools::PlannedOutput& output : plan.Outputs()) {
        bool written = true;
        if (output.kind == tools::OutputKind::Image) {
            written = tools::WriteImage(output.path, image, *output.staged, error);
        } else {
            output.staged->Append(model::SaveWpp(*params));
            if (output.staged->Failed()) {
                error = output.staged->Failure().message;
                written = false;
            }
        }
        if (!written) {
            plan.Discard();
            return Fail(error);
        }
    }
    if (!plan.Commit(error))
        return Fail(error);
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
