#include "AnimateRun.h"

#include "OutputNames.h"
#include "OutputPlan.h"
#include "ProgressBar.h"
#include "RenderThreads.h"

#include "model/WppFile.h"
#include "output/animation/AnimationExport.h"
#include "render/animation/AnimationLoop.h"
#include "render/animation/Keyframes.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iostream>
#include <limits>
#include <memory>
#include <stdexcept>
#include <sys/statvfs.h>
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

// About how many bytes a pixel of a frame takes in each format, rounded up
// from the presets' 8-second loops at 512 x 512 and 1920 x 1080
// (scripts/loop-quality.py): a check of the free space, not a promise.
double BytesPerPixel(AnimationFormat format, bool lossless)
{
    switch (format) {
    case AnimationFormat::WebM:
        return 0.02;
    case AnimationFormat::WebP:
        return lossless ? 1.0 : 0.05;
    case AnimationFormat::Gif:
        return 0.4;
    case AnimationFormat::PngFrames:
        return 1.5;
    }
    return 1.0;
}

// The most pixels a loop renders (all frames together): an hour of
// 1920 x 1080 at 30 frames a second, some hours of work; beyond, a run
// would take days.
constexpr double kMaxLoopPixels = 1920.0 * 1080.0 * 30.0 * 3600.0;

std::string Amount(double bytes)
{
    char text[32];
    if (bytes >= 1e9)
        std::snprintf(text, sizeof text, "%.1f GB", bytes / 1e9);
    else
        std::snprintf(text, sizeof text, "%.0f MB", std::max(1.0, bytes / 1e6));
    return text;
}

// What is too large about the loop, before any frame is rendered: its
// pixels altogether, or its estimated size against the free space of the
// target's file system. Empty when it fits.
std::string CheckLoopSize(const std::string& output, const model::CFileTarget& target, AnimationFormat format,
                          bool lossless, QSize frame, uint32_t frames)
{
    const double pixels = double(frame.width()) * frame.height() * frames;
    const std::string what = std::to_string(frames) + " frames of " + std::to_string(frame.width()) + " x " +
                             std::to_string(frame.height());
    if (pixels > kMaxLoopPixels) {
        char times[32];
        std::snprintf(times, sizeof times, "%.1f", pixels / kMaxLoopPixels);
        return "-o " + output + ": " + what + " are " + times + " times the " +
               std::to_string(uint64_t(kMaxLoopPixels / 1e9)) + " gigapixels a loop may have";
    }
    struct statvfs space {};
    if (target.special || statvfs(target.folder.c_str(), &space) != 0)
        return {};
    const double estimate = pixels * BytesPerPixel(format, lossless);
    const double free = double(space.f_bavail) * double(space.f_frsize);
    if (estimate <= free)
        return {};
    return "-o " + output + ": about " + Amount(estimate) + " for " + what + ", " + Amount(estimate - free) +
           " more than the " + Amount(free) + " free there";
}

} // namespace

std::unique_ptr<render::animation::CAnimationLoop> MakeAnimationLoop(const RenderOptions& options,
                                                                     const model::CTileParams& input,
                                                                     const std::string& inputName, uint32_t seed,
                                                                     std::string& error)
{
    const std::optional<CLoopTiming> timing =
        CLoopTiming::FromSeconds(*options.animate.seconds, options.animate.Fps(), error);
    std::vector<model::CTileParams> keyframes;
    if (!timing || !MakeKeyframes(options, input, inputName, seed, keyframes, error))
        return nullptr;
    try {
        return std::make_unique<CAnimationLoop>(keyframes, *timing);
    } catch (const std::invalid_argument& e) {
        error = e.what();
        return nullptr;
    }
}

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
    if (format) {
        for (const PlannedOutput& output : plan.Outputs()) {
            if (output.kind != OutputKind::Animation)
                continue;
            error = CheckLoopSize(EchoedArgument(*options.output), output.target, *format, animate.lossless,
                                  layout.FrameSize(*loop), timing->Frames());
            if (!error.empty())
                return false;
            break;
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
