#include "AnimationExport.h"

#include "output/RgbImageView.h"
#include "output/TileRepeat.h"

#include <chrono>
#include <memory>

namespace quorrel::output::animation {

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Samples a shared GIF palette learns from: frames spread evenly over the loop.
constexpr uint32_t kPaletteSamples = 8;

} // namespace

QSize FrameLayout::FrameSize(const render::animation::CAnimationLoop& loop) const
{
    if (fill)
        return *fill;
    return QSize(int(tileWidth ? tileWidth : loop.Settings().m_nWidth),
                 int(tileHeight ? tileHeight : loop.Settings().m_nHeight));
}

ExportOutcome EncodeLoop(const render::animation::CAnimationLoop& loop, const FrameLayout& layout,
                         CAnimationEncoder& encoder, std::string& error, const std::function<void(int percent)>& progress,
                         const std::atomic<bool>* cancel, ExportTimes* times)
{
    render::RenderSettings settings;
    settings.width = layout.tileWidth ? layout.tileWidth : loop.Settings().m_nWidth;
    settings.height = layout.tileHeight ? layout.tileHeight : loop.Settings().m_nHeight;
    settings.threads = layout.threads;
    render::CRgbImage tile(settings.width, settings.height);
    ExportTimes spent;

    // One frame as the encoder gets it.
    auto frameAt = [&](uint32_t f) {
        Clock::time_point start = Clock::now();
        loop.RenderFrame(f, tile, settings);
        spent.render += Since(start);
        QImage frame = ImageView(tile);
        if (layout.fill) {
            start = Clock::now();
            frame = RepeatTile(frame, layout.fill->width(), layout.fill->height(), QImage::Format_RGB888);
            spent.fill += Since(start);
        }
        return frame;
    };
    auto cancelled = [&] { return cancel && cancel->load(); };

    const uint32_t frames = loop.Timing().Frames();
    if (progress)
        progress(0);
    if (encoder.WantsPaletteSamples()) {
        for (uint32_t s = 0; s < kPaletteSamples; ++s) {
            if (cancelled())
                return ExportOutcome::Cancelled;
            const QImage sample = frameAt(uint32_t(uint64_t(s) * frames / kPaletteSamples));
            if (sample.isNull()) {
                error = "not enough memory";
                return ExportOutcome::Failed;
            }
            if (!encoder.AddPaletteSample(sample)) {
                error = encoder.Error();
                return ExportOutcome::Failed;
            }
        }
    }
    int shown = 0;
    for (uint32_t f = 0; f < frames; ++f) {
        if (cancelled())
            return ExportOutcome::Cancelled;
        const QImage frame = frameAt(f);
        if (frame.isNull()) {
            error = "not enough memory";
            return ExportOutcome::Failed;
        }
        const Clock::time_point start = Clock::now();
        const bool added = encoder.AddFrame(frame);
        spent.encode += Since(start);
        if (!added) {
            error = encoder.Error();
            return ExportOutcome::Failed;
        }
        const int percent = int(uint64_t(f + 1) * 99 / frames);
        if (progress && percent > shown)
            progress(shown = percent);
    }
    if (cancelled())
        return ExportOutcome::Cancelled;
    const Clock::time_point start = Clock::now();
    const bool finished = encoder.Finish();
    spent.encode += Since(start);
    if (times)
        *times = spent;
    if (!finished) {
        error = encoder.Error();
        return ExportOutcome::Failed;
    }
    if (progress)
        progress(100);
    return ExportOutcome::Written;
}

ExportOutcome ExportAnimation(const render::animation::CAnimationLoop& loop, const FrameLayout& layout,
                              const std::string& path, const AnimationSettings& options, std::string& error,
                              const std::function<void(int percent)>& progress, const std::atomic<bool>* cancel)
{
    const std::optional<AnimationFormat> format = AnimationFormatForPath(path);
    if (!format) {
        error = path + ": not an animation file name (" + AnimationExtensions() + ")";
        return ExportOutcome::Failed;
    }
    AnimationSettings settings = options;
    const QSize size = layout.FrameSize(loop);
    settings.width = size.width();
    settings.height = size.height();
    settings.frames = loop.Timing().Frames();
    settings.fps = loop.Timing().Fps();

    const uint32_t files = *format == AnimationFormat::PngFrames ? settings.frames : 1;
    // Every frame of a sequence is staged until the whole loop is written.
    if (!model::CStagedFile::ReserveDescriptors(files, error))
        return ExportOutcome::Failed;
    std::vector<std::unique_ptr<model::CStagedFile>> staged;
    std::vector<model::CStagedFile*> targets;
    for (uint32_t f = 0; f < files; ++f) {
        const std::string name = *format == AnimationFormat::PngFrames ? FrameFileName(path, f, files) : path;
        model::CFileError failure;
        staged.push_back(model::CStagedFile::Create(name, failure));
        if (!staged.back()) {
            error = failure.message;
            return ExportOutcome::Failed;
        }
        targets.push_back(staged.back().get());
    }
    const std::unique_ptr<CAnimationEncoder> encoder = CreateAnimationEncoder(*format, settings, targets, error);
    if (!encoder)
        return ExportOutcome::Failed;
    const ExportOutcome outcome = EncodeLoop(loop, layout, *encoder, error, progress, cancel);
    if (outcome != ExportOutcome::Written)
        return outcome;   // the temporaries go with `staged`
    for (const auto& file : staged) {
        model::CFileError failure;
        if (!file->Prepare(failure)) {
            error = failure.message;
            return ExportOutcome::Failed;
        }
    }
    for (const auto& file : staged) {
        model::CFileError failure;
        if (!file->Commit(failure)) {
            error = failure.message;
            return ExportOutcome::Failed;
        }
    }
    return ExportOutcome::Written;
}

} // namespace quorrel::output::animation
