// quorrel-render against hostile paths and failing disks: every failure is
// one line on stderr and exit status 1 (never an abort), found before the
// rendering where it can be, and leaves every existing file as it was.

#include "ToolProcess.h"

#include "model/TileParams.h"
#include "model/WppFile.h"
#include "support/Sanitizers.h"
#include "support/TempFolder.h"
#include "tools/render/RenderThreads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using quorrel::test::AsNobody;
using quorrel::test::RunTool;
using quorrel::test::ToolResult;
namespace fs = std::filesystem;

namespace {

const std::string kTool = QUORREL_RENDER_TOOL;

class HostileInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Others may enter, for the runs as another user.
        fs::permissions(m_dir, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    }

    ToolResult Run(std::vector<std::string> args, const std::vector<std::string>& prefix = {}, int timeoutSeconds = 120)
    {
        std::vector<std::string> argv = prefix;
        argv.push_back(kTool);
        argv.insert(argv.end(), args.begin(), args.end());
        return RunTool(argv, m_dir.string(), {}, timeoutSeconds);
    }
    // A run that would render for the better part of an hour unless it
    // stops before rendering; half a minute is far more than checking takes.
    ToolResult RunBeforeRendering(std::vector<std::string> args) { return Run(std::move(args), {}, 30); }

    std::string Path(const std::string& name) const { return (m_dir / name).string(); }
    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void Put(const std::string& name, const std::string& text) const
    {
        std::ofstream(m_dir / name, std::ios::binary) << text;
    }

    // Every file below the folder with its contents (links as their targets).
    std::map<std::string, std::string> Snapshot() const
    {
        std::map<std::string, std::string> files;
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(m_dir, fs::directory_options::skip_permission_denied, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            const auto relative = it->path().lexically_relative(m_dir).string();
            const fs::file_status status = fs::symlink_status(it->path(), ec);
            if (fs::is_symlink(status))
                files[relative] = "-> " + fs::read_symlink(it->path(), ec).string();
            else if (fs::is_regular_file(status))
                files[relative] = Read(it->path().string());
            else
                files[relative] = "(other)";
        }
        return files;
    }

    // A parameter set with 30 x 30 harmonics everywhere: rendering it at
    // 8192 x 8192 with the scalar renderer takes the better part of an hour.
    void WriteHeavyDocument(const std::string& name) const
    {
        auto params = std::make_unique<quorrel::model::CTileParams>();
        for (int c = 0; c < quorrel::model::kComponents; ++c) {
            params->m_nHorzHarm[c] = 30;
            params->m_nVertHarm[c] = 30;
        }
        params->GenerateRandom(5u);
        std::string error;
        ASSERT_TRUE(quorrel::model::WriteWppFile(Path(name), *params, error)) << error;
    }

    // One line "quorrel-render: <path>: <reason>", status 1, the path named once.
    static void ExpectOneLine(const ToolResult& run, const std::string& path, const std::string& reason)
    {
        EXPECT_EQ(run.exitCode, 1) << run.err;
        EXPECT_EQ(run.err, "quorrel-render: " + path + ": " + reason + "\n");
        // The path once, ahead of the reason (which may name another file).
        const std::string head = run.err.substr(0, run.err.size() - std::min(run.err.size(), reason.size() + 1));
        std::size_t count = 0;
        for (std::size_t at = head.find(path); at != std::string::npos; at = head.find(path, at + path.size()))
            ++count;
        EXPECT_EQ(count, 1u) << run.err;
    }

    quorrel::test::CTempFolder m_folder{"quorrel-hostile"};
    const fs::path m_dir = m_folder.Path();
};

} // namespace

