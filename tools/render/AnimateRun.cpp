#include "AnimateRun.h"

#include "OutputNames.h"
#include "OutputPlan.h"
#include "ProgressBar.h"
#include "RenderThreads.h"

#include "model/WppFile.h"
#include "output/animation/AnimationExport.h"
#include "render/animation/AnimationLoop.h"
#include "render/animation/Keyframes.h"

#include <cerrno>
#include <iostream>
#include <limits>
#include <memory>
#include <stdexcept>
#include <unistd.h>

namespace quorrel::tools {

namespace {

using namespace output::animation;
using namespace render::animation;

// The keyframes: the input and the --morph documents, or generations of
// the input's settings.
bool MakeKeyframes(const RenderOptions& options, const model::CTileParams& input, const std::string& inputName,
                   uint32_t seed, std::vector<model::CTileParams>& keyframes, std::string& error)
{
    const AnimateOptions& animate = options.animate;
    if (animate.morph.empty()) {
        const bool keepFirst = (options.input || options.preset) && !options.generate;
        keyframes = GenerateKeyframes(input, animate.Keyframes(), seed, keepFirst);
        return true;
    }
    keyframes.assign(1, input);
    if (options.generate)
        keyframes[0].GenerateRandom(seed);
    for (const std::string& path : animate.morph) {
        auto document = std::make_unique<model::CTileParams>();
        model::CFileError failure;
        if (!model::ReadWppFile(path, *document, failure)) {
            error = failure.code == ENOENT ? path + ": Cannot find this file." : failure.message;
            return false;
        }
        error = KeyframeMismatch(keyframes[0], inputName, *document, path);
        if (!error.empty())
            return false;
        keyframes.push_back(*document);
    }
    return true;
}

} // namespace

bool RunAnimation(const RenderOptions& options, const model::CTileParams& input, const std::string& inputName,
                  std::string& error)
{
    const AnimateOptions& animate = options.animate;
    const bool clockSeed = !options.seed;
    // The keyframes take seeds S to S + K - 1: a clock's seed leaves room
    // for them (a given one was checked for it).
    const uint32_t seed = options.seed ? *options.seed
                                       : std::min(BatchSeeds(std::nullopt, 1, ClockForSeeds())[0],
                                                  std::numeric_limits<uint32_t>::max() - (animate.Keyframes() - 1));

    const std::optional<CLoopTiming> timing = CLoopTiming::FromSeconds(*animate.seconds, animate.Fps(), error);
    if (!timing)
        return false;
    std::vector<model::CTileParams> keyframes;
    if (!MakeKeyframes(options, input, inputName, seed, keyframes, error))
        return false;
    std::unique_ptr<CAnimationLoop> loop;
    try {
        loop = std::make_unique<CAnimationLoop>(keyframes, *timing);
    } catch (const std::invalid_argument& e) {
        error = e.what();
        return false;
    }

    // Frames are continuous renders: --scale, or a preset's preferred scale,
    // as --continuous takes them.
    RenderOptions continuous = options;
    continuous.continuous = true;
    const uint32_t scale = continuous.ScaleToUse();
    FrameLayout layout;
    layout.tileWidth = (options.size ? options.size->first : input.m_nWidth) * scale;
    layout.tileHeight = (options.size ? options.size->second : input.m_nHeight) * scale;
    if (options.fill)
        layout.fill = QSize(int(options.fill->first), int(options.fill->second));
    layout.threads = ThreadsToUse(options.threads, UsableProcessors());

    // Every output checked and staged before the first frame.
    COutputPlan plan;
    std::optional<AnimationFormat> format;
    if (options.output) {
        format = AnimationFormatForPath(*options.output);
        const uint32_t files = *format == AnimationFormat::PngFrames ? timing->Frames() : 1;
        for (uint32_t f = 0; f < files; ++f) {
            const std::string name =
                *format == AnimationFormat::PngFrames ? FrameFileName(*options.output, f, files) : *options.output;
            if (!plan.Add(OutputKind::Animation, "-o", name, error))
                return false;
        }
    }
    const uint32_t count = uint32_t(keyframes.size());
    if (options.saveWpp) {
        for (uint32_t k = 1; k <= count; ++k) {
            if (!plan.Add(OutputKind::Document, "--save-wpp", ExpandOutputName(*options.saveWpp, k, count, seed + k - 1),
                          error, k))
                return false;
        }
    }
    if (!plan.Stage(error))
        return false;

    if (format) {
        AnimationSettings settings;
        const QSize size = layout.FrameSize(*loop);
        settings.width = size.width();
        settings.height = size.height();
        settings.frames = timing->Frames();
        settings.fps = timing->Fps();
        settings.quality = animate.quality;
        settings.lossless = animate.lossless;
        settings.sharedPalette = animate.sharedPalette;
        std::vector<model::CStagedFile*> files;
        for (PlannedOutput& output : plan.Outputs())
            if (output.kind == OutputKind::Animation)
                files.push_back(output.staged.get());
        std::unique_ptr<CAnimationEncoder> encoder = CreateAnimationEncoder(*format, settings, files, error);
        if (!encoder) {
            error = *options.output + ": " + error;
            plan.Discard();
            return false;
        }
        CProgressBar bar(stderr, !options.quiet && isatty(STDERR_FILENO), 1);
        bar.Start(1);
        const ExportOutcome outcome =
            EncodeLoop(*loop, layout, *encoder, error, [&bar](int percent) { bar.Update(percent); });
        bar.Complete();
        bar.Finish();
        if (outcome != ExportOutcome::Written) {
            // A write's failure names the file already.
            if (error.rfind(*options.output + ":", 0) != 0)
                error = *options.output + ": " + error;
            plan.Discard();
            return false;
        }
    }
    for (PlannedOutput& output : plan.Outputs()) {
        if (output.kind != OutputKind::Document)
            continue;
        output.staged->Append(model::SaveWpp(keyframes[output.image - 1]));
        if (output.staged->Failed()) {
            error = output.staged->Failure().message;
            plan.Discard();
            return false;
        }
    }
    if (!plan.Commit(error))
        return false;
    if (clockSeed && animate.morph.empty())
        std::cout << "seed " << seed << std::endl;
    return true;
}

} // namespace quorrel::tools
