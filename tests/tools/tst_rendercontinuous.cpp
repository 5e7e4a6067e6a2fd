// quorrel-render --continuous and --scale through the real tool: each run's
// image against the continuous renderer's scalar definition (or the exact
// scalar renderer) computed here at the size the options give, with every
// option that shapes the image, and the refusals of sizes out of range.

#include "RenderToolFixture.h"

#include "model/Presets.h"
#include "model/TileParams.h"
#include "model/WppFile.h"
#include "output/RgbImageView.h"
#include "platform/presets/PresetLibrary.h"
#include "render/ReferenceRenderer.h"
#include "render/continuous/ContinuousRenderer.h"
#include "render/continuous/TileLook.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace quorrel;
using quorrel::test::ExpectTileRepeated;
using quorrel::test::RenderBatch;

namespace {

QImage ContinuousReference(const model::CTileParams& params, uint32_t width, uint32_t height)
{
    render::CRgbImage rgb(width, height);
    render::RenderTileContinuousReference(params, render::RealCoefficients::FromParams(params), rgb, width, height);
    return output::ImageView(rgb).convertToFormat(QImage::Format_RGB32);
}

QImage ExactReference(const model::CTileParams& params, uint32_t width, uint32_t height)
{
    auto sized = std::make_unique<model::CTileParams>(params);
    sized->m_nWidth = width;
    sized->m_nHeight = height;
    render::CRgbImage rgb(width, height);
    render::RenderTileReference(*sized, rgb);
    return output::ImageView(rgb).convertToFormat(QImage::Format_RGB32);
}

struct ScaleCase {
    const char* name;
    std::vector<std::string> options;   // after --generate --seed 21
    bool continuous;
    uint32_t width, height;   // of the image the scalar renderer makes
};

void PrintTo(const ScaleCase& c, std::ostream* out) { *out << c.name; }

class ContinuousTool : public RenderBatch, public testing::WithParamInterface<ScaleCase> {};
class ContinuousRun : public RenderBatch {};

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Options, ContinuousTool,
    testing::Values(ScaleCase{"Continuous", {"--continuous"}, true, 125, 125},
                    ScaleCase{"ContinuousScale3", {"--continuous", "--scale", "3"}, true, 375, 375},
                    ScaleCase{"ContinuousSize", {"--continuous", "--size", "200x90"}, true, 200, 90},
                    ScaleCase{"ContinuousSizeTimesScale", {"--continuous", "--size", "70x40", "--scale", "2"}, true,
                              140, 80},
                    ScaleCase{"ContinuousOneThread", {"--continuous", "--scale", "2", "--threads", "1"}, true, 250,
                              250},
                    ScaleCase{"ContinuousScalarDefinition", {"--continuous", "--scale", "2", "--reference"}, true,
                              250, 250},
                    ScaleCase{"ExactScale2", {"--scale", "2"}, false, 250, 250},
                    ScaleCase{"ExactScale1IsTheTile", {"--scale", "1"}, false, 125, 125}),
    [](const testing::TestParamInfo<ScaleCase>& info) { return std::string(info.param.name); });