TEST_F(HostileInput, PathsThatCannotBeCheckedEndInOneLineNotInAnAbort)
{
    const std::string longName(300, 'a');
    ASSERT_EQ(::symlink("loop-b.wpp", Path("loop-a.wpp").c_str()), 0);
    ASSERT_EQ(::symlink("loop-a.wpp", Path("loop-b.wpp").c_str()), 0);
    ASSERT_EQ(::symlink("ring-b.png", Path("ring-a.png").c_str()), 0);
    ASSERT_EQ(::symlink("ring-a.png", Path("ring-b.png").c_str()), 0);
    const auto before = Snapshot();

    ExpectOneLine(Run({longName + ".wpp", "-o", "out.png"}), longName + ".wpp", "File name too long");
    ExpectOneLine(Run({longName + "/in.wpp"}), longName + "/in.wpp", "File name too long");
    ExpectOneLine(Run({"-o", longName + ".png"}), longName + ".png", "File name too long");
    ExpectOneLine(Run({"--save-wpp", longName + "/x.wpp"}), longName + "/x.wpp", "File name too long");
    ExpectOneLine(Run({"loop-a.wpp", "-o", "out.png"}), "loop-a.wpp", "Too many levels of symbolic links");
    ExpectOneLine(Run({"-o", "ring-a.png"}), "ring-a.png", "Too many levels of symbolic links");
    ExpectOneLine(Run({"-o", "loop-a.wpp/out.png"}), "loop-a.wpp/out.png", "Too many levels of symbolic links");
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(HostileInput, AFolderTheUserCannotEnterIsOneLine)
{
    // Root enters every folder: the tool runs as "nobody" then.
    const std::vector<std::string> prefix = AsNobody();
    fs::create_directories(m_dir / "locked" / "inner");
    Put("locked/inner/in.wpp", "");
    fs::permissions(m_dir / "locked", fs::perms::none);
    ExpectOneLine(Run({"locked/inner/in.wpp", "-o", "out.png"}, prefix), "locked/inner/in.wpp", "Permission denied");
    ExpectOneLine(Run({"-o", "locked/inner/out.png"}, prefix), "locked/inner/out.png", "Permission denied");
    ExpectOneLine(Run({"--save-wpp", "locked/x.wpp"}, prefix), "locked/x.wpp", "Permission denied");
    // A folder one may enter but not write to.
    fs::permissions(m_dir / "locked",
                    fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read | fs::perms::others_exec);
    ExpectOneLine(Run({"-o", "locked/out.png"}, prefix), "locked/out.png", "Permission denied");
    EXPECT_FALSE(fs::exists(m_dir / "out.png"));
    EXPECT_FALSE(fs::exists(m_dir / "locked" / "out.png"));
}

TEST_F(HostileInput, AFailingDocumentOutputLeavesTheImageAsItWas)
{
    Put("keep.png", "x\n");
    Put("keep.wpp", "old document");
    const auto before = Snapshot();
    ExpectOneLine(Run({"--generate", "--seed", "1", "-o", "keep.png", "--save-wpp", "nodir/x.wpp"}), "nodir/x.wpp",
                  "No such file or directory");
    ExpectOneLine(Run({"--generate", "--seed", "1", "-o", "nodir/x.png", "--save-wpp", "keep.wpp"}), "nodir/x.png",
                  "No such file or directory");
    fs::create_directory(m_dir / "taken.wpp");
    ExpectOneLine(Run({"--generate", "-o", "keep.png", "--save-wpp", "taken.wpp"}), "taken.wpp", "Is a directory");
    fs::remove(m_dir / "taken.wpp");
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(HostileInput, OutputsAreReplacedOnlyWhenAllAreWhole)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to mount a tiny tmpfs";
    fs::create_directory(m_dir / "full");
    if (::mount("tmpfs", (m_dir / "full").c_str(), "tmpfs", 0, "size=16k") != 0)
        GTEST_SKIP() << "no right to mount a tmpfs here";
    struct Unmount {
        std::string folder;
        ~Unmount() { ::umount2(folder.c_str(), MNT_DETACH); }
    } unmount{(m_dir / "full").string()};
    Put("keep.png", "x\n");
    Put("full/keep.wpp", "old document");
    {
        std::ofstream filler(m_dir / "full" / "filler", std::ios::binary);
        const std::string block(1024, 'f');
        while (filler.write(block.data(), std::streamsize(block.size())) && filler.flush()) {
        }
    }
    const auto before = Snapshot();
    // The image is written whole; the document then meets the full disk:
    // neither replaces its file.
    ExpectOneLine(Run({"--generate", "--seed", "1", "-o", "keep.png", "--save-wpp", "full/keep.wpp"}), "full/keep.wpp",
                  "No space left on device");
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(HostileInput, TwoOutputsNamingOneFileAreRefusedBeforeRendering)
{
    WriteHeavyDocument("heavy.wpp");
    fs::create_directory(m_dir / "sub");
    Put("same.png", "old");
    ASSERT_EQ(::symlink("same.png", Path("link.png").c_str()), 0);
    ASSERT_EQ(::link(Path("same.png").c_str(), Path("hard.png").c_str()), 0);
    const auto before = Snapshot();
    const std::vector<std::string> slow = {"heavy.wpp", "--reference", "--size", "8192x8192"};
    const struct {
        std::string image, document;
    } cases[] = {
        {"same.png", "same.png"}, {"same.png", "./same.png"},    {"link.png", "same.png"},
        {"same.png", "hard.png"}, {"sub/../new.png", "new.png"}, {"new.png", Path("new.png")},
    };
    for (const auto& c : cases) {
        auto args = slow;
        args.insert(args.end(), {"-o", c.image, "--save-wpp", c.document});
        ExpectOneLine(RunBeforeRendering(args), c.document,
                      "the same file as " + c.image + " (-o); each output needs a file of its own");
        EXPECT_EQ(Snapshot(), before);
    }
}

TEST_F(HostileInput, OutputMistakesAreFoundBeforeRendering)
{
    // Each would take the better part of an hour to render; the mistake is
    // reported at once instead.
    WriteHeavyDocument("heavy.wpp");
    fs::create_directory(m_dir / "folder.png");
    const auto before = Snapshot();
    const std::vector<std::string> slow = {"heavy.wpp", "--reference", "--size", "8192x8192"};
    auto run = [&](std::vector<std::string> outputs) {
        auto args = slow;
        args.insert(args.end(), outputs.begin(), outputs.end());
        return RunBeforeRendering(args);
    };
    const std::string known = "(known: .bmp .dib .rle .jpg .jpeg .jpe .jfif .gif .tif .tiff .png)";
    ExpectOneLine(run({"-o", "out.xyz"}), "out.xyz", "unknown image extension \".xyz\" " + known);
    ExpectOneLine(run({"-o", "out"}), "out", "no image extension " + known);
    ExpectOneLine(run({"-o", "nodir/out.png"}), "nodir/out.png", "No such file or directory");
    ExpectOneLine(run({"--save-wpp", "nodir/out.wpp"}), "nodir/out.wpp", "No such file or directory");
    ExpectOneLine(run({"-o", "folder.png"}), "folder.png", "Is a directory");
    ExpectOneLine(run({"-o", "heavy.wpp/x.png"}), "heavy.wpp/x.png", "Not a directory");
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(HostileInput, WriteFailuresAreOneLineWithTheReasonInWords)
{
    // A file size limit makes every write past 64 KiB fail (the signal it
    // would send is ignored), for any user.
    const auto before = Snapshot();
    for (const char* name : {"big.png", "big.bmp", "big.tif", "big.jpg", "big.gif"}) {
        const ToolResult run = RunTool({"sh", "-c", "trap '' XFSZ; ulimit -f 64; exec \"$0\" \"$@\"", kTool,
                                        "--generate", "--seed", "2", "--size", "1000x1000", "--quiet", "-o", name},
                                       m_dir.string());
        ExpectOneLine(run, name, "File too large");
        EXPECT_EQ(run.err.find("libpng"), std::string::npos);
    }
    EXPECT_EQ(Snapshot(), before);

    // A folder as the input, or where an image should go: its path once.
    fs::create_directory(m_dir / "dir.png");
    ExpectOneLine(Run({Path("dir.png"), "-o", "x.png"}), Path("dir.png"), "Is a directory");
    ExpectOneLine(Run({"-o", "dir.png"}), "dir.png", "Is a directory");
}

TEST_F(HostileInput, NeverMoreThreadsThanProcessors)
{
    WriteHeavyDocument("heavy.wpp");
    const unsigned processors = quorrel::tools::UsableProcessors();
    std::size_t most = 0;
    const ToolResult run = RunTool(
        {kTool, "heavy.wpp", "--size", "1200x1200", "--threads", "256", "--quiet", "-o", "heavy.bmp"}, m_dir.string(),
        [&](pid_t pid) {
            std::error_code ec;
            const fs::path tasks = "/proc/" + std::to_string(pid) + "/task";
            std::size_t count = 0;
            for (auto it = fs::directory_iterator(tasks, ec); !ec && it != fs::directory_iterator(); it.increment(ec))
                ++count;
            most = std::max(most, count);
        });
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_GE(most, 1u); // it was seen running
    EXPECT_LE(most, std::size_t(processors) + 1)
        << "threads seen with --threads 256 on " << processors << " processors";

    EXPECT_EQ(quorrel::tools::ThreadsToUse(256, 2), 2u);
    EXPECT_EQ(quorrel::tools::ThreadsToUse(3, 8), 3u);
    EXPECT_EQ(quorrel::tools::ThreadsToUse(0, 8), 0u); // the renderer's own choice
    EXPECT_EQ(quorrel::tools::ThreadsToUse(4, 0), 1u);
    const ToolResult help = Run({"--help"});
    EXPECT_NE(help.out.find("never more than the processors"), std::string::npos) << help.out;
}

TEST_F(HostileInput, NamesThatAreNotUtf8AreReadAndWritten)
{
    const std::string document = "\xff\xfe-tile.wpp", image = "caf\xe9.png";
    ASSERT_EQ(Run({"--generate", "--seed", "4", "--save-wpp", document}).exitCode, 0);
    const ToolResult run = Run({document, "-o", image});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    ASSERT_TRUE(fs::is_regular_file(m_dir / image));
    EXPECT_GT(fs::file_size(m_dir / image), 100u);
    ExpectOneLine(Run({"\xff-missing.wpp"}), "\xff-missing.wpp", "Cannot find this file.");
}

TEST_F(HostileInput, AnOrdinaryUserReplacesFilesAndTheTemporaryAnEarlierRunLeft)
{
    // Linking the finished temporary in must work without root's rights too.
    const std::vector<std::string> prefix = AsNobody();
    fs::create_directory(m_dir / "own");
    Put("own/.tile.wpp.quorrel-tmp", "left by a run that died");
    Put("own/tile.png", "old image");
    ASSERT_EQ(::link(Path("own/tile.png").c_str(), Path("own/twin.png").c_str()), 0);
    if (!prefix.empty()) {
        for (const char* name : {"own", "own/.tile.wpp.quorrel-tmp", "own/tile.png"})
            ASSERT_EQ(::chown(Path(name).c_str(), 65534, 65534), 0) << name;
    }
    const ToolResult run =
        Run({"--generate", "--seed", "6", "-o", "own/tile.png", "--save-wpp", "own/tile.wpp"}, prefix);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const auto files = Snapshot();
    EXPECT_EQ(files.count("own/.tile.wpp.quorrel-tmp"), 0u);
    ASSERT_EQ(files.count("own/tile.wpp"), 1u);
    EXPECT_EQ(files.at("own/tile.wpp").size(), 1520u);
    EXPECT_EQ(files.at("own/twin.png"), files.at("own/tile.png"));
    EXPECT_NE(files.at("own/tile.png"), "old image");
}

TEST_F(HostileInput, DevicesAndPipesGetTheBytesWithoutBeingReplaced)
{
    // Always full: the one line says so, and the link stays a link.
    ASSERT_EQ(::symlink("/dev/full", Path("full.bmp").c_str()), 0);
    ExpectOneLine(Run({"-q", "-o", "full.bmp"}), "full.bmp", "No space left on device");
    EXPECT_TRUE(fs::is_symlink(m_dir / "full.bmp"));

    // A pipe gets the same bytes a file would.
    ASSERT_EQ(::mkfifo(Path("pipe.tif").c_str(), 0600), 0);
    std::string piped;
    std::thread reader([&] { piped = Read(Path("pipe.tif")); });
    const ToolResult run = Run({"--generate", "--seed", "8", "-q", "-o", "pipe.tif"});
    reader.join();
    EXPECT_EQ(run.exitCode, 0) << run.err;
    ASSERT_EQ(Run({"--generate", "--seed", "8", "-q", "-o", "file.tif"}).exitCode, 0);
    EXPECT_EQ(piped, Read(Path("file.tif")));
    EXPECT_GT(piped.size(), 125u * 125 * 3);
    struct stat st {};
    ASSERT_EQ(::lstat(Path("pipe.tif").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    // A disk is no output.
    std::error_code ec;
    bool disk = false;
    for (const auto& entry : fs::directory_iterator("/dev", ec)) {
        if (!entry.is_block_file(ec) || entry.is_symlink(ec))
            continue;
        ASSERT_EQ(::symlink(entry.path().c_str(), Path("disk.png").c_str()), 0);
        ExpectOneLine(Run({"-q", "-o", "disk.png"}), "disk.png", "not a regular file");
        disk = true;
        break;
    }
    EXPECT_TRUE(disk) << "no block device in /dev to point an output at";
}

namespace {

// A file the user may not replace: made by `owner` with `mode` in a folder
// with `folderMode`, named by `option`.
struct ProtectedCase {
    const char* label;
    const char* option; // "-o" or "--save-wpp"
    const char* name;
    mode_t mode;
    bool othersFile; // made by root, run as nobody
    mode_t folderMode;
    const char* reason;
};

void PrintTo(const ProtectedCase& c, std::ostream* os) { *os << c.label; }

class ProtectedFiles : public HostileInput, public ::testing::WithParamInterface<ProtectedCase> {};

} // namespace

TEST_P(ProtectedFiles, AreRefusedBeforeRenderingAndStayAsTheyWere)
{
    const ProtectedCase& c = GetParam();
    const std::vector<std::string> prefix = AsNobody();
    if (c.othersFile && prefix.empty())
        GTEST_SKIP() << "needs root to make a file of another user";
    fs::create_directory(m_dir / "shared");
    ASSERT_EQ(::chmod(Path("shared").c_str(), c.folderMode), 0);
    const std::string name = std::string("shared/") + c.name;
    Put(name, "old contents");
    ASSERT_EQ(::chmod(Path(name).c_str(), c.mode), 0);
    if (!prefix.empty() && !c.othersFile) {
        ASSERT_EQ(::chown(Path(name).c_str(), 65534, 65534), 0);
    }
    struct stat before {};
    ASSERT_EQ(::stat(Path(name).c_str(), &before), 0);
    const auto files = Snapshot();

    // A run that would take long to render: refused before it starts.
    WriteHeavyDocument("heavy.wpp");
    const ToolResult run = Run({"heavy.wpp", "--size", "8192x8192", c.option, name}, prefix, 30);
    ExpectOneLine(run, name, c.reason);
    auto after = Snapshot();
    after.erase("heavy.wpp");
    EXPECT_EQ(after, files); // nothing new beside it, not even a temporary
    struct stat now {};
    ASSERT_EQ(::stat(Path(name).c_str(), &now), 0);
    EXPECT_EQ(now.st_ino, before.st_ino);
    EXPECT_EQ(now.st_uid, before.st_uid);
    EXPECT_EQ(now.st_mode, before.st_mode);
}

INSTANTIATE_TEST_SUITE_P(
    HostileInput, ProtectedFiles,
    ::testing::Values(ProtectedCase{"ReadOnlyImage", "-o", "mine.png", 0444, false, 0755,
                                    "the file is read-only; it is not replaced"},
                      ProtectedCase{"OwnerOnlyReadableDocument", "--save-wpp", "mine.wpp", 0400, false, 0755,
                                    "the file is read-only; it is not replaced"},
                      ProtectedCase{"RootsReadOnlyFileInAWorldWritableFolder", "-o", "root.png", 0444, true, 0777,
                                    "the file belongs to another user; it is not replaced"},
                      ProtectedCase{"RootsWritableFileInAStickyFolder", "--save-wpp", "root.wpp", 0666, true, 01777,
                                    "the file belongs to another user; it is not replaced"},
                      ProtectedCase{"RootsSetUserIdFile", "-o", "root.bmp", 06777, true, 0777,
                                    "the file belongs to another user; it is not replaced"}),
    [](const ::testing::TestParamInfo<ProtectedCase>& info) { return std::string(info.param.label); });

namespace {

struct PipeCase {
    const char* label;
    std::vector<std::string> args; // "PIPE" stands for the pipe's name
    const char* pipe;
    const char* reason;
};

void PrintTo(const PipeCase& c, std::ostream* os) { *os << c.label; }

class PipesNobodyReads : public HostileInput, public ::testing::WithParamInterface<PipeCase> {};

} // namespace

TEST_P(PipesNobodyReads, AreRefusedInOneLineWithinAShortTime)
{
    const PipeCase& c = GetParam();
    ASSERT_EQ(::mkfifo(Path(c.pipe).c_str(), 0600), 0);
    const auto files = Snapshot();
    std::vector<std::string> args;
    for (const std::string& arg : c.args)
        args.push_back(arg == "PIPE" ? c.pipe : arg);
    const auto start = std::chrono::steady_clock::now();
    const ToolResult run = Run(args, {}, 30);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    ExpectOneLine(run, c.pipe, c.reason);
    EXPECT_EQ(Snapshot(), files);
}

INSTANTIATE_TEST_SUITE_P(
    HostileInput, PipesNobodyReads,
    ::testing::Values(
        PipeCase{"Input", {"PIPE", "-o", "out.png"}, "in.wpp", "not a regular file"},
        PipeCase{"Image", {"--generate", "-q", "-o", "PIPE"}, "out.png", "a pipe that nobody reads"},
        PipeCase{"Document", {"--generate", "-q", "--save-wpp", "PIPE"}, "out.wpp", "a pipe that nobody reads"}),
    [](const ::testing::TestParamInfo<PipeCase>& info) { return std::string(info.param.label); });

TEST_F(HostileInput, TemporaryNamesAnotherUserTookDoNotStopABatch)
{
    // In a shared sticky folder another user (root here) claims the names a
    // temporary of each output could have had; the user's batch still
    // replaces every one of its files, and leaves the other user's alone.
    const std::vector<std::string> prefix = AsNobody();
    if (prefix.empty())
        GTEST_SKIP() << "needs root to run as another user";
    fs::create_directory(m_dir / "sticky");
    ASSERT_EQ(::chmod(Path("sticky").c_str(), 01777), 0);
    for (int n = 1; n <= 3; ++n) {
        const std::string image = "sticky/b" + std::to_string(n) + ".png";
        Put(image, "old " + std::to_string(n));
        ASSERT_EQ(::chown(Path(image).c_str(), 65534, 65534), 0);
        Put("sticky/.b" + std::to_string(n) + ".png.quorrel-tmp", "theirs");
        Put("sticky/.b" + std::to_string(n) + ".png.quorrel-tmp-AAAAAAAAAAAA", "theirs");
    }
    const ToolResult run = Run({"--generate", "--count", "3", "--seed", "4", "-q", "-o", "sticky/b{n}.png"}, prefix);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const auto files = Snapshot();
    for (int n = 1; n <= 3; ++n) {
        const std::string image = "sticky/b" + std::to_string(n) + ".png";
        ASSERT_EQ(files.count(image), 1u);
        EXPECT_EQ(files.at(image).substr(1, 3), "PNG") << image;
        EXPECT_EQ(files.at("sticky/.b" + std::to_string(n) + ".png.quorrel-tmp"), "theirs");
    }
    EXPECT_EQ(files.size(), 1u + 3u * 3u); // the folder, the images and the names taken
}

TEST_F(HostileInput, AnImageThatCannotBeConvertedForLackOfMemoryKeepsTheOldFile)
{
    if (quorrel::test::kAddressSanitizer)
        GTEST_SKIP() << "AddressSanitizer reserves terabytes of address space for its shadow memory: "
                        "under ulimit -v the tool cannot even start";
    // The tile (6000 x 6000, 108 MB) fits under the limit; the 32-bit copy
    // the BMP writer needs (144 MB) does not.
    Put("pic.bmp", "old");
    const ToolResult run = Run({"--generate", "--seed", "2", "--size", "6000x6000", "-q", "-o", "pic.bmp"},
                               {"sh", "-c", "ulimit -v 300000 && exec \"$0\" \"$@\""}, 120);
    ExpectOneLine(run, "pic.bmp", "the image could not be encoded (not enough memory?)");
    EXPECT_EQ(Read(Path("pic.bmp")), "old");
    EXPECT_EQ(Snapshot().size(), 1u);
}
