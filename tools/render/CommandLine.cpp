#include "CommandLine.h"
#include "LivingCommand.h"

#include "OutputNames.h"

#include "model/Presets.h"
#include "model/ShownText.h"
#include "output/TileRepeat.h"
#include "output/rotation/RotationInterval.h"
#include "render/SmoothRender.h"
#include "render/TileRenderer.h"
#include "render/continuous/TileLook.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <limits>
#include <set>

#ifndef QUORREL_VERSION
#define QUORREL_VERSION "unknown"
#endif

namespace quorrel::tools {

namespace {

// The largest side of a --fill image: what the tile repeat makes.
constexpr uint32_t kMaxFillSize = output::kMaxRepeatSide;

// A value from the command line as an error message repeats it.
constexpr std::size_t kLongestEcho = 40;

std::string Echoed(const std::string& text) { return model::ShownText(text, kLongestEcho); }

template <typename T>
bool ParseNumber(const std::string& text, T& value)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

// "WxH" with both sides 1..limit.
std::optional<std::pair<uint32_t, uint32_t>> ParseSize(const std::string& text, uint32_t limit)
{
    const auto x = text.find_first_of("xX");
    if (x == std::string::npos)
        return std::nullopt;
    uint32_t width = 0, height = 0;
    if (!ParseNumber(text.substr(0, x), width) || !ParseNumber(text.substr(x + 1), height))
        return std::nullopt;
    if (width < 1 || height < 1 || width > limit || height > limit)
        return std::nullopt;
    return std::make_pair(width, height);
}

// A whole number from `low` to `high` for `option`, or a one-line reason.
bool ParseBounded(const std::string& option, const std::string& text, uint32_t low, uint32_t high, uint32_t& value,
                  std::string& error)
{
    if (ParseNumber(text, value) && value >= low && value <= high)
        return true;
    error = option + " takes a whole number from " + std::to_string(low) + " to " + std::to_string(high) + ", not '" +
            Echoed(text) + "'";
    return false;
}

// ---- Desktop rotation: --rotate and --rotation-tick ----

// Reads one rotation option; false when `arg` is none of them. `value` takes
// the option's value; failures set `error`.
bool ParseRotationOption(const std::string& arg, const std::function<bool(std::string&)>& value,
                         RenderOptions& options, std::string& error)
{
    if (arg == "--rotation-tick") {
        options.rotationTick = true;
        return true;
    }
    if (arg == "--random-order") {
        options.randomOrder = true;
        return true;
    }
    if (arg != "--rotate")
        return false;
    std::string v;
    if (!value(v))
        return true;
    if (v != "off" && v != "status") {
        QString reason;
        if (!output::rotation::ParseInterval(QString::fromStdString(v), reason)) {
            error = "--rotate takes off, status or an interval: " + reason.toStdString();
            return true;
        }
    }
    options.rotate = v;
    return true;
}

// What the rotation options say together with the rest; empty when they agree.
std::string CheckRotation(const RenderOptions& options)
{
    if (options.rotationTick && !options.setWallpaper && !options.output)
        return "--rotation-tick only applies with --set-wallpaper or -o";
    if (options.randomOrder && (!options.rotate || *options.rotate == "off" || *options.rotate == "status"))
        return "--random-order only applies with --rotate INTERVAL";
    if (!options.rotate)
        return {};
    if (options.output || options.saveWpp || options.setWallpaper || options.rotationTick)
        return "--rotate makes and sets its own images: it takes no -o, --save-wpp, --set-wallpaper or --rotation-tick";
    const bool interval = *options.rotate != "off" && *options.rotate != "status";
    if (!interval && (options.input || options.preset || options.generate || options.seed || options.count ||
                      options.size || options.fill || options.supersample != 1 || options.continuous ||
                      options.scale))
        return "--rotate " + *options.rotate + " takes no document, preset or rendering options";
    if (options.count && (*options.count < 1 || *options.count > kMaxRotationImages))
        return "--count takes a whole number from 1 to " + std::to_string(kMaxRotationImages) + " with --rotate";
    return {};
}

// ---- end of desktop rotation ----

// The long name of an option given by its short one.
std::string LongName(const std::string& option)
{
    if (option == "-o")
        return "--output";
    return option;
}

// What the options say together; empty when they agree.
std::string CheckCombination(const RenderOptions& options)
{
    const std::string rotation = CheckRotation(options);
    if (!rotation.empty())
        return rotation;
    if (const std::string living = CheckLivingCombination(options); !living.empty())
        return living;
    // A rotation always generates: each of its images is new.
    const bool generates = options.generate || (options.rotate.has_value());
    if (options.seed && !generates && !options.animate.Active())
        return "--seed only applies with --generate or --animate";
    if (options.count && !generates)
        return "--count only applies with --generate";
    if (options.input && options.preset)
        return "give either an input document or --preset, not both";
    const uint32_t images = options.Images();
    if (options.seed && images > 1 &&
        *options.seed > std::numeric_limits<uint32_t>::max() - (images - 1)) {
        return "--seed " + std::to_string(*options.seed) + " with --count " + std::to_string(images) +
               " runs past the last seed, 4294967295";
    }
    if (options.size && options.scale) {
        const uint64_t largest = uint64_t(std::max(options.size->first, options.size->second)) * *options.scale;
        if (largest > render::kMaxRenderSize) {
            return "--size " + std::to_string(options.size->first) + "x" + std::to_string(options.size->second) +
                   " at --scale " + std::to_string(*options.scale) + " is larger than " +
                   std::to_string(render::kMaxRenderSize) + " pixels a side";
        }
    }
    if (const std::string animate = CheckAnimateCombination(options); !animate.empty())
        return animate;
    if (options.setWallpaper && images > 1)
        return "--set-wallpaper takes one image, not --count " + std::to_string(images);
    if (images > 1) {
        for (const auto& [option, name] : {std::pair{"-o", options.output}, std::pair{"--save-wpp", options.saveWpp}}) {
            if (name && !NamesEachImage(*name))
                return std::string(option) + " " + *name + ": with --count above 1 the name needs {n} or {seed}, "
                       "so that each image gets a file of its own";
        }
    }
    return {};
}

} // namespace

std::string EchoedArgument(const std::string& text) { return Echoed(text); }

std::optional<RenderOptions> ParseRenderArguments(const std::vector<std::string>& args, std::string& error)
{
    RenderOptions options;
    std::set<std::string> valued;   // the options that took their value
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        // "--option=value", as GNU tools take it, is "--option value".
        std::optional<std::string> attached;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            attached = arg.substr(eq + 1);
            arg.resize(eq);
        }
        bool attachedTaken = false;
        // The value of an option; each option takes one, so a second is refused
        // instead of silently replacing the first (unless `repeatable`).
        auto takeValue = [&](std::string& out, bool repeatable) {
            if (!valued.insert(LongName(arg)).second && !repeatable) {
                error = arg + " is given more than once";
                return false;
            }
            if (attached) {
                out = *attached;
                attachedTaken = true;
                return true;
            }
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        auto value = [&](std::string& out) { return takeValue(out, false); };
        std::string v;
        if (ParseLivingArgument(arg, value, options, error)) {
            if (!error.empty())
                return std::nullopt;
            continue;
        }
        if (ParseAnimateArgument(
                arg, value, [&](std::string& out) { return takeValue(out, true); }, options.animate, error)) {
            if (!error.empty())
                return std::nullopt;
        } else if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--list-presets") {
            options.listPresets = true;
        } else if (arg == "-o" || arg == "--output") {
            if (!value(v))
                return std::nullopt;
            options.output = v;
        } else if (arg == "--save-wpp") {
            if (!value(v))
                return std::nullopt;
            options.saveWpp = v;
        } else if (arg == "--generate") {
            options.generate = true;
        } else if (arg == "--seed") {
            uint32_t seed = 0;
            if (!value(v))
                return std::nullopt;
            if (!ParseNumber(v, seed)) {
                error = "--seed takes a whole number from 0 to 4294967295, not '" + Echoed(v) + "'";
                return std::nullopt;
            }
            options.seed = seed;
        } else if (arg == "--count") {
            uint32_t count = 0;
            if (!value(v) || !ParseBounded(arg, v, 1, kMaxCount, count, error))
                return std::nullopt;
            options.count = count;
        } else if (arg == "--preset") {
            if (!value(v))
                return std::nullopt;
            if (!model::FindPreset(v)) {
                error = "unknown preset '" + Echoed(v) + "' (see --list-presets)";
                return std::nullopt;
            }
            options.preset = v;
        } else if (arg == "--threads") {
            uint32_t threads = 0;
            if (!value(v) || !ParseBounded(arg, v, 1, 256, threads, error))
                return std::nullopt;
            options.threads = threads;
        } else if (arg == "--size") {
            if (!value(v))
                return std::nullopt;
            options.size = ParseSize(v, render::kMaxRenderSize);
            if (!options.size) {
                error = "--size takes WIDTHxHEIGHT, each from 1 to " + std::to_string(render::kMaxRenderSize) +
                        ", not '" + Echoed(v) + "'";
                return std::nullopt;
            }
        } else if (arg == "--fill") {
            if (!value(v))
                return std::nullopt;
            options.fill = ParseSize(v, kMaxFillSize);
            if (!options.fill) {
                error = "--fill takes WIDTHxHEIGHT, each from 1 to " + std::to_string(kMaxFillSize) + ", not '" +
                        Echoed(v) + "'";
                return std::nullopt;
            }
        } else if (arg == "--supersample") {
            if (!value(v) || !ParseBounded(arg, v, 1, render::kMaxSupersample, options.supersample, error))
                return std::nullopt;
        } else if (arg == "--continuous") {
            options.continuous = true;
        } else if (arg == "--scale") {
            uint32_t scale = 0;
            if (!value(v) || !ParseBounded(arg, v, 1, render::kMaxScale, scale, error))
                return std::nullopt;
            options.scale = scale;
        } else if (arg == "--set-wallpaper") {
            options.setWallpaper = true;
        } else if (arg == "--reference") {
            options.reference = true;
        } else if (arg == "--kernel") {
            if (!value(v))
                return std::nullopt;
            options.kernel = v;
        } else if (arg == "-q" || arg == "--quiet") {
            options.quiet = true;
        } else if (ParseRotationOption(arg, value, options, error)) {
            if (!error.empty())
                return std::nullopt;
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + Echoed(arg) + " (see --help)";
            return std::nullopt;
        } else if (options.input) {
            error = "only one input file can be given";
            return std::nullopt;
        } else {
            options.input = arg;
        }
        if (attached && !attachedTaken) {
            error = arg + " takes no value";
            return std::nullopt;
        }
    }
    error = CheckCombination(options);
    if (!error.empty())
        return std::nullopt;
    return options;
}