TEST_P(ContinuousTool, ImageIsTheSeriesAtTheSizeTheOptionsGive)
{
    const ScaleCase& c = GetParam();
    std::vector<std::string> args = {"--generate", "--seed", "21", "-o", "out.png", "--save-wpp", "out.wpp"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    Ok(args);
    auto params = std::make_unique<model::CTileParams>();
    std::string error;
    ASSERT_TRUE(model::ReadWppFile(Path("out.wpp").toStdString(), *params, error)) << error;
    // The document keeps its own size whatever the rendering.
    EXPECT_EQ(params->m_nWidth, 125u);
    EXPECT_EQ(params->m_nHeight, 125u);
    const QImage expected = c.continuous ? ContinuousReference(*params, c.width, c.height)
                                         : ExactReference(*params, c.width, c.height);
    EXPECT_TRUE(Image("out.png") == expected);
}

// The continuous tile differs from the exact one (the grain is gone), a
// smooth rendering averages continuous samples, and --fill repeats the
// scaled tile from the corner, seamless because the series is periodic
// over the enlarged tile too.
TEST_F(ContinuousRun, ContinuousScaledTileFillsSmoothsAndDiffersFromTheExactOne)
{
    Ok({"--generate", "--seed", "4", "-o", "exact.png"});
    Ok({"--generate", "--seed", "4", "--continuous", "-o", "continuous.png"});
    EXPECT_FALSE(Image("exact.png") == Image("continuous.png"));

    Ok({"--generate", "--seed", "4", "--continuous", "--scale", "2", "-o", "tile.png"});
    Ok({"--generate", "--seed", "4", "--continuous", "--scale", "2", "--fill", "601x333", "-o", "fill.png"});
    ExpectTileRepeated(Image("fill.png"), Image("tile.png"), {601, 333});
    // One period of the series across the enlarged tile: at twice its size
    // the image passes through every pixel of the tile at even positions.
    Ok({"--generate", "--seed", "4", "--continuous", "--scale", "4", "-o", "double.png"});
    const QImage tile = Image("tile.png");
    const QImage doubled = Image("double.png");
    ASSERT_EQ(doubled.size(), QSize(500, 500));
    for (int y = 0; y < 250; y += 7)
        for (int x = 0; x < 250; x += 5)
            ASSERT_EQ(doubled.pixel(2 * x, 2 * y), tile.pixel(x, y)) << x << "," << y;

    Ok({"--generate", "--seed", "4", "--continuous", "--supersample", "2", "-o", "smooth.png"});
    Ok({"--generate", "--seed", "4", "--continuous", "--supersample", "2", "--reference", "-o", "smooth-ref.png"});
    EXPECT_EQ(Bytes("smooth.png"), Bytes("smooth-ref.png"));
    EXPECT_EQ(Image("smooth.png").size(), QSize(125, 125));

    // A batch renders each of its tiles continuously.
    Ok({"--generate", "--seed", "30", "--count", "2", "--continuous", "-o", "b{n}.png", "--save-wpp", "b{n}.wpp"});
    for (const char* n : {"1", "2"}) {
        auto params = std::make_unique<model::CTileParams>();
        std::string error;
        ASSERT_TRUE(model::ReadWppFile(Path(std::string("b") + n + ".wpp").toStdString(), *params, error));
        EXPECT_TRUE(Image(std::string("b") + n + ".png") == ContinuousReference(*params, 125, 125)) << n;
    }
}

TEST_F(ContinuousRun, PresetsRenderContinuouslyAtTheirPreferredScale)
{
    int preferred = 0;
    const std::string list = Run({"--list-presets"}).out;
    for (const model::PresetInfo& preset : model::Presets()) {
        ASSERT_GE(preset.scale, 1u);
        ASSERT_LE(preset.scale, render::kMaxScale);
        const std::string id(preset.id);
        const std::string line = list.substr(list.find(id), list.find('\n', list.find(id)) - list.find(id));
        if (preset.scale == 1) {
            EXPECT_EQ(line.find("--scale"), std::string::npos) << line;
            continue;
        }
        ++preferred;
        EXPECT_NE(line.find("--scale " + std::to_string(preset.scale)), std::string::npos) << line;
        auto params = std::make_unique<model::CTileParams>();
        std::string error;
        ASSERT_TRUE(presets::LoadPreset(preset, *params, error)) << error;
        Ok({"--preset", id, "--continuous", "-o", id + ".png"});
        EXPECT_TRUE(Image(id + ".png") == ContinuousReference(*params, params->m_nWidth * preset.scale,
                                                             params->m_nHeight * preset.scale))
            << id;
        // An explicit scale wins; the exact renderer keeps the own size.
        Ok({"--preset", id, "--continuous", "--scale", "1", "-o", id + "-1.png"});
        EXPECT_EQ(Image(id + "-1.png").size(), QSize(int(params->m_nWidth), int(params->m_nHeight)));
        Ok({"--preset", id, "-o", id + "-exact.png"});
        EXPECT_EQ(Image(id + "-exact.png").size(), QSize(int(params->m_nWidth), int(params->m_nHeight)));
    }
    EXPECT_GT(preferred, 0);
}

TEST_F(ContinuousRun, ScalesOutOfRangeAreRefused)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--scale", "0"}, "--scale takes a whole number from 1 to 8, not '0'"},
        {{"--scale", "9"}, "--scale takes a whole number from 1 to 8, not '9'"},
        {{"--scale", "2x"}, "--scale takes a whole number from 1 to 8, not '2x'"},
        {{"--scale"}, "--scale needs a value"},
        {{"--size", "5000x10", "--scale", "2"}, "--size 5000x10 at --scale 2 is larger than 8192 pixels a side"},
    };
    for (const auto& [options, message] : cases) {
        std::vector<std::string> args = {"--continuous", "-o", "x.png"};
        args.insert(args.end(), options.begin(), options.end());
        const auto run = Run(args);
        EXPECT_EQ(run.exitCode, 1) << message;
        EXPECT_EQ(run.err, "quorrel-render: " + message + "\n");
    }
    EXPECT_TRUE(Files().empty());
}
