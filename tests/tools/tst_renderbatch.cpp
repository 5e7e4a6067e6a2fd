// quorrel-render beyond the tile: --fill (the tile repeated to a screen's
// size), --count (batches whose k-th image is the single run of seed
// S + k - 1), --supersample (smooth renderings), --preset, and a run that
// has nothing to write, all driven from outside as scripts use the tool.

#include "RenderToolFixture.h"
#include "ToolProcess.h"

#include "model/Presets.h"
#include "model/TileParams.h"
#include "model/WppFile.h"
#include "output/RgbImageView.h"
#include "platform/presets/PresetLibrary.h"
#include "render/TileRenderer.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace quorrel;
using quorrel::test::RunTool;
using quorrel::test::ToolResult;
using quorrel::test::RenderBatch;
using quorrel::test::ExpectTileRepeated;
namespace fs = std::filesystem;

namespace {

QImage Rendered(const model::CTileParams& params)
{
    render::CRgbImage rgb(params.m_nWidth, params.m_nHeight);
    render::RenderTile(params, rgb);
    return output::ImageView(rgb).convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST_F(RenderBatch, FillRepeatsTheTileFromTheCornerPixelForPixel)
{
    Ok({"--generate", "--seed", "7", "-o", "tile.png"});
    const QImage tile = Image("tile.png");
    ASSERT_EQ(tile.size(), QSize(125, 125));
    // Not multiples of 125, exact multiples, smaller than the tile.
    Ok({"--generate", "--seed", "7", "--fill", "301x257", "-o", "odd.png", "--save-wpp", "odd.wpp"});
    Ok({"--generate", "--seed", "7", "--fill", "250x375", "-o", "even.bmp"});
    Ok({"--generate", "--seed", "7", "--fill", "40x9", "-o", "small.tif"});
    ExpectTileRepeated(Image("odd.png"), tile, {301, 257});
    ExpectTileRepeated(Image("even.bmp"), tile, {250, 375});
    ExpectTileRepeated(Image("small.tif"), tile, {40, 9});
    // The document keeps the set's own size.
    auto params = std::make_unique<model::CTileParams>();
    std::string error;
    ASSERT_TRUE(model::ReadWppFile(Path("odd.wpp").toStdString(), *params, error)) << error;
    EXPECT_EQ(params->m_nWidth, 125u);

    // The tile at --size is the one repeated.
    Ok({"--generate", "--seed", "7", "--size", "48x30", "-o", "sized.png"});
    Ok({"--generate", "--seed", "7", "--size", "48x30", "--fill", "100x70", "-o", "sized-fill.png"});
    ExpectTileRepeated(Image("sized-fill.png"), Image("sized.png"), {100, 70});
}

TEST_F(RenderBatch, TheKthImageOfABatchIsTheSingleRunOfSeedSPlusKMinusOne)
{
    Ok({"--generate", "--count", "3", "--seed", "40", "-o", "b-{n}.png", "--save-wpp", "b-{seed}.wpp"});
    EXPECT_EQ(Files(), (std::vector<std::string>{"b-1.png", "b-2.png", "b-3.png", "b-40.wpp", "b-41.wpp",
                                                 "b-42.wpp"}));
    for (int k = 1; k <= 3; ++k) {
        SCOPED_TRACE(k);
        const std::string seed = std::to_string(40 + k - 1);
        Ok({"--generate", "--seed", seed, "-o", "single.png", "--save-wpp", "single.wpp"});
        EXPECT_EQ(Image("b-" + std::to_string(k) + ".png"), Image("single.png"));
        EXPECT_EQ(Bytes("b-" + seed + ".wpp"), Bytes("single.wpp"));
        EXPECT_EQ(Bytes("single.wpp").size(), 1520);
    }
    EXPECT_NE(Image("b-1.png"), Image("b-2.png"));

    // {n} is padded to the width of the count.
    Ok({"--generate", "--count", "10", "--seed", "1", "--size", "8x8", "-o", "p{n}.bmp"});
    EXPECT_TRUE(fs::exists(m_dir / "p01.bmp"));
    EXPECT_TRUE(fs::exists(m_dir / "p10.bmp"));
    EXPECT_FALSE(fs::exists(m_dir / "p1.bmp"));
}

TEST_F(RenderBatch, ClockSeedsAreDifferentPrintedAndRemakeTheirTiles)
{
    const ToolResult run = Run({"--generate", "--count", "3", "-o", "c-{seed}.png"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QRegularExpression line(QStringLiteral("^(\\d)/3: seed (\\d+)$"), QRegularExpression::MultilineOption);
    std::vector<std::string> seeds;
    for (auto match = line.globalMatch(QString::fromStdString(run.out)); match.hasNext();) {
        const auto found = match.next();
        EXPECT_EQ(found.captured(1).toInt(), int(seeds.size()) + 1);
        seeds.push_back(found.captured(2).toStdString());
    }
    ASSERT_EQ(seeds.size(), 3u) << run.out;
    EXPECT_NE(seeds[0], seeds[1]);
    EXPECT_NE(seeds[1], seeds[2]);
    EXPECT_NE(seeds[0], seeds[2]);
    Ok({"--generate", "--seed", seeds[1], "-o", "again.png"});
    EXPECT_EQ(Image("c-" + seeds[1] + ".png"), Image("again.png"));

    // With --seed nothing is printed: the seeds are known.
    const ToolResult seeded = Run({"--generate", "--count", "2", "--seed", "5", "-o", "s{n}.png"});
    EXPECT_EQ(seeded.exitCode, 0);
    EXPECT_EQ(seeded.out, "");
}

// A batch is planned whole: a name that cannot be written stops it before
// any image is made, and nothing of it is written.
TEST_F(RenderBatch, ABatchWithOneUnwritableNameWritesNothing)
{
    fs::create_directory(m_dir / "b-2.png");
    const ToolResult run = Run({"--generate", "--count", "3", "--seed", "1", "-o", "b-{n}.png"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.ErrLines(), 1) << run.err;
    EXPECT_NE(run.err.find("b-2.png"), std::string::npos) << run.err;
    EXPECT_EQ(Files(), std::vector<std::string>{"b-2.png"});
    // Two images naming one file are refused too.
    const ToolResult same = Run({"--generate", "--count", "12", "--seed", "1", "-o", "x-{seed}.png", "--save-wpp",
                                 "x-1{n}.wpp"});
    EXPECT_EQ(same.exitCode, 0) << same.err;   // "x-11.wpp" and "x-111.wpp" differ: fine
    const ToolResult clash = Run({"--generate", "--count", "12", "--seed", "1", "-o", "y-{n}.png", "--save-wpp",
                                  "y-{n}.png"});
    EXPECT_EQ(clash.exitCode, 1);
    EXPECT_FALSE(fs::exists(m_dir / "y-01.png"));
}

TEST_F(RenderBatch, SupersampleOneIsTodayAndTwoIsTheMeanOfTheDoubleSizeBlocks)
{
    Ok({"--generate", "--seed", "12", "-o", "exact.bmp"});
    Ok({"--generate", "--seed", "12", "--supersample", "1", "-o", "one.bmp"});
    EXPECT_EQ(Bytes("one.bmp"), Bytes("exact.bmp"));

    Ok({"--generate", "--seed", "12", "--supersample", "2", "-o", "smooth.bmp"});
    Ok({"--generate", "--seed", "12", "--size", "250x250", "-o", "double.bmp"});
    const QImage smooth = Image("smooth.bmp");
    const QImage large = Image("double.bmp");
    const QImage exact = Image("exact.bmp");
    ASSERT_EQ(smooth.size(), QSize(125, 125));
    int changed = 0;
    for (int y = 0; y < 125; ++y) {
        for (int x = 0; x < 125; ++x) {
            const QRgb block[4] = {large.pixel(2 * x, 2 * y), large.pixel(2 * x + 1, 2 * y),
                                   large.pixel(2 * x, 2 * y + 1), large.pixel(2 * x + 1, 2 * y + 1)};
            auto mean = [&](int (*channel)(QRgb)) {
                return int(std::lround((channel(block[0]) + channel(block[1]) + channel(block[2]) + channel(block[3])) /
                                       4.0));
            };
            const QRgb got = smooth.pixel(x, y);
            ASSERT_EQ(qRed(got), mean(qRed)) << x << "," << y;
            ASSERT_EQ(qGreen(got), mean(qGreen)) << x << "," << y;
            ASSERT_EQ(qBlue(got), mean(qBlue)) << x << "," << y;
            changed += got != exact.pixel(x, y) ? 1 : 0;
        }
    }
    EXPECT_GT(changed, 0);
    // The scalar renderer gives the same smooth pixels; --fill repeats them.
    Ok({"--generate", "--seed", "12", "--supersample", "2", "--reference", "-o", "reference.bmp"});
    EXPECT_EQ(Bytes("reference.bmp"), Bytes("smooth.bmp"));
    Ok({"--generate", "--seed", "12", "--supersample", "2", "--fill", "260x130", "-o", "smooth-fill.png"});
    ExpectTileRepeated(Image("smooth-fill.png"), smooth, {260, 130});
}

TEST_F(RenderBatch, PresetsRenderTheirOwnTileOrANewOneOfTheirSettings)
{
    const ToolResult list = Run({"--list-presets"});
    EXPECT_EQ(list.exitCode, 0);
    for (const model::PresetInfo& preset : model::Presets()) {
        EXPECT_NE(list.out.find(std::string(preset.id)), std::string::npos) << preset.id;
        EXPECT_NE(list.out.find(std::string(preset.name)), std::string::npos) << preset.name;
    }
    EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), long(model::Presets().size()));

    auto ocean = std::make_unique<model::CTileParams>();
    std::string error;
    ASSERT_TRUE(presets::LoadPreset("ocean", *ocean, error)) << error;
    Ok({"--preset", "Ocean", "-o", "ocean.png", "--save-wpp", "ocean.wpp"});
    EXPECT_EQ(Image("ocean.png"), Rendered(*ocean));
    const auto saved = model::SaveWpp(*ocean);
    EXPECT_EQ(Bytes("ocean.wpp"), QByteArray(reinterpret_cast<const char*>(saved.data()), qsizetype(saved.size())));

    Ok({"--preset", "ocean", "--generate", "--seed", "5", "-o", "ocean-5.png"});
    ocean->GenerateRandom(5);
    EXPECT_EQ(Image("ocean-5.png"), Rendered(*ocean));
    EXPECT_EQ(Image("ocean-5.png").size(), QSize(160, 160));   // the preset's own size
}

TEST_F(RenderBatch, ARunWithNothingToWriteFails)
{
    Ok({"--generate", "--seed", "1", "--save-wpp", "in.wpp"});
    const std::vector<std::vector<std::string>> cases = {
        {}, {"--generate"}, {"--generate", "--seed", "3", "--count", "2"}, {"in.wpp", "--fill", "100x100"},
        {"--preset", "neon", "--supersample", "2"},
    };
    for (const auto& args : cases) {
        const ToolResult run = Run(args);
        EXPECT_EQ(run.exitCode, 1) << args.size();
        EXPECT_EQ(run.err, "quorrel-render: nothing to write: give -o FILE, --save-wpp FILE or --set-wallpaper "
                           "(see --help)\n");
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(Files(), std::vector<std::string>{"in.wpp"});
    for (const char* only : {"--help", "--version", "--list-presets"}) {
        const ToolResult run = Run({only});
        EXPECT_EQ(run.exitCode, 0) << only;
        EXPECT_FALSE(run.out.empty()) << only;
    }
    EXPECT_EQ(Run({"--version"}).out.rfind("quorrel-render ", 0), 0u);
    const std::string help = Run({"--help"}).out;
    for (const char* option : {"--fill WxH", "--count N", "{n}", "{seed}", "--supersample N", "--set-wallpaper",
                               "--preset NAME", "--list-presets", "--version"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}

namespace {

// A session of its own: folders in the test's folder, the desktop told by
// `session` (variables), helpers looked for in `bin` first.
std::vector<std::string> Session(const fs::path& dir, const std::vector<std::string>& session)
{
    std::vector<std::string> prefix{"env", "-i", "PATH=" + (dir / "bin").string() + ":/usr/bin:/bin",
                                    "HOME=" + (dir / "home").string(), "XDG_DATA_HOME=" + (dir / "data").string(),
                                    "XDG_CONFIG_HOME=" + (dir / "config").string()};
    // A sanitized build keeps its settings; the session bus library keeps an
    // allocation of its own until the end (not the tool's leak).
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
        if (const char* value = std::getenv(name))
            prefix.push_back(std::string(name) + "=" + value);
    }
    const char* lsan = std::getenv("LSAN_OPTIONS");
    prefix.push_back(std::string("LSAN_OPTIONS=") + (lsan ? std::string(lsan) + ":" : std::string()) +
                     "print_suppressions=0:suppressions=" + QUORREL_LSAN_SUPPRESSIONS);
    prefix.insert(prefix.end(), session.begin(), session.end());
    prefix.push_back(QUORREL_RENDER_TOOL);
    prefix.push_back("--quiet");
    return prefix;
}

// A fake feh that keeps its arguments and a copy of the file it was given.
void FakeFeh(const fs::path& dir, int exitCode)
{
    fs::create_directories(dir / "bin");
    const fs::path script = dir / "bin" / "feh";
    std::ofstream(script) << "#!/bin/sh\necho \"$@\" >\"" << (dir / "feh-args").string() << "\"\ncp \"$2\" \""
                          << (dir / "feh-file.bmp").string() << "\"\nexit " << exitCode << "\n";
    fs::permissions(script, fs::perms::owner_all);
}

} // namespace

// --set-wallpaper goes through the editor's setters: on a plain X11 session
// feh tiles the editor's wallpaper file, which holds the filled image.
TEST_F(RenderBatch, SetWallpaperHandsTheFilledImageToTheDesktopsSetter)
{
    FakeFeh(m_dir, 0);
    std::vector<std::string> argv = Session(m_dir, {"XDG_SESSION_TYPE=x11", "DISPLAY=:99"});
    for (const char* arg : {"--generate", "--seed", "7", "--fill", "300x200", "--set-wallpaper", "-o", "fill.png"})
        argv.push_back(arg);
    const ToolResult run = RunTool(argv, m_dir.string());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const fs::path wallpaper = m_dir / "data" / "Quorrel" / "Quorrel Wallpaper.bmp";
    std::ifstream args(m_dir / "feh-args");
    std::string line;
    std::getline(args, line);
    EXPECT_EQ(line, "--bg-tile " + wallpaper.string());
    const QImage given = Image("feh-file.bmp");
    EXPECT_EQ(given.size(), QSize(300, 200));
    EXPECT_EQ(given, Image("fill.png"));
    Ok({"--generate", "--seed", "7", "-o", "tile.png"});
    ExpectTileRepeated(given, Image("tile.png"), {300, 200});

    // Without --fill the tile itself.
    argv = Session(m_dir, {"XDG_SESSION_TYPE=x11", "DISPLAY=:99"});
    for (const char* arg : {"--preset", "neon", "--set-wallpaper"})
        argv.push_back(arg);
    ASSERT_EQ(RunTool(argv, m_dir.string()).exitCode, 0);
    EXPECT_EQ(Image("feh-file.bmp").size(), QSize(125, 125));
}

TEST_F(RenderBatch, SetWallpaperFailuresAreOneLine)
{
    // No desktop: found before anything is rendered or written.
    std::vector<std::string> argv = Session(m_dir, {});
    for (const char* arg : {"--generate", "--set-wallpaper", "-o", "tile.png"})
        argv.push_back(arg);
    ToolResult run = RunTool(argv, m_dir.string());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "quorrel-render: --set-wallpaper: no desktop was recognised (no graphical session, no known "
                       "XDG_CURRENT_DESKTOP)\n");
    EXPECT_FALSE(fs::exists(m_dir / "tile.png"));

    // A desktop that cannot tile needs the screen's size.
    argv = Session(m_dir, {"XDG_SESSION_TYPE=wayland", "XDG_CURRENT_DESKTOP=COSMIC"});
    for (const char* arg : {"--generate", "--set-wallpaper", "-o", "tile.png"})
        argv.push_back(arg);
    run = RunTool(argv, m_dir.string());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("give --fill WIDTHxHEIGHT with the screen's size"), std::string::npos) << run.err;
    EXPECT_EQ(run.ErrLines(), 1);
    EXPECT_FALSE(fs::exists(m_dir / "tile.png"));

    // The helper fails: the image files are written, the failure is told.
    FakeFeh(m_dir, 3);
    argv = Session(m_dir, {"XDG_SESSION_TYPE=x11", "DISPLAY=:99"});
    for (const char* arg : {"--generate", "--set-wallpaper", "-o", "tile.png"})
        argv.push_back(arg);
    run = RunTool(argv, m_dir.string());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.ErrLines(), 1) << run.err;
    EXPECT_EQ(run.err.rfind("quorrel-render: the wallpaper could not be set on a plain X11 session: ", 0), 0u)
        << run.err;
    EXPECT_NE(run.err.find("feh --bg-tile"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::exists(m_dir / "tile.png"));
}

// On a wlroots compositor the wallpaper is a swaybg of ours that ends with
// the program that started it: the tool would end it as it exits, right
// after reporting success. Refused before anything is rendered or started.
TEST_F(RenderBatch, SetWallpaperIsRefusedWhereTheWallpaperWouldEndWithTheTool)
{
    fs::create_directories(m_dir / "bin");
    const fs::path swaybg = m_dir / "bin" / "swaybg";
    std::ofstream(swaybg) << "#!/bin/sh\ntouch \"" << (m_dir / "swaybg-started").string() << "\"\nexec sleep 30\n";
    fs::permissions(swaybg, fs::perms::owner_all);
    std::vector<std::string> argv =
        Session(m_dir, {"XDG_SESSION_TYPE=wayland", "XDG_CURRENT_DESKTOP=Hyprland", "WAYLAND_DISPLAY=wayland-77"});
    for (const char* arg : {"--generate", "--fill", "300x200", "--set-wallpaper", "-o", "fill.png"})
        argv.push_back(arg);
    const ToolResult run = RunTool(argv, m_dir.string());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.ErrLines(), 1) << run.err;
    EXPECT_EQ(run.err.rfind("quorrel-render: --set-wallpaper: on this desktop (a wlroots compositor) ", 0), 0u)
        << run.err;
    EXPECT_FALSE(fs::exists(m_dir / "swaybg-started"));
    EXPECT_FALSE(fs::exists(m_dir / "fill.png"));
}