uint32_t RenderOptions::ScaleToUse() const
{
    if (scale)
        return *scale;
    if (continuous && preset && !size) {
        if (const model::PresetInfo* info = model::FindPreset(*preset))
            return info->scale;
    }
    return 1;
}

bool WritesSomething(const RenderOptions& options)
{
    return options.output || options.saveWpp || options.setWallpaper || options.rotate || options.living;
}

std::string NothingToWriteMessage()
{
    return "nothing to write: give -o FILE, --save-wpp FILE or --set-wallpaper (see --help)";
}

std::string VersionLine() { return "quorrel-render " QUORREL_VERSION; }

std::string PresetList()
{
    std::size_t width = 0;
    for (const model::PresetInfo& preset : model::Presets())
        width = std::max(width, preset.id.size());
    std::size_t nameWidth = 0;
    for (const model::PresetInfo& preset : model::Presets())
        nameWidth = std::max(nameWidth, preset.name.size());
    std::string list;
    for (const model::PresetInfo& preset : model::Presets()) {
        std::string line = std::string(preset.id) + std::string(width + 2 - preset.id.size(), ' ') +
                           std::string(preset.name);
        if (preset.scale != 1) {
            line += std::string(nameWidth + 2 - preset.name.size(), ' ') + "--continuous renders it at --scale " +
                    std::to_string(preset.scale);
        }
        list += line + "\n";
    }
    return list;
}

