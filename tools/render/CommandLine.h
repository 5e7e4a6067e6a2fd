#pragma once
// The command line of quorrel-render:
//   quorrel-render [INPUT.wpp | --preset NAME] [-o OUTPUT] [--generate]
//                  [--seed N] [--count N] [--save-wpp FILE] [--size WxH]
//                  [--fill WxH] [--supersample N] [--continuous]
//                  [--scale N] [--set-wallpaper] [--threads N]
//                  [--reference] [--kernel NAME] [--quiet]
//   quorrel-render [INPUT.wpp | --preset NAME] --rotate INTERVAL [--count N] ...
//   quorrel-render --rotate off | --rotate status
//   quorrel-render --list-presets | --version | --help

#include "AnimateOptions.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quorrel::tools {

// The largest --count.
inline constexpr uint32_t kMaxCount = 10000;
// The images of a rotation: --count with --rotate, its default and largest.
inline constexpr uint32_t kRotationImages = 8;
inline constexpr uint32_t kMaxRotationImages = 100;

struct RenderOptions {
    std::optional<std::string> input;
    std::optional<std::string> preset;   // a preset's id or name, known to the catalogue
    std::optional<std::string> output;
    std::optional<std::string> saveWpp;
    bool generate = false;
    std::optional<uint32_t> seed;
    // --count: that many tiles, names with {n} and {seed} (only with --generate).
    std::optional<uint32_t> count;
    unsigned threads = 0;   // 0: all cores
    // Render at this size instead of the parameter set's own (1..8192 each).
    std::optional<std::pair<uint32_t, uint32_t>> size;
    // Write the tile repeated to this size (1..16384 each).
    std::optional<std::pair<uint32_t, uint32_t>> fill;
    uint32_t supersample = 1;   // samples a side of each pixel, 1..8
    // The continuous renderer (each component's series summed as one real
    // number) instead of the exact one.
    bool continuous = false;
    // The tile at this many times its width and height (1..8); without it,
    // 1, or a preset's preferred scale when continuous.
    std::optional<uint32_t> scale;
    bool setWallpaper = false;
    bool reference = false;   // the scalar renderer instead of the fast one
    bool quiet = false;
    bool help = false;
    // The kernel variant named on the command line (checked by the renderer).
    std::optional<std::string> kernel;
    bool version = false;
    bool listPresets = false;
    // --animate and its options: a loop instead of a still tile.
    AnimateOptions animate;

    // Desktop rotation: "off", "status" or an interval ("30m"); --count is
    // then the number of images a desktop that rotates by itself gets.
    std::optional<std::string> rotate;
    // --random-order: the rotation's images shuffled, where the desktop can.
    bool randomOrder = false;
    // Run by the rotation's timer: checks that the rotation is still set up
    // and says when this session is not the one it was set up in.
    bool rotationTick = false;

    // The living wallpaper: --living off | status; --period, slow living's
    // pace in seconds (with --animate --set-wallpaper).
    std::optional<std::string> living;
    std::optional<int> periodSeconds;

    uint32_t Images() const { return count.value_or(1); }

    // The scale a run renders at: --scale, else the preset's preferred
    // scale when rendering continuously at the preset's own size, else 1.
    uint32_t ScaleToUse() const;
};

// A value from the command line as messages repeat it: shortened, and
// filtered of control characters.
std::string EchoedArgument(const std::string& text);

// Parses the arguments after the program name. Returns the options, or
// nothing with a one-line reason in `error`.
std::optional<RenderOptions> ParseRenderArguments(const std::vector<std::string>& args, std::string& error);

// Whether the run writes anything: an image, a document or the wallpaper
// (--help, --version and --list-presets only print).
bool WritesSomething(const RenderOptions& options);
// The one line for a run that would write nothing.
std::string NothingToWriteMessage();

std::string RenderUsage();

// "quorrel-render 1.0"
std::string VersionLine();

// The presets, one a line: id, then name.
std::string PresetList();

} // namespace quorrel::tools
