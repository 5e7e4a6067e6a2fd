// quorrel-render's options: --size, --threads and --reference parsed with
// their limits, and the tool run end to end at a size of its own; --kernel
// and --version.

#include "model/TileParams.h"
#include "model/WppFile.h"
#include "render/FastKernel.h"
#include "tools/render/CommandLine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <sys/wait.h>
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

TEST(RenderCommandLine, KernelAndVersionOptions)
{
    std::string error;
    auto options = Parse({"--kernel", "i32x4", "--version"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->kernel, "i32x4");
    EXPECT_TRUE(options->version);
    options = Parse({}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_FALSE(options->kernel);
    EXPECT_FALSE(options->version);
    EXPECT_FALSE(Parse({"--kernel"}, error));
    EXPECT_EQ(error, "--kernel needs a value");
}

namespace {

struct Captured {
    int status = -1;
    std::string output;   // stdout and stderr
};

// Runs the tool through the shell with `prefix` (variable settings) before it.
Captured RunTool(const std::string& prefix, const std::string& args)
{
    const std::string command = prefix + " \"" + std::string(QUORREL_RENDER_TOOL) + "\" " + args + " 2>&1";
    Captured captured;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return captured;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe))
        captured.output += buffer;
    const int status = ::pclose(pipe);
    captured.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return captured;
}

} // namespace

// --version names the kernel, where it comes from and the instruction set;
// --kernel and QUORREL_KERNEL choose it, and a name the tool cannot use
// stops it with one line and no output file.
TEST(RenderCommandLine, KernelIsNamedAndChosenByOptionOrVariable)
{
    Captured run = RunTool("env -u QUORREL_KERNEL", "--version");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output.find("quorrel-render "), 0u) << run.output;
    EXPECT_NE(run.output.find("\nkernel "), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("(fastest measured), instruction set "), std::string::npos) << run.output;

    run = RunTool("env -u QUORREL_KERNEL", "--version --kernel f64x4");
    EXPECT_NE(run.output.find("\nkernel f64x4 (as asked), instruction set "), std::string::npos) << run.output;
    run = RunTool("", "--help");
    EXPECT_NE(run.output.find("--kernel NAME"), std::string::npos);
    EXPECT_NE(run.output.find("QUORREL_KERNEL"), std::string::npos);
    EXPECT_NE(run.output.find("--version"), std::string::npos);
    run = RunTool("QUORREL_KERNEL=f64x4", "--version");
    EXPECT_NE(run.output.find("\nkernel f64x4 (from QUORREL_KERNEL), instruction set "), std::string::npos)
        << run.output;

    const auto dir = std::filesystem::temp_directory_path() / ("quorrel-kernel-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto out = dir / "out.bmp";
    const std::string known = " (known: f64x4, f64x8, i32x4, i32x8, i64x4, i64x8)\n";
    run = RunTool("env -u QUORREL_KERNEL", "--kernel fastest -o \"" + out.string() + "\"");
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(run.output, "quorrel-render: unknown kernel 'fastest'" + known);
    run = RunTool("QUORREL_KERNEL=i64", "--quiet -o \"" + out.string() + "\"");
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(run.output, "quorrel-render: QUORREL_KERNEL: unknown kernel 'i64'" + known);
    EXPECT_FALSE(std::filesystem::exists(out));

    // Every variant this processor has writes the same file. The option
    // reaches the renderer: were it left to the process's choice, that
    // would read the bad variable and say so on stderr.
    std::vector<char> first;
    for (quorrel::render::KernelVariant variant : quorrel::render::AvailableKernelVariants()) {
        const std::string name = quorrel::render::KernelVariantName(variant);
        const auto file = dir / (name + ".bmp");
        run = RunTool("QUORREL_KERNEL=bogus", "--generate --seed 11 --quiet --kernel " + name + " -o \"" +
                                                  file.string() + "\"");
        ASSERT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(run.output, "");
        const auto bytes = ReadFile(file);
        ASSERT_GT(bytes.size(), 125u * 125 * 3) << name;
        if (first.empty())
            first = bytes;
        EXPECT_EQ(bytes, first) << name;
    }
    std::filesystem::remove_all(dir);
}