std::string RenderUsage()
{
    return R"(Usage: quorrel-render [INPUT.wpp | --preset NAME] [options]
       quorrel-render --list-presets | --version | --help

Renders a Quorrel tile from a parameter set: the given "*.wpp" document, a
preset, or the built-in defaults when neither is given.

Options:
  -o, --output FILE   write the rendered tile, by default at the parameter
                      set's own width x height; the image format follows the
                      extension: .bmp .dib .rle, .jpg .jpeg .jpe .jfif, .gif,
                      .tif .tiff, .png
  --preset NAME       start from a preset (its settings and its tile); with
                      --generate a new tile of it
  --list-presets      list the presets' names and stop
  --generate          generate new random coefficients before rendering
  --seed N            with --generate: seed the generator with N (0..4294967295)
                      instead of the clock, so the same N gives the same tile
                      on every machine
  --count N           with --generate: make N different tiles (1..10000); with
                      --seed S the k-th uses seed S + k - 1, so any of them can
                      be made again alone, otherwise each gets a seed from the
                      clock, printed on stdout. The names of -o and --save-wpp
                      take {n} (k, zero-padded to the width of N) and {seed};
                      above 1 each name needs one of them
  --save-wpp FILE     write the parameter set (after any generation) as a
                      "*.wpp" document
  --size WxH          render the same series at W x H pixels instead (each
                      1..8192): the image is computed at that size, not
                      scaled, and still tiles seamlessly; the parameter set
                      and any --save-wpp document keep their own size
  --fill WxH          write W x H pixels (each 1..16384) made by repeating the
                      tile from the top-left corner, as a desktop's tiled mode
                      lays it: a wallpaper of the screen's size
  --supersample N     smooth rendering: N x N samples a pixel (1..8, default
                      1), each pixel the rounded mean of its samples' colours;
                      1 is the exact rendering, N costs about N x N times the
                      work
  --continuous        sum each colour component's series as one real number
                      and truncate it once, instead of truncating every term:
                      the same pattern without the fine grain and steps the
                      exact tile shows when rendered larger, about 30 times
                      less work; the document is unchanged (works with every
                      other option)
  --scale N           render the tile at N times its own width and height
                      (1..8; with --size, N times that size): the same
                      pattern larger and calmer, still seamless, also with
                      --fill; with --continuous and --preset, a preset's
                      preferred scale (see --list-presets) unless given
  --set-wallpaper     make the image the desktop wallpaper afterwards, tiled
                      (with --fill, the filled image at its own size); on a
                      desktop that cannot tile, give --fill with the screen's
                      size; refused on wlroots compositors other than sway,
                      where the wallpaper would end with the tool
  --threads N         render with N threads (1..256; default: all cores,
                      small tiles use one); never more than the processors
                      the tool may run on
  --reference         use the plain scalar renderer, which the fast one is
                      tested against (same pixels, much slower; --threads
                      does not apply); with --continuous, the continuous
                      renderer's scalar definition
  -q, --quiet         no progress bar
  --kernel NAME       sum the series with this kernel variant (f64x4, f64x8,
                      i32x4, i32x8, i64x4, i64x8; same pixels, only the speed
                      differs) instead of the fastest measured on this
                      processor; the variable QUORREL_KERNEL does the same
  --version           show the version, the kernel and the instruction set
  -h, --help          show this help

Desktop rotation (a wallpaper that changes by itself, without the editor):
  --rotate INTERVAL   every INTERVAL (30m, 2h, 1d, 1h30m; 1s..30d) a new
                      tiled wallpaper made from the source (document, preset
                      or defaults, always with --generate). GNOME, Cinnamon
                      and MATE get a slide show, XFCE and Plasma their own
                      cycling of --count N prepared images (1..100, default
                      8); elsewhere a systemd user timer runs quorrel-render
                      --set-wallpaper. --seed, --size, --fill,
                      --supersample, --continuous and --scale apply to the
                      images
  --random-order      with --rotate: show the images in a random order where
                      the desktop's own slide show can (XFCE, Plasma)
  --rotate off        undo it: the previous settings put back, the timer and
                      its units removed, the images deleted
  --rotate status     say what is set up and whether it runs in this session
  --rotation-tick     (run by the rotation's timer) check that the rotation
                      is set up and say when this session is another one
  Images and state live in $XDG_DATA_HOME/quorrel/rotation/, units in
  $XDG_CONFIG_HOME/systemd/user/; nothing is written elsewhere.

An option's value may also be attached as --option=VALUE. Each option with a
value is given at most once.

A run needs something to write: -o, --save-wpp, --set-wallpaper or --rotate.
Every output is checked before rendering (image extension, folder, that it
can be written, that no two outputs name the same file), and files are
replaced only when all outputs of the run are whole. On any failure the tool
prints one line on stderr, exits with status 1 and leaves every existing file
as it was.

Examples:
  quorrel-render --generate --seed 7 -o tile.png --save-wpp tile.wpp
  quorrel-render tile.wpp --fill 3840x2160 -o wallpaper.png
  quorrel-render --preset ocean --generate --count 5 --seed 100 -o ocean-{n}.png
  quorrel-render tile.wpp --size 3840x2160 --supersample 4 -o smooth-4k.png
  quorrel-render --preset ocean --continuous --scale 3 --fill 3840x2160 -o calm.png
)" + AnimateUsage() + LivingUsage();
}

} // namespace quorrel::tools
