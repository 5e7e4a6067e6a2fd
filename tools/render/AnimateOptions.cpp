#include "AnimateOptions.h"

#include "CommandLine.h"
#include "OutputNames.h"

#include "output/animation/AnimationEncoder.h"
#include "render/animation/Keyframes.h"
#include "render/animation/LoopTiming.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace quorrel::tools {

namespace {

bool Whole(const std::string& text, uint32_t low, uint32_t high, uint32_t& value)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && ptr == end && value >= low && value <= high;
}

std::string Range(const std::string& option, uint32_t low, uint32_t high, const std::string& text)
{
    return option + " takes a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
           ", not '" + EchoedArgument(text) + "'";
}

} // namespace

bool ParseAnimateArgument(const std::string& arg, const ValueReader& value, const ValueReader& nextValue,
                          AnimateOptions& animate, std::string& error)
{
    static const char* const kOptions[] = {"--animate", "--fps",      "--keyframes",     "--morph",
                                           "--quality", "--lossless", "--shared-palette"};
    if (std::find(std::begin(kOptions), std::end(kOptions), arg) == std::end(kOptions))
        return false;
    if (arg == "--shared-palette") {
        animate.sharedPalette = true;
        return true;
    }
    if (arg == "--lossless") {
        animate.lossless = true;
        return true;
    }
    std::string v;
    if (!(arg == "--morph" ? nextValue(v) : value(v)))
        return true;
    uint32_t number = 0;
    if (arg == "--animate") {
        // A plain decimal number, the same in every locale.
        double seconds = 0;
        const char* end = v.data() + v.size();
        const auto [ptr, ec] = std::from_chars(v.data(), end, seconds, std::chars_format::fixed);
        if (v.empty() || ec != std::errc() || ptr != end || !(seconds >= render::animation::kMinSeconds) ||
            seconds > render::animation::kMaxSeconds) {
            error = "--animate takes the loop's length in seconds, from 0.1 to 3600, not '" + EchoedArgument(v) + "'";
            return true;
        }
        animate.seconds = seconds;
        animate.secondsText = v;
    } else if (arg == "--fps") {
        if (!Whole(v, render::animation::kMinFps, render::animation::kMaxFps, number))
            error = Range(arg, render::animation::kMinFps, render::animation::kMaxFps, v);
        animate.fps = number;
    } else if (arg == "--keyframes") {
        if (!Whole(v, render::animation::kMinKeyframes, render::animation::kMaxKeyframes, number))
            error = Range(arg, render::animation::kMinKeyframes, render::animation::kMaxKeyframes, v);
        animate.keyframes = number;
    } else if (arg == "--morph") {
        if (v.empty())
            error = "--morph needs a document";
        else if (animate.morph.size() + 1 >= render::animation::kMaxKeyframes)
            error = "at most " + std::to_string(render::animation::kMaxKeyframes - 1) + " --morph documents";
        animate.morph.push_back(v);
    } else if (arg == "--quality") {
        if (!Whole(v, 0, 100, number))
            error = Range(arg, 0, 100, v);
        animate.quality = int(number);
    }
    return true;
}

std::string CheckAnimateCombination(const RenderOptions& options)
{
    const AnimateOptions& animate = options.animate;
    if (!animate.Active()) {
        if (animate.fps || animate.keyframes || !animate.morph.empty() || animate.quality || animate.lossless ||
            animate.sharedPalette)
            return "--fps, --keyframes, --morph, --quality, --lossless and --shared-palette only apply with --animate";
        return {};
    }
    if (options.count)
        return "--animate makes one loop, not --count " + std::to_string(*options.count);
    if (options.supersample != 1)
        return "--animate renders continuous frames; --supersample does not apply";
    if (options.reference)
        return "--animate renders continuous frames; --reference does not apply";
    if (!animate.morph.empty() && animate.keyframes)
        return "give either --keyframes or --morph documents, not both";
    if (animate.lossless && animate.quality)
        return "give either --lossless or --quality, not both";
    // The keyframes take seeds S to S + K - 1, as a batch of K images does.
    if (options.seed && animate.morph.empty() && animate.Keyframes() > 1 &&
        *options.seed > std::numeric_limits<uint32_t>::max() - (animate.Keyframes() - 1)) {
        return "--seed " + std::to_string(*options.seed) + " with --keyframes " +
               std::to_string(animate.Keyframes()) + " runs past the last seed, 4294967295";
    }
    if (options.output && !output::animation::AnimationFormatForPath(*options.output))
        return "-o " + EchoedArgument(*options.output) + ": with --animate the name ends in " +
               output::animation::AnimationExtensions();
    if (options.saveWpp && !NamesEachImage(*options.saveWpp))
        return "--save-wpp " + EchoedArgument(*options.saveWpp) + ": with --animate the keyframes are saved, so the name needs {n}";
    if (options.output && output::animation::AnimationFormatForPath(*options.output) ==
                              output::animation::AnimationFormat::Gif && animate.Fps() > 50)
        return "a GIF shows at most 50 frames a second, not --fps " + std::to_string(animate.Fps());
    std::string error;
    if (!render::animation::CLoopTiming::FromSeconds(*animate.seconds, animate.Fps(), error))
        return "--animate " + EchoedArgument(animate.secondsText) + " at --fps " + std::to_string(animate.Fps()) + ": " + error;
    return {};
}

std::string AnimateUsage()
{
    return R"(
Living wallpapers (a loop that tiles and repeats without a jump):
  --animate SECONDS   render a loop this long (0.1..3600) instead of a still
                      tile: its keyframes' coefficient tables blended smoothly
                      and periodically, each frame rendered continuously, so
                      every frame tiles and the last leads back to the first.
                      -o names the file: .webp (animated WebP, looping
                      forever), .gif (looping), .webm (VP9 video), or .png
                      with {n} for one file a frame. --size, --scale and
                      --fill apply to every frame (a preset at its preferred
                      scale, as with --continuous); --save-wpp (with {n})
                      saves the keyframes
  --fps N             frames a second (1..120, default 30; a GIF at most 50)
  --keyframes K       K keyframes (2..64, default 2): the document's own tile
                      (unless --generate), then generations of its settings
                      with seeds S+1, S+2, ... (S from --seed, else the clock,
                      printed); with --generate the first is seed S's
  --morph B.wpp       morph between the input and B.wpp and back (repeat for
                      more documents, in order); they must share size,
                      harmonic counts, styles, wrap modes and colour ranges
  --quality Q         the quality (0..100) of a lossy WebP and the constant
                      quality of a WebM (each format's default without it)
  --lossless          a WebP of the exact frames (lossless, many times larger)
  --shared-palette    accepted for older scripts: a GIF always has one palette
                      for the whole loop

  quorrel-render --preset ocean --animate 8 --fill 1920x1080 -o ocean.webm
  quorrel-render a.wpp --morph b.wpp --animate 6 --fps 20 -o morph.gif
)";
}

} // namespace quorrel::tools
