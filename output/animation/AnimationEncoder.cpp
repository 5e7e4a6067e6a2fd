#include "AnimationEncoder.h"

#include "AnimationEncoders.h"

#include "output/ImageSaver.h"
#include "render/animation/LoopTiming.h"

#include <QImage>

#include <algorithm>
#include <cctype>

namespace quorrel::output::animation {

namespace {

std::string LowerExtension(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char ch) { return char(std::tolower(ch)); });
    return extension;
}

// The largest frame side each format holds.
int MaxSide(AnimationFormat format)
{
    switch (format) {
    case AnimationFormat::WebP:
        return 16383;
    case AnimationFormat::Gif:
        return 65535;
    case AnimationFormat::WebM:
    case AnimationFormat::PngFrames:
        return 16384;
    }
    return 0;
}

// A frame sequence: each frame a PNG file of its own.
class CPngFramesEncoder final : public CAnimationEncoder {
public:
    explicit CPngFramesEncoder(std::vector<model::CStagedFile*> files)
        : m_files(std::move(files)), m_png(EncoderForPath(QStringLiteral("frame.png")))
    {
    }

    bool AddFrame(const QImage& frame) override
    {
        if (m_frame >= m_files.size())
            return Fail("more frames than the animation has");
        model::CStagedFile& file = *m_files[m_frame++];
        switch (EncodeToStagedFile(frame, *m_png, file)) {
        case EncodeOutcome::Written:
            return true;
        case EncodeOutcome::WriteFailed:
            return Fail(file.Failure().message);
        case EncodeOutcome::EncoderFailed:
            break;
        }
        return Fail("a frame could not be encoded as PNG");
    }

    bool Finish() override { return m_frame == m_files.size() || Fail("the animation lacks frames"); }

private:
    std::vector<model::CStagedFile*> m_files;
    const CImageEncoder* m_png;
    std::size_t m_frame = 0;
};

} // namespace

std::optional<AnimationFormat> AnimationFormatForPath(const std::string& path)
{
    const std::string extension = LowerExtension(path);
    if (extension == ".webp")
        return AnimationFormat::WebP;
    if (extension == ".gif")
        return AnimationFormat::Gif;
    if (extension == ".webm")
        return AnimationFormat::WebM;
    if (extension == ".png" && path.find("{n}") != std::string::npos)
        return AnimationFormat::PngFrames;
    return std::nullopt;
}

std::string AnimationExtensions() { return ".webp .gif .webm, or .png with {n} for a frame sequence"; }

std::string FrameFileName(const std::string& pattern, uint32_t f, uint32_t frames)
{
    std::string number = std::to_string(f + 1);
    const std::size_t width = std::to_string(frames).size();
    if (number.size() < width)
        number.insert(0, width - number.size(), '0');
    std::string name = pattern;
    for (std::size_t at = name.find("{n}"); at != std::string::npos; at = name.find("{n}", at + number.size()))
        name.replace(at, 3, number);
    return name;
}

std::unique_ptr<CAnimationEncoder> CreateAnimationEncoder(AnimationFormat format, const AnimationSettings& settings,
                                                          std::vector<model::CStagedFile*> files, std::string& error)
{
    const int maxSide = MaxSide(format);
    if (settings.width < 1 || settings.height < 1 || settings.width > maxSide || settings.height > maxSide) {
        error = "frames of " + std::to_string(settings.width) + " x " + std::to_string(settings.height) +
                " pixels do not fit this format (each side 1 to " + std::to_string(maxSide) + ")";
        return nullptr;
    }
    if (settings.frames < render::animation::kMinFrames || settings.frames > render::animation::kMaxFrames ||
        settings.fps < render::animation::kMinFps || settings.fps > render::animation::kMaxFps) {
        error = "the frame count or rate is out of range";
        return nullptr;
    }
    if (settings.quality && (*settings.quality < 0 || *settings.quality > 100)) {
        error = "the quality is from 0 to 100";
        return nullptr;
    }
    // GIF keeps times in centiseconds, and players show anything under 2
    // as a tenth of a second.
    if (format == AnimationFormat::Gif && settings.fps > 50) {
        error = "a GIF shows at most 50 frames a second";
        return nullptr;
    }
    const std::size_t needed = format == AnimationFormat::PngFrames ? settings.frames : 1;
    if (files.size() != needed || std::find(files.begin(), files.end(), nullptr) != files.end()) {
        error = "the animation needs " + std::to_string(needed) + " output files";
        return nullptr;
    }
    switch (format) {
    case AnimationFormat::WebP:
        return MakeWebpEncoder(settings, *files[0]);
    case AnimationFormat::Gif:
        return MakeGifEncoder(settings, *files[0]);
    case AnimationFormat::WebM:
        return MakeWebmEncoder(settings, *files[0]);
    case AnimationFormat::PngFrames:
        return std::make_unique<CPngFramesEncoder>(std::move(files));
    }
    return nullptr;
}

} // namespace quorrel::output::animation
