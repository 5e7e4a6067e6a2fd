// quorrel-render's newer options parsed with their limits and combinations,
// the names and seeds of a batch, and the progress bar fed by the renderer.

#include "model/TileParams.h"
#include "render/TileRenderer.h"
#include "tools/render/CommandLine.h"
#include "tools/render/OutputNames.h"
#include "tools/render/ProgressBar.h"
#include "tools/render/RotationCommand.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

using namespace quorrel;
using namespace quorrel::tools;

namespace {

std::optional<RenderOptions> Parse(std::vector<std::string> args, std::string& error)
{
    return ParseRenderArguments(args, error);
}

// The error of a command line that must be refused.
std::string Refusal(std::vector<std::string> args)
{
    std::string error;
    EXPECT_FALSE(Parse(args, error));
    EXPECT_EQ(error.find('\n'), std::string::npos);
    return error;
}

} // namespace

TEST(RenderOptions, FillCountSupersampleAndPresetWithTheirLimits)
{
    std::string error;
    auto options = Parse({"--fill", "16384x1", "--count", "10000", "--generate", "--supersample", "8", "--preset",
                          "SOFT-diamond", "-o", "t{n}.png"},
                         error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(*options->fill, std::make_pair(16384u, 1u));
    EXPECT_EQ(options->count, 10000u);
    EXPECT_EQ(options->Images(), 10000u);
    EXPECT_EQ(options->supersample, 8u);
    EXPECT_EQ(options->preset, "SOFT-diamond");

    options = Parse({"-o", "x.png"}, error);
    ASSERT_TRUE(options);
    EXPECT_FALSE(options->fill);
    EXPECT_FALSE(options->count);
    EXPECT_EQ(options->Images(), 1u);
    EXPECT_EQ(options->supersample, 1u);
    EXPECT_FALSE(options->setWallpaper);

    for (const char* bad : {"0x10", "16385x10", "10x16385", "10", "axb", ""})
        EXPECT_EQ(Refusal({"--fill", bad}), "--fill takes WIDTHxHEIGHT, each from 1 to 16384, not '" +
                                                std::string(bad) + "'");
    for (const char* bad : {"0", "10001", "-1", "2.5", ""})
        EXPECT_EQ(Refusal({"--generate", "--count", bad}),
                  "--count takes a whole number from 1 to 10000, not '" + std::string(bad) + "'");
    for (const char* bad : {"0", "9", "16", "x"})
        EXPECT_EQ(Refusal({"--supersample", bad}),
                  "--supersample takes a whole number from 1 to 8, not '" + std::string(bad) + "'");
    EXPECT_EQ(Refusal({"--preset", "plaid"}), "unknown preset 'plaid' (see --list-presets)");
    // What comes back of a value is short and without control characters.
    EXPECT_EQ(Refusal({"--preset", std::string(5000, 'p')}),
              "unknown preset '" + std::string(40, 'p') + "...' (see --list-presets)");
    EXPECT_EQ(Refusal({"--preset", "a\nb\x1b[2J"}), "unknown preset 'a?b?[2J' (see --list-presets)");
    EXPECT_EQ(Refusal({"--preset", std::string(39, 'p') + "\xc3\xa9\xc3\xa9"}),
              "unknown preset '" + std::string(39, 'p') + "...' (see --list-presets)");   // never half a character
    EXPECT_EQ(Refusal({"--fill", std::string(100, '9')}),
              "--fill takes WIDTHxHEIGHT, each from 1 to 16384, not '" + std::string(40, '9') + "...'");
    EXPECT_EQ(Refusal({"--" + std::string(100, 'z')}), "unknown option --" + std::string(38, 'z') + "... (see --help)");
    EXPECT_EQ(Refusal({"--fill"}), "--fill needs a value");
}

TEST(RenderOptions, CombinationsThatCannotWork)
{
    EXPECT_EQ(Refusal({"--count", "3", "-o", "a{n}.png"}), "--count only applies with --generate");
    EXPECT_EQ(Refusal({"in.wpp", "--preset", "neon", "-o", "a.png"}),
              "give either an input document or --preset, not both");
    EXPECT_EQ(Refusal({"--generate", "--count", "2", "-o", "same.png"}),
              "-o same.png: with --count above 1 the name needs {n} or {seed}, so that each image gets a file of its "
              "own");
    EXPECT_EQ(Refusal({"--generate", "--count", "2", "-o", "a{n}.png", "--save-wpp", "same.wpp"}).rfind(
                  "--save-wpp same.wpp: ", 0),
              0u);
    EXPECT_EQ(Refusal({"--generate", "--count", "2", "--set-wallpaper", "-o", "a{n}.png"}),
              "--set-wallpaper takes one image, not --count 2");
    EXPECT_EQ(Refusal({"--generate", "--count", "3", "--seed", "4294967294", "-o", "a{n}.png"}),
              "--seed 4294967294 with --count 3 runs past the last seed, 4294967295");
    std::string error;
    EXPECT_TRUE(Parse({"--generate", "--count", "2", "--seed", "4294967294", "-o", "a{n}.png"}, error)) << error;
    // One image needs no {n}; --count 1 names it like any batch.
    EXPECT_TRUE(Parse({"--generate", "--count", "1", "-o", "one.png"}, error)) << error;

    auto options = Parse({"--generate"}, error);
    ASSERT_TRUE(options);
    EXPECT_FALSE(WritesSomething(*options));
    for (const std::vector<std::string>& writes : std::vector<std::vector<std::string>>{
             {"-o", "a.png"}, {"--save-wpp", "a.wpp"}, {"--set-wallpaper"}}) {
        options = Parse(writes, error);
        ASSERT_TRUE(options);
        EXPECT_TRUE(WritesSomething(*options)) << writes[0];
    }
}

namespace {

// Every parsed field, to compare two command lines.
std::string Describe(const RenderOptions& o)
{
    const auto text = [](const auto& value) {
        if (!value)
            return std::string("-");
        if constexpr (std::is_same_v<std::decay_t<decltype(*value)>, std::string>)
            return *value;
        else if constexpr (std::is_same_v<std::decay_t<decltype(*value)>, uint32_t>)
            return std::to_string(*value);
        else
            return std::to_string(value->first) + "x" + std::to_string(value->second);
    };
    return text(o.input) + "|" + text(o.preset) + "|" + text(o.output) + "|" + text(o.saveWpp) + "|" +
           text(o.seed) + "|" + text(o.count) + "|" + text(o.size) + "|" + text(o.fill) + "|" + text(o.kernel) +
           "|" + std::to_string(o.threads) + "|" + std::to_string(o.supersample) + "|" + std::to_string(o.generate) +
           std::to_string(o.setWallpaper) + std::to_string(o.reference) + std::to_string(o.quiet);
}

class AttachedValues : public ::testing::TestWithParam<std::vector<std::string>> {};

} // namespace

// "--option=value" is "--option value" for every option with a value: the
// same command line with each such argument split in two parses the same.
TEST_P(AttachedValues, ParseLikeSeparateOnes)
{
    const std::vector<std::string>& attached = GetParam();
    std::vector<std::string> separate;
    for (const std::string& arg : attached) {
        const auto eq = arg.find('=');
        if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            separate.push_back(arg.substr(0, eq));
            separate.push_back(arg.substr(eq + 1));
        } else {
            separate.push_back(arg);
        }
    }
    ASSERT_NE(separate.size(), attached.size());
    std::string error;
    const auto one = Parse(attached, error);
    ASSERT_TRUE(one) << error;
    const auto two = Parse(separate, error);
    ASSERT_TRUE(two) << error;
    EXPECT_EQ(Describe(*one), Describe(*two));
}

