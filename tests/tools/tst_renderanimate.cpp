// quorrel-render --animate: its options refused with one line where they do
// not fit together, and real runs: the loop written in each format, the
// keyframes saved as documents whose continuous renders are the frames at
// their times, morphs between documents (and the message naming what
// differs when they cannot be morphed), and no file changed by a failed run.

#include "model/TileParams.h"
#include "model/WppFile.h"
#include "render/continuous/ContinuousRenderer.h"
#include "support/TempFolder.h"
#include "tools/ToolProcess.h"
#include "tools/render/CommandLine.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

using namespace quorrel;
using quorrel::test::RunTool;
using quorrel::test::ToolResult;

namespace {

struct RefusalCase {
    const char* name;
    std::vector<std::string> args;
    const char* message;
};

class AnimateRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(AnimateRefusalTest, IsOneLineNamingTheProblem)
{
    std::string error;
    EXPECT_FALSE(tools::ParseRenderArguments(GetParam().args, error));
    EXPECT_EQ(error, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, AnimateRefusalTest,
    ::testing::Values(
        RefusalCase{"NoSeconds", {"--animate", "x", "-o", "a.webp"},
                    "--animate takes the loop's length in seconds, from 0.1 to 3600, not 'x'"},
        RefusalCase{"TooLong", {"--animate", "3601", "-o", "a.webp"},
                    "--animate takes the loop's length in seconds, from 0.1 to 3600, not '3601'"},
        RefusalCase{"CommaDecimal", {"--animate", "2,5", "-o", "a.webp"},
                    "--animate takes the loop's length in seconds, from 0.1 to 3600, not '2,5'"},
        RefusalCase{"Fps", {"--animate", "2", "--fps", "0", "-o", "a.webp"},
                    "--fps takes a whole number from 1 to 120, not '0'"},
        RefusalCase{"Keyframes", {"--animate", "2", "--keyframes", "1", "-o", "a.webp"},
                    "--keyframes takes a whole number from 2 to 64, not '1'"},
        RefusalCase{"Quality", {"--animate", "2", "--quality", "101", "-o", "a.webp"},
                    "--quality takes a whole number from 0 to 100, not '101'"},
        RefusalCase{"WithoutAnimate", {"--fps", "20", "-o", "a.png"},
                    "--fps, --keyframes, --morph, --quality, --lossless and --shared-palette only apply with "
                    "--animate"},
        RefusalCase{"StillExtension", {"--animate", "2", "-o", "a.bmp"},
                    "-o a.bmp: with --animate the name ends in .webp .gif .webm, or .png with {n} for a frame "
                    "sequence"},
        RefusalCase{"PngWithoutNumber", {"--animate", "2", "-o", "a.png"},
                    "-o a.png: with --animate the name ends in .webp .gif .webm, or .png with {n} for a frame "
                    "sequence"},
        RefusalCase{"Count", {"--animate", "2", "--generate", "--count", "3", "-o", "a{n}.webp"},
                    "--animate makes one loop, not --count 3"},
        RefusalCase{"Supersample", {"--animate", "2", "--supersample", "2", "-o", "a.webp"},
                    "--animate renders continuous frames; --supersample does not apply"},
        // --animate with --set-wallpaper is the living wallpaper: the desktop repeats the tile.
        RefusalCase{"LivingFill", {"--animate", "2", "--set-wallpaper", "--fill", "1920x1080"},
                    "a living wallpaper repeats the tile itself: --fill does not apply with --set-wallpaper"},
        RefusalCase{"PeriodShort", {"--animate", "2", "--set-wallpaper", "--period", "5m"},
                    "--period takes slow living's pace from 10m to 1d (30m, 2h, 1h30m), not '5m'"},
        RefusalCase{"PeriodLong", {"--animate", "2", "--set-wallpaper", "--period", "2d"},
                    "--period takes slow living's pace from 10m to 1d (30m, 2h, 1h30m), not '2d'"},
        RefusalCase{"PeriodWithoutLiving", {"--animate", "2", "--period", "1h", "-o", "a.webp"},
                    "--period only applies with --animate and --set-wallpaper"},
        RefusalCase{"LivingWhat", {"--living", "on"}, "--living takes off or status, not 'on'"},
        RefusalCase{"LivingOffAlone", {"--living", "off", "--preset", "ocean"}, "--living off takes no other options"},
        RefusalCase{"LivingTwice", {"--living", "off", "--living", "status"}, "--living is given more than once"},
        RefusalCase{"MorphAndKeyframes", {"--animate", "2", "--morph", "b.wpp", "--keyframes", "3", "-o", "a.gif"},
                    "give either --keyframes or --morph documents, not both"},
        RefusalCase{"KeyframeNames", {"--animate", "2", "--save-wpp", "k.wpp", "-o", "a.gif"},
                    "--save-wpp k.wpp: with --animate the keyframes are saved, so the name needs {n}"},
        RefusalCase{"GifFps", {"--animate", "2", "--fps", "60", "-o", "a.gif"},
                    "a GIF shows at most 50 frames a second, not --fps 60"},
        RefusalCase{"OneFrame", {"--animate", "0.10", "--fps", "10", "-o", "a.webm"},
                    "--animate 0.10 at --fps 10: a loop has from 2 to 100000 frames, not 1"},
        // Each option once, in either form; values echoed short and filtered.
        RefusalCase{"AnimateTwice", {"--animate", "2", "--animate=3", "-o", "a.webm"},
                    "--animate is given more than once"},
        RefusalCase{"FpsTwice", {"--animate", "2", "--fps=4", "--fps", "5", "-o", "a.webm"},
                    "--fps is given more than once"},
        RefusalCase{"KeyframesTwice", {"--animate", "2", "--keyframes", "3", "--keyframes", "3", "-o", "a.webm"},
                    "--keyframes is given more than once"},
        RefusalCase{"QualityTwice", {"--animate", "2", "--quality=5", "--quality=6", "-o", "a.webm"},
                    "--quality is given more than once"},
        RefusalCase{"AttachedBadValue", {"--animate=2", "--quality=1\x1b[2J\n" + std::string(10000, '9'), "-o", "a.webm"},
                    "--quality takes a whole number from 0 to 100, not '1?[2J?9999999999999999999999999999999999...'"},
        RefusalCase{"FlagWithValue", {"--animate=2", "--lossless=1", "-o", "a.webp"}, "--lossless takes no value"},
        RefusalCase{"LosslessAndQuality", {"--animate", "2", "--lossless", "--quality", "50", "-o", "a.webp"},
                    "give either --lossless or --quality, not both"},
        RefusalCase{"SeedsPastTheLast", {"--animate", "2", "--seed", "4294967294", "--keyframes", "4", "-o", "a.webp"},
                    "--seed 4294967294 with --keyframes 4 runs past the last seed, 4294967295"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AnimateOptions, SeedAppliesWithoutGenerateAndDefaultsAreThirtyFramesTwoKeyframes)
{
    std::string error;
    const auto options =
        tools::ParseRenderArguments({"--animate", "1.5", "--seed", "9", "-o", "a.webm", "--shared-palette"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(*options->animate.seconds, 1.5);
    EXPECT_EQ(options->animate.Fps(), 30u);
    EXPECT_EQ(options->animate.Keyframes(), 2u);
    EXPECT_EQ(options->seed, 9u);
    const auto morph = tools::ParseRenderArguments({"--animate", "2", "--morph", "b.wpp", "--morph", "c.wpp",
                                                    "-o", "f-{n}.png"},
                                                   error);
    ASSERT_TRUE(morph) << error;
    EXPECT_EQ(morph->animate.Keyframes(), 3u);
    // Every animation option also takes its value after "=".
    const auto attached = tools::ParseRenderArguments({"--animate=1", "--fps=4", "--keyframes=5", "--quality=50",
                                                       "--seed", "4294967291", "-o", "a.webm"},
                                                      error);
    ASSERT_TRUE(attached) << error;
    EXPECT_EQ(*attached->animate.seconds, 1.0);
    EXPECT_EQ(attached->animate.Fps(), 4u);
    EXPECT_EQ(attached->animate.Keyframes(), 5u);
    EXPECT_EQ(attached->animate.quality, 50);
    const auto attachedMorph =
        tools::ParseRenderArguments({"--animate=1", "--morph=x.wpp", "--morph=y.wpp", "-o", "a.webp"}, error);
    ASSERT_TRUE(attachedMorph) << error;
    EXPECT_EQ(attachedMorph->animate.morph, (std::vector<std::string>{"x.wpp", "y.wpp"}));
}

class AnimateRunTest : public ::testing::Test {
protected:
    ToolResult Render(std::vector<std::string> args)
    {
        args.insert(args.begin(), {QUORREL_RENDER_TOOL, "--quiet"});
        return RunTool(args, m_folder.Path().string());
    }
    std::filesystem::path At(const std::string& name) const { return m_folder.Path() / name; }

    std::unique_ptr<model::CTileParams> Read(const std::string& name)
    {
        auto params = std::make_unique<model::CTileParams>();
        model::CFileError failure;
        EXPECT_TRUE(model::ReadWppFile(At(name).string(), *params, failure)) << failure.message;
        return params;
    }

    QImage Continuous(const model::CTileParams& params)
    {
        render::CRgbImage image(params.m_nWidth, params.m_nHeight);
        render::RenderTileContinuous(params, image, render::RenderSettings{});
        return QImage(image.Bytes().data(), int(image.Width()), int(image.Height()), int(image.Width() * 3),
                      QImage::Format_RGB888)
            .copy();
    }

    test::CTempFolder m_folder{"quorrel-animate"};
};

TEST_F(AnimateRunTest, KeyframeDocumentsRenderToTheFramesAtTheirTimes)
{
    // A document of its own: keyframe 1 is its tile, 2 and 3 generations.
    const ToolResult made = Render({"--preset", "ocean", "--generate", "--seed", "3", "--save-wpp", "doc.wpp"});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const ToolResult run = Render({"doc.wpp", "--animate", "1.2", "--fps", "10", "--keyframes", "3", "--seed", "40", "-o",
                                   "frame-{n}.png", "--save-wpp", "key-{n}.wpp"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto document = Read("doc.wpp");
    for (int k = 1; k <= 3; ++k) {
        const auto keyframe = Read("key-" + std::to_string(k) + ".wpp");
        auto expected = std::make_unique<model::CTileParams>(*document);
        if (k > 1)
            expected->GenerateRandom(40 + uint32_t(k) - 1);
        EXPECT_TRUE(model::SameParams(*keyframe, *expected)) << "keyframe " << k;
        // 12 frames, 3 keyframes: keyframe k at frame 4 (k - 1), file 4k - 3.
        const QImage frame(QString::fromStdString(At("frame-" + QString::number(4 * k - 3).rightJustified(2, u'0').toStdString() + ".png").string()));
        EXPECT_EQ(frame.convertToFormat(QImage::Format_RGB888), Continuous(*keyframe)) << "keyframe " << k;
    }
    EXPECT_TRUE(std::filesystem::exists(At("frame-12.png")));
    EXPECT_FALSE(std::filesystem::exists(At("frame-13.png")));
    EXPECT_EQ(run.out, "");   // the seed was given: nothing to tell
}

TEST_F(AnimateRunTest, MorphBetweenTwoDocumentsAndBack)
{
    ASSERT_EQ(Render({"--preset", "ocean", "--generate", "--seed", "1", "--save-wpp", "a.wpp"}).exitCode, 0);
    ASSERT_EQ(Render({"--preset", "ocean", "--generate", "--seed", "2", "--save-wpp", "b.wpp"}).exitCode, 0);
    const ToolResult run = Render({"a.wpp", "--morph", "b.wpp", "--animate", "1", "--fps", "8", "--fill", "300x200",
                                   "-o", "morph.gif"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const ToolResult identify = RunTool({"identify", "-format", "%w %h %T|", "morph.gif"}, m_folder.Path().string());
    ASSERT_EQ(identify.exitCode, 0) << identify.err;
    std::string expected;
    for (int f = 0; f < 8; ++f)
        expected += std::string("300 200 ") + (f % 2 ? "12" : "13") + "|";   // 12.5 cs a frame, rounded half up
    EXPECT_EQ(identify.out, expected);
}

TEST_F(AnimateRunTest, DocumentsThatCannotBeMorphedAreNamedWithWhatDiffers)
{
    ASSERT_EQ(Render({"--preset", "ocean", "--generate", "--seed", "1", "--save-wpp", "a.wpp"}).exitCode, 0);
    ASSERT_EQ(Render({"--generate", "--seed", "2", "--save-wpp", "b.wpp"}).exitCode, 0);
    {
        std::ofstream(At("old.webp")) << "old";
    }
    const ToolResult run = Render({"a.wpp", "--morph", "b.wpp", "--animate", "1", "-o", "old.webp"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.rfind("quorrel-render: b.wpp differs from a.wpp: ", 0), 0u) << run.err;
    EXPECT_EQ(run.ErrLines(), 1) << run.err;
    std::ifstream in(At("old.webp"));
    std::string content;
    in >> content;
    EXPECT_EQ(content, "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_folder.Path()), std::filesystem::directory_iterator()),
              3);
}

TEST_F(AnimateRunTest, ScaleRendersEveryFrameLarger)
{
    ASSERT_EQ(Render({"--generate", "--seed", "4", "--save-wpp", "a.wpp"}).exitCode, 0);
    const auto document = Read("a.wpp");
    const ToolResult run = Render({"a.wpp", "--animate", "0.3", "--fps", "10", "--scale", "3", "-o", "big.webp"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const ToolResult info = RunTool({"webpinfo", "big.webp"}, m_folder.Path().string());
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find("Canvas size " + std::to_string(3 * document->m_nWidth) + " x " +
                            std::to_string(3 * document->m_nHeight)),
              std::string::npos)
        << info.out;
}

TEST_F(AnimateRunTest, ASeedFromTheClockIsToldSoTheLoopCanBeMadeAgain)
{
    const ToolResult first = Render({"--preset", "ocean", "--generate", "--animate", "0.5", "--fps", "6", "--size",
                                     "40x30", "-o", "a.webp"});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    unsigned long seed = 0;
    ASSERT_EQ(std::sscanf(first.out.c_str(), "seed %lu", &seed), 1) << first.out;
    const ToolResult again = Render({"--preset", "ocean", "--generate", "--animate", "0.5", "--fps", "6", "--size",
                                     "40x30", "--seed", std::to_string(seed), "-o", "b.webp"});
    ASSERT_EQ(again.exitCode, 0) << again.err;
    auto bytes = [&](const char* name) {
        std::ifstream in(At(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_EQ(bytes("a.webp"), bytes("b.webp"));
    EXPECT_GT(bytes("a.webp").size(), 100u);
}

TEST_F(AnimateRunTest, ALoopTooLargeIsRefusedBeforeAnyFrameWithWhatIsTooLarge)
{
    // An hour of 8K frames: days of work, and far more than any disk holds.
    const ToolResult run =
        Render({"--preset", "ocean", "--animate", "3600", "--fps", "27", "--fill", "7680x4320", "-o", "big.webm"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              "quorrel-render: -o big.webm: 97200 frames of 7680 x 4320 are 14.4 times the 223 gigapixels a loop "
              "may have\n");
    EXPECT_TRUE(std::filesystem::is_empty(m_folder.Path()));
}

} // namespace
