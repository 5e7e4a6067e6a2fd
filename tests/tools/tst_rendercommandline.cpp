// quorrel-render's options: --size, --threads and --reference parsed with
// their limits, and the tool run end to end at a size of its own.

#include "model/TileParams.h"
#include "model/WppFile.h"
#include "tools/render/CommandLine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

using quorrel::tools::ParseRenderArguments;

namespace {

std::optional<quorrel::tools::RenderOptions> Parse(std::vector<std::string> args, std::string& error)
{
    return ParseRenderArguments(args, error);
}

std::vector<char> ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(RenderCommandLine, SizeThreadsAndReference)
{
    std::string error;
    auto options = Parse({"--size", "3840x2160", "--threads", "3", "--reference"}, error);
    ASSERT_TRUE(options) << error;
    ASSERT_TRUE(options->size);
    EXPECT_EQ(options->size->first, 3840u);
    EXPECT_EQ(options->size->second, 2160u);
    EXPECT_EQ(options->threads, 3u);
    EXPECT_TRUE(options->reference);

    options = Parse({"--size", "1X1"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(*options->size, std::make_pair(1u, 1u));
    options = Parse({"--size", "8192x8192"}, error);
    ASSERT_TRUE(options) << error;

    options = Parse({}, error);
    ASSERT_TRUE(options);
    EXPECT_FALSE(options->size);
    EXPECT_FALSE(options->reference);
    EXPECT_EQ(options->threads, 0u);
}

TEST(RenderCommandLine, RefusesSizesOutsideTheLimits)
{
    for (const char* bad : {"0x10", "10x0", "8193x10", "10x8193", "10", "x10", "10x", "-5x5", "5x5x5", "ax5", ""}) {
        std::string error;
        EXPECT_FALSE(Parse({"--size", bad}, error)) << bad;
        EXPECT_NE(error.find("--size"), std::string::npos) << bad;
    }
    std::string error;
    EXPECT_FALSE(Parse({"--size"}, error));
    EXPECT_EQ(error, "--size needs a value");
}

// The tool at a size of its own: the fast renderer on three threads and the
// scalar one write the same file, and the document keeps its own size.
TEST(RenderCommandLine, RendersAtTheRequestedSizeLikeTheReference)
{
    const auto dir = std::filesystem::temp_directory_path() / ("quorrel-render-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string tool = QUORREL_RENDER_TOOL;
    auto run = [&](const std::string& args) {
        const std::string command = "\"" + tool + "\" --generate --seed 9 --quiet " + args;
        return std::system(command.c_str());
    };
    const auto fast = dir / "fast.bmp", reference = dir / "reference.bmp", wpp = dir / "tile.wpp";
    ASSERT_EQ(run("--size 1500x7 --threads 3 -o \"" + fast.string() + "\" --save-wpp \"" + wpp.string() + "\""), 0);
    ASSERT_EQ(run("--size 1500x7 --reference -o \"" + reference.string() + "\""), 0);
    const auto fastBytes = ReadFile(fast);
    ASSERT_GT(fastBytes.size(), 1500u * 7 * 3);
    EXPECT_EQ(fastBytes, ReadFile(reference));
    // BMP header: width and height at offsets 18 and 22.
    auto le32 = [&](std::size_t at) {
        return uint32_t(uint8_t(fastBytes[at])) | uint32_t(uint8_t(fastBytes[at + 1])) << 8 |
               uint32_t(uint8_t(fastBytes[at + 2])) << 16 | uint32_t(uint8_t(fastBytes[at + 3])) << 24;
    };
    EXPECT_EQ(le32(18), 1500u);
    EXPECT_EQ(le32(22), 7u);
    // The document keeps the set's own size.
    auto params = std::make_unique<quorrel::model::CTileParams>();
    std::string error;
    ASSERT_TRUE(quorrel::model::ReadWppFile(wpp.string(), *params, error)) << error;
    EXPECT_EQ(params->m_nWidth, 125u);
    EXPECT_EQ(params->m_nHeight, 125u);
    std::filesystem::remove_all(dir);
}
