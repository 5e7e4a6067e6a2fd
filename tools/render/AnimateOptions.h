#pragma once
// The animation options of quorrel-render, parsed apart from the still
// image's: --animate SECONDS [--fps N] [--keyframes K] [--morph B.wpp ...]
// [--quality Q] [--lossless] [--shared-palette].

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quorrel::tools {

struct RenderOptions;

struct AnimateOptions {
    std::optional<double> seconds;   // --animate: the loop's length
    std::string secondsText;         // as typed, for messages
    std::optional<uint32_t> fps;
    std::optional<uint32_t> keyframes;
    std::vector<std::string> morph;   // documents after the first keyframe
    std::optional<int> quality;
    bool lossless = false;
    bool sharedPalette = false;

    bool Active() const { return seconds.has_value(); }
    uint32_t Fps() const { return fps.value_or(30); }
    // The keyframe count: the morph documents and the input, or --keyframes
    // (2 by default: a calm A to B and back).
    uint32_t Keyframes() const { return morph.empty() ? keyframes.value_or(2) : uint32_t(morph.size() + 1); }
};

// Reads `arg` when it is an animation option. `value` takes the option's
// value (attached by "=" or the next argument; a second one of the same
// option refused) and `nextValue` the same for --morph, which repeats.
// Returns false when `arg` is not an animation option; sets `error` when it
// is one with a bad value (or `value` failed).
using ValueReader = std::function<bool(std::string&)>;
bool ParseAnimateArgument(const std::string& arg, const ValueReader& value, const ValueReader& nextValue,
                          AnimateOptions& animate, std::string& error);

// What the animation options say with the others; empty when they agree.
std::string CheckAnimateCombination(const RenderOptions& options);

// The animation part of --help.
std::string AnimateUsage();

} // namespace quorrel::tools