INSTANTIATE_TEST_SUITE_P(
    EveryOption, AttachedValues,
    ::testing::Values(std::vector<std::string>{"--fill=1920x1080", "--output=a.png"},
                      std::vector<std::string>{"--output=x=y.png", "--save-wpp=b.wpp", "--size=10x20"},
                      std::vector<std::string>{"--generate", "--seed=7", "--count=3", "--output=a{n}.png"},
                      std::vector<std::string>{"--preset=ocean", "--supersample=4", "--threads=2", "-o", "p.png"},
                      std::vector<std::string>{"in.wpp", "--kernel=f64x4", "--set-wallpaper"}));

TEST(RenderOptions, AttachedValuesAreTheValuesGiven)
{
    std::string error;
    const auto options = Parse({"--fill=1920x1080", "--output=x=y.png"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(*options->fill, std::make_pair(1920u, 1080u));
    EXPECT_EQ(*options->output, "x=y.png");
}

TEST(RenderOptions, AnOptionGivenTwiceOrAFlagWithAValueIsRefused)
{
    EXPECT_EQ(Refusal({"-o", "a.png", "-o", "b.png"}), "-o is given more than once");
    EXPECT_EQ(Refusal({"-o", "a.png", "--output=b.png"}), "--output is given more than once");
    EXPECT_EQ(Refusal({"--preset", "ocean", "--preset", "forest", "-o", "a.png"}),
              "--preset is given more than once");
    EXPECT_EQ(Refusal({"--fill=8x8", "--fill", "8x8", "-o", "a.png"}), "--fill is given more than once");
    EXPECT_EQ(Refusal({"--generate=yes"}), "--generate takes no value");
    EXPECT_EQ(Refusal({"--help=1"}), "--help takes no value");
    EXPECT_EQ(Refusal({"--bogus=1"}), "unknown option --bogus (see --help)");
    EXPECT_EQ(Refusal({"--fill="}), "--fill takes WIDTHxHEIGHT, each from 1 to 16384, not ''");
    EXPECT_EQ(Refusal({"--generate", "--seed=x"}), "--seed takes a whole number from 0 to 4294967295, not 'x'");
}

TEST(OutputNames, NumbersArePaddedToTheCountAndSeedsReplaced)
{
    EXPECT_EQ(ExpandOutputName("t-{n}.png", 3, 12, 99), "t-03.png");
    EXPECT_EQ(ExpandOutputName("t-{n}.png", 12, 12, 99), "t-12.png");
    EXPECT_EQ(ExpandOutputName("t-{n}.png", 7, 1000, 99), "t-0007.png");
    EXPECT_EQ(ExpandOutputName("t-{n}.png", 1, 1, 99), "t-1.png");
    EXPECT_EQ(ExpandOutputName("{seed}/{n}-{seed}{n}.wpp", 2, 9, 4294967295u), "4294967295/2-42949672952.wpp");
    EXPECT_EQ(ExpandOutputName("{N}{x}{ n}.png", 2, 9, 5), "{N}{x}{ n}.png");
    EXPECT_TRUE(NamesEachImage("a{n}.png"));
    EXPECT_TRUE(NamesEachImage("{seed}"));
    EXPECT_FALSE(NamesEachImage("a{N}.png"));
    EXPECT_FALSE(NamesEachImage("a{seed.png"));
}

TEST(OutputNames, SeedsFollowTheFirstOrComeFromTheClockAllDifferent)
{
    EXPECT_EQ(BatchSeeds(40u, 3, 123), (std::vector<uint32_t>{40, 41, 42}));
    EXPECT_EQ(BatchSeeds(4294967293u, 3, 123), (std::vector<uint32_t>{4294967293u, 4294967294u, 4294967295u}));
    const std::vector<uint32_t> clock = BatchSeeds(std::nullopt, 10000, 1700000000123456789ull);
    ASSERT_EQ(clock.size(), 10000u);
    EXPECT_EQ(std::set<uint32_t>(clock.begin(), clock.end()).size(), 10000u);
    // Another moment, other seeds; the same moment, the same ones.
    EXPECT_NE(BatchSeeds(std::nullopt, 3, 1700000000123456790ull), BatchSeeds(std::nullopt, 3, 1700000000123456789ull));
    EXPECT_EQ(BatchSeeds(std::nullopt, 3, 5), BatchSeeds(std::nullopt, 3, 5));
}

namespace {

// What the bar drew, as the percentages of each "k/N" (or "" alone).
struct Drawn {
    std::vector<std::pair<std::string, int>> steps;
    std::string text;
};

Drawn Capture(uint32_t images, const std::function<void(CProgressBar&)>& feed)
{
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = ::open_memstream(&buffer, &size);
    {
        CProgressBar bar(out, true, images);
        feed(bar);
    }
    std::fclose(out);
    Drawn drawn{{}, std::string(buffer, size)};
    std::free(buffer);
    const std::regex step("\\rRendering( \\d+/\\d+)? \\[[# ]{40}\\] +(\\d+)%");
    for (auto it = std::sregex_iterator(drawn.text.begin(), drawn.text.end(), step); it != std::sregex_iterator();
         ++it)
        drawn.steps.emplace_back((*it)[1].str(), std::stoi((*it)[2].str()));
    return drawn;
}

// One rendering's reports, as the renderer makes them.
void RenderInto(CProgressBar& bar, uint32_t image)
{
    auto params = std::make_unique<model::CTileParams>();
    params->GenerateRandom(3);
    render::CRgbImage rgb(params->m_nWidth, params->m_nHeight);
    bar.Start(image);
    render::RenderTile(*params, rgb, [&bar](int percent) { bar.Update(percent); });
    bar.Complete();
}

} // namespace

// The renderer ends with 0 after 99: the bar never goes back, and each
// image runs from 0 to 100 % once.
TEST(ProgressBar, RunsFromZeroToOneHundredOnceAnImage)
{
    const Drawn one = Capture(1, [](CProgressBar& bar) {
        RenderInto(bar, 1);
        bar.Finish();
    });
    ASSERT_GE(one.steps.size(), 50u) << one.text;
    EXPECT_EQ(one.steps.front(), (std::pair<std::string, int>{"", 0}));
    EXPECT_EQ(one.steps.back(), (std::pair<std::string, int>{"", 100}));
    for (std::size_t i = 1; i < one.steps.size(); ++i)
        EXPECT_LT(one.steps[i - 1].second, one.steps[i].second) << i;
    EXPECT_EQ(one.text.back(), '\n');

    const Drawn three = Capture(3, [](CProgressBar& bar) {
        for (uint32_t k = 1; k <= 3; ++k)
            RenderInto(bar, k);
        bar.Finish();
    });
    int starts = 0, ends = 0;
    for (std::size_t i = 0; i < three.steps.size(); ++i) {
        const auto& [label, percent] = three.steps[i];
        EXPECT_TRUE(label == " 1/3" || label == " 2/3" || label == " 3/3") << label;
        if (percent == 0) {
            const std::string expected[] = {" 1/3", " 2/3", " 3/3"};
            ASSERT_LT(starts, 3);
            EXPECT_EQ(label, expected[starts++]);
        } else {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(label, three.steps[i - 1].first);
            EXPECT_GT(percent, three.steps[i - 1].second);
        }
        ends += percent == 100;
    }
    EXPECT_EQ(starts, 3);
    EXPECT_EQ(ends, 3);

    // Disabled, it draws nothing at all.
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = ::open_memstream(&buffer, &size);
    {
        CProgressBar bar(out, false, 1);
        RenderInto(bar, 1);
        bar.Finish();
    }
    std::fclose(out);
    EXPECT_EQ(size, 0u);
    std::free(buffer);
}

// --rotate with the rest of the command line: what it takes and refuses.
struct RotateCase {
    std::vector<std::string> args;
    const char* refusal;   // nullptr: accepted; else a part of the one line
};

class RotateOptionsTest : public ::testing::TestWithParam<RotateCase> {};

TEST_P(RotateOptionsTest, AcceptedOrRefusedInOneLine)
{
    const RotateCase& c = GetParam();
    if (c.refusal) {
        const std::string error = Refusal(c.args);
        EXPECT_NE(error.find(c.refusal), std::string::npos) << error;
        return;
    }
    std::string error;
    const auto options = Parse(c.args, error);
    ASSERT_TRUE(options) << error;
    EXPECT_TRUE(options->rotate);
    EXPECT_TRUE(WritesSomething(*options));
}

INSTANTIATE_TEST_SUITE_P(
    Rotation, RotateOptionsTest,
    ::testing::Values(RotateCase{{"--rotate", "30m"}, nullptr}, RotateCase{{"--rotate", "off"}, nullptr},
                      RotateCase{{"--rotate", "status"}, nullptr},
                      RotateCase{{"--preset", "ocean", "--rotate", "1h30m", "--count", "5", "--seed", "3"}, nullptr},
                      RotateCase{{"--rotate", "2h", "--fill", "1920x1080", "--supersample", "2"}, nullptr},
                      RotateCase{{"--rotate", "5x"}, "--rotate takes off, status or an interval"},
                      RotateCase{{"--rotate"}, "--rotate needs a value"},
                      RotateCase{{"--rotate", "0s"}, "from 1s to 30d"},
                      RotateCase{{"--rotate", "1h", "-o", "x.png"}, "it takes no -o"},
                      RotateCase{{"--rotate", "1h", "--set-wallpaper"}, "it takes no -o"},
                      RotateCase{{"--rotate", "off", "--preset", "ocean"}, "--rotate off takes no document"},
                      RotateCase{{"--rotate", "status", "--count", "3"}, "--rotate status takes no document"},
                      RotateCase{{"--rotate", "1h", "--count", "101"}, "from 1 to 100 with --rotate"},
                      RotateCase{{"--count", "3", "-o", "x{n}.png"}, "--count only applies with --generate"},
                      RotateCase{{"--rotation-tick", "-q"}, "--rotation-tick only applies with"}));

// The rotation's timer renders each new image the way the rotation was set
// up: the smoothing, the continuous renderer and its scale go into its
// command.
TEST(RotationTickCommand, CarriesTheRenderingOptionsOfTheRotation)
{
    std::string error;
    const auto options = Parse({"--preset", "ocean", "--rotate", "1h", "--continuous", "--scale", "3", "--fill",
                                "1920x1080", "--supersample", "2"},
                               error);
    ASSERT_TRUE(options) << error;
    const QStringList command = TickCommand(QStringLiteral("/usr/bin/quorrel-render"), *options, QString(), QString());
    const QStringList expected{QStringLiteral("/usr/bin/quorrel-render"), QStringLiteral("--preset"),
                               QStringLiteral("ocean"), QStringLiteral("--generate"), QStringLiteral("--fill"),
                               QStringLiteral("1920x1080"), QStringLiteral("--supersample"), QStringLiteral("2"),
                               QStringLiteral("--continuous"), QStringLiteral("--scale"), QStringLiteral("3"),
                               QStringLiteral("--quiet"), QStringLiteral("--set-wallpaper"),
                               QStringLiteral("--rotation-tick")};
    EXPECT_EQ(command, expected);
}
