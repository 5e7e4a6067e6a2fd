#include "CommandLine.h"

#include "render/TileRenderer.h"

#include <charconv>

namespace quorrel::tools {

namespace {

template <typename T>
bool ParseNumber(const std::string& text, T& value)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

// "WxH" with both sides 1..kMaxRenderSize.
std::optional<std::pair<uint32_t, uint32_t>> ParseSize(const std::string& text)
{
    const auto x = text.find_first_of("xX");
    if (x == std::string::npos)
        return std::nullopt;
    uint32_t width = 0, height = 0;
    if (!ParseNumber(text.substr(0, x), width) || !ParseNumber(text.substr(x + 1), height))
        return std::nullopt;
    if (width < 1 || height < 1 || width > render::kMaxRenderSize || height > render::kMaxRenderSize)
        return std::nullopt;
    return std::make_pair(width, height);
}

} // namespace

std::optional<RenderOptions> ParseRenderArguments(const std::vector<std::string>& args, std::string& error)
{
    RenderOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string v;
        if (arg == "-h" || arg == "--help") {
            options.help = true;
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
                error = "--seed takes a whole number from 0 to 4294967295, not '" + v + "'";
                return std::nullopt;
            }
            options.seed = seed;
        } else if (arg == "--threads") {
            unsigned threads = 0;
            if (!value(v))
                return std::nullopt;
            if (!ParseNumber(v, threads) || threads < 1 || threads > 256) {
                error = "--threads takes a whole number from 1 to 256, not '" + v + "'";
                return std::nullopt;
            }
            options.threads = threads;
        } else if (arg == "--size") {
            if (!value(v))
                return std::nullopt;
            options.size = ParseSize(v);
            if (!options.size) {
                error = "--size takes WIDTHxHEIGHT, each from 1 to " + std::to_string(render::kMaxRenderSize) +
                        ", not '" + v + "'";
                return std::nullopt;
            }
        } else if (arg == "--reference") {
            options.reference = true;
        } else if (arg == "--kernel") {
            if (!value(v))
                return std::nullopt;
            options.kernel = v;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "-q" || arg == "--quiet") {
            options.quiet = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + arg + " (see --help)";
            return std::nullopt;
        } else if (options.input) {
            error = "only one input file can be given";
            return std::nullopt;
        } else {
            options.input = arg;
        }
    }
    if (options.seed && !options.generate) {
        error = "--seed only applies with --generate";
        return std::nullopt;
    }
    return options;
}

std::string RenderUsage()
{
    return R"(Usage: quorrel-render [INPUT.wpp] [options]

Renders a Quorrel tile from a parameter set: the given "*.wpp" document, or
the built-in defaults when no input is given.

Options:
  -o, --output FILE   write the rendered tile, by default at the parameter
                      set's own width x height; the image format follows the
                      extension: .bmp .dib .rle, .jpg .jpeg .jpe .jfif, .gif,
                      .tif .tiff, .png
  --generate          generate new random coefficients before rendering
  --seed N            with --generate: seed the generator with N (0..4294967295)
                      instead of the clock, so the same N gives the same tile
                      on every machine
  --save-wpp FILE     write the parameter set (after any generation) as a
                      "*.wpp" document
  --size WxH          render the same series at W x H pixels instead (each
                      1..8192): the image is computed at that size, not
                      scaled, and still tiles seamlessly; the parameter set
                      and any --save-wpp document keep their own size
  --threads N         render with N threads (1..256; default: all cores,
                      small tiles use one); never more than the processors
                      the tool may run on
  --reference         use the plain scalar renderer, which the fast one is
                      tested against (same pixels, much slower; --threads
                      does not apply)
  -q, --quiet         no progress bar
  --kernel NAME       sum the series with this kernel variant (f64x4, f64x8,
                      i32x4, i32x8, i64x4, i64x8; same pixels, only the speed
                      differs) instead of the fastest measured on this
                      processor; the variable QUORREL_KERNEL does the same
  --version           show the version, the kernel and the instruction set
  -h, --help          show this help

Every output is checked before rendering (image extension, folder, that it
can be written, that no two outputs name the same file), and files are
replaced only when all outputs are whole. On any failure the tool prints one
line on stderr, exits with status 1 and leaves every existing file as it was.

Examples:
  quorrel-render --generate --seed 7 -o tile.png --save-wpp tile.wpp
  quorrel-render tile.wpp --size 3840x2160 -o tile-4k.png
)";
}

} // namespace quorrel::tools
