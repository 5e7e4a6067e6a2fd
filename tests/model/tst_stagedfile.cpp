// Whole-or-nothing file writing: the old file's mode, owner and links
// survive a save, nothing is left behind by a process that dies half-way,
// hostile names end in one-line errors, and reading refuses pipes and
// devices without waiting on them.

#include "model/FileTarget.h"
#include "model/SafeFileWriter.h"
#include "model/StagedFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quorrel::model;
namespace fs = std::filesystem;

namespace {

std::span<const uint8_t> Bytes(const std::string& text)
{
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

class StagedFileTest : public ::testing::Test {
protected:

    std::string Path(const std::string& name) const { return (m_dir / name).string(); }

    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void Put(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    static struct stat Lstat(const std::string& path)
    {
        struct stat st {};
        EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
        return st;
    }
    // Every name in the folder, hidden ones included.
    std::vector<std::string> Names() const { return NamesIn(m_dir); }
    static std::vector<std::string> NamesIn(const fs::path& dir)
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    bool Save(const std::string& path, const std::string& text, CFileError& error)
    {
        return WriteFileAtomically(path, Bytes(text), error);
    }

    quorrel::test::CTempFolder m_folder{"quorrel-staged"};
    const fs::path m_dir = m_folder.Path();
};

// A small tmpfs mounted on a folder while it lives (root only).
class ScopedTmpfs final {
public:
    ScopedTmpfs(const std::string& folder, const char* options) : m_folder(folder)
    {
        m_mounted = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, options) == 0;
    }
    ~ScopedTmpfs()
    {
        if (m_mounted)
            ::umount2(m_folder.c_str(), MNT_DETACH);
    }
    bool IsMounted() const { return m_mounted; }

private:
    std::string m_folder;
    bool m_mounted = false;
};

// Fills a file system until a write fails for want of room.
void FillUp(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    const std::vector<char> block(4096, 'f');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    for (char c = 'f'; ::write(fd, &c, 1) == 1;) {
    }
    ::close(fd);
}

} // namespace

TEST_F(StagedFileTest, AFileKeepsItsModeAndOwner)
{
    const std::string secret = Path("secret.wpp");
    Put(secret, "old");
    ASSERT_EQ(::chmod(secret.c_str(), 0600), 0);
    CFileError error;
    ASSERT_TRUE(Save(secret, "new", error)) << error.message;
    EXPECT_EQ(Read(secret), "new");
    EXPECT_EQ(Lstat(secret).st_mode & 07777, 0600u);

    ASSERT_EQ(::chmod(secret.c_str(), 0640), 0);
    ASSERT_TRUE(Save(secret, "newer", error)) << error.message;
    EXPECT_EQ(Lstat(secret).st_mode & 07777, 0640u);

    // A new file gets what the umask allows.
    const mode_t mask = ::umask(022);
    ASSERT_TRUE(Save(Path("fresh.wpp"), "x", error)) << error.message;
    ::umask(mask);
    EXPECT_EQ(Lstat(Path("fresh.wpp")).st_mode & 07777, 0644u);

    // Never the set-user-ID and set-group-ID bits: a rewritten program is
    // not to run with anyone's rights.
    ASSERT_EQ(::chmod(secret.c_str(), 06755), 0);
    ASSERT_TRUE(Save(secret, "program", error)) << error.message;
    EXPECT_EQ(Lstat(secret).st_mode & 07777, 0755u);

    // Another user's file is not replaced, not even by root.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(secret.c_str(), 65534, 65534), 0);
        EXPECT_FALSE(Save(secret, "theirs", error));
        EXPECT_EQ(error.message, secret + ": the file belongs to another user; it is not replaced");
        EXPECT_EQ(Read(secret), "program");
        EXPECT_EQ(Lstat(secret).st_uid, 65534u);
    }
}

TEST_F(StagedFileTest, ALinkIsWrittenThroughAndStays)
{
    fs::create_directory(m_dir / "real");
    const std::string target = Path("real/doc.wpp");
    Put(target, "old");
    ASSERT_EQ(::symlink("real/doc.wpp", Path("relative.wpp").c_str()), 0);
    ASSERT_EQ(::symlink(target.c_str(), Path("absolute.wpp").c_str()), 0);
    ASSERT_EQ(::symlink("relative.wpp", Path("chain.wpp").c_str()), 0);

    CFileError error;
    for (const char* name : {"relative.wpp", "absolute.wpp", "chain.wpp"}) {
        SCOPED_TRACE(name);
        const std::string text = std::string("through ") + name;
        ASSERT_TRUE(Save(Path(name), text, error)) << error.message;
        EXPECT_TRUE(S_ISLNK(Lstat(Path(name)).st_mode));
        EXPECT_EQ(Read(target), text);
    }
    EXPECT_EQ(NamesIn(m_dir / "real"), std::vector<std::string>{"doc.wpp"});

    // A link to a file not there yet makes it, where the link points.
    ASSERT_EQ(::symlink("real/later.wpp", Path("dangling.wpp").c_str()), 0);
    ASSERT_TRUE(Save(Path("dangling.wpp"), "made", error)) << error.message;
    EXPECT_TRUE(S_ISLNK(Lstat(Path("dangling.wpp")).st_mode));
    EXPECT_EQ(Read(Path("real/later.wpp")), "made");
}

TEST_F(StagedFileTest, HardLinksKeepSharingTheFile)
{
    const std::string a = Path("a.wpp"), b = Path("b.wpp");
    Put(a, "old contents");
    ASSERT_EQ(::chmod(a.c_str(), 0600), 0);
    ASSERT_EQ(::link(a.c_str(), b.c_str()), 0);
    CFileError error;
    ASSERT_TRUE(Save(a, "new", error)) << error.message;
    EXPECT_EQ(Read(b), "new");
    EXPECT_EQ(Lstat(a).st_ino, Lstat(b).st_ino);
    EXPECT_EQ(Lstat(a).st_nlink, 2u);
    EXPECT_EQ(Lstat(a).st_mode & 07777, 0600u);
    ASSERT_TRUE(Save(b, std::string(100000, 'L'), error)) << error.message;
    EXPECT_EQ(Read(a), std::string(100000, 'L'));
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.wpp", "b.wpp"}));
}

TEST_F(StagedFileTest, ALinkAnotherUserLeftInASharedFolderIsNotFollowed)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give a link to another user";
    const fs::path shared = m_dir / "shared";
    fs::create_directory(shared);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    const std::string victim = Path("victim.txt");
    Put(victim, "precious");
    const std::string planted = (shared / "out.wpp").string();
    ASSERT_EQ(::symlink(victim.c_str(), planted.c_str()), 0);
    ASSERT_EQ(::lchown(planted.c_str(), 65534, 65534), 0);

    CFileError error;
    EXPECT_FALSE(Save(planted, "overwritten", error));
    EXPECT_EQ(error.message, planted + ": a link another user made in a shared folder; not followed");
    EXPECT_EQ(Read(victim), "precious");
    EXPECT_TRUE(S_ISLNK(Lstat(planted).st_mode));

    // The same link of one's own is followed.
    ASSERT_EQ(::lchown(planted.c_str(), 0, 0), 0);
    EXPECT_TRUE(Save(planted, "mine", error)) << error.message;
    EXPECT_EQ(Read(victim), "mine");
}

TEST_F(StagedFileTest, NothingIsLeftWhenTheProcessDiesBeforeTheRename)
{
    const std::string doc = Path("doc.wpp");
    Put(doc, "old");
    for (const auto kind : {CStagedFile::Temporary::Unnamed, CStagedFile::Temporary::Named}) {
        const bool unnamed = kind == CStagedFile::Temporary::Unnamed;
        SCOPED_TRACE(unnamed ? "unnamed temporary" : "named temporary");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            CFileError error;
            auto staged = CStagedFile::Create(doc, error, kind);
            if (!staged || !staged->Append(Bytes("half-written")))
                ::_exit(2);
            ::_exit(staged->Kind() == kind ? 0 : 3);   // dies without committing or cleaning up
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_EQ(WEXITSTATUS(status), 0) << "this file system has no unnamed temporaries";
        EXPECT_EQ(Read(doc), "old");
        if (unnamed) {
            EXPECT_EQ(Names(), std::vector<std::string>{"doc.wpp"});
        } else {
            // A recognisable start with twelve random letters, private to
            // this user, removed by the next save to the same file.
            const std::vector<std::string> names = Names();
            ASSERT_EQ(names.size(), 2u);
            EXPECT_EQ(names[0].rfind(".doc.wpp.quorrel-tmp-", 0), 0u) << names[0];
            EXPECT_EQ(names[0].size(), std::string(".doc.wpp.quorrel-tmp-").size() + 12);
            EXPECT_EQ(Lstat(Path(names[0])).st_mode & 0777, 0600u);
            CFileError error;
            ASSERT_TRUE(Save(doc, "saved", error)) << error.message;
            EXPECT_EQ(Names(), std::vector<std::string>{"doc.wpp"});
            EXPECT_EQ(Read(doc), "saved");
            // Also where only named temporaries can be had.
            Put(Path(".doc.wpp.quorrel-tmp"), "left behind");
            auto staged = CStagedFile::Create(doc, error, kind);
            ASSERT_TRUE(staged) << error.message;
            ASSERT_TRUE(staged->Append(Bytes("named")));
            ASSERT_TRUE(staged->Commit(error)) << error.message;
            EXPECT_EQ(Names(), std::vector<std::string>{"doc.wpp"});
            EXPECT_EQ(Read(doc), "named");
        }
    }
}

TEST_F(StagedFileTest, NothingShowsUntilCommitAndADiscardLeavesNoTrace)
{
    const std::string doc = Path("doc.wpp");
    Put(doc, "old");
    for (const auto kind : {CStagedFile::Temporary::Unnamed, CStagedFile::Temporary::Named}) {
        CFileError error;
        auto staged = CStagedFile::Create(doc, error, kind);
        ASSERT_TRUE(staged) << error.message;
        ASSERT_TRUE(staged->Append(Bytes("new")));
        EXPECT_EQ(Read(doc), "old");
        staged->Discard();
        EXPECT_EQ(Names(), std::vector<std::string>{"doc.wpp"});
        EXPECT_EQ(Read(doc), "old");
    }
    // A long name still gets a temporary of its own.
    const std::string longName(250, 'n');
    CFileError error;
    auto staged = CStagedFile::Create(Path(longName), error, CStagedFile::Temporary::Named);
    ASSERT_TRUE(staged) << error.message;
    EXPECT_LE(staged->TemporaryName().size(), 255u);
    ASSERT_TRUE(staged->Append(Bytes("long")));
    ASSERT_TRUE(staged->Commit(error)) << error.message;
    EXPECT_EQ(Read(Path(longName)), "long");
}

TEST_F(StagedFileTest, HostileNamesFailWithOneLineAndChangeNothing)
{
    Put(Path("plain"), "p");
    fs::create_directory(m_dir / "folder");
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("loop-b", Path("loop-a").c_str()), 0);
    ASSERT_EQ(::symlink("loop-a", Path("loop-b").c_str()), 0);
    const std::vector<std::string> before = Names();
    const struct {
        std::string path;
        std::string reason;
    } cases[] = {
        {Path("missing/doc.wpp"), "No such file or directory"},
        {Path("plain/doc.wpp"), "Not a directory"},
        {Path("folder"), "Is a directory"},
        {Path("folder/"), "Is a directory"},
        {Path("fifo"), "not a regular file"},
        {Path("loop-a"), "Too many levels of symbolic links"},
        {Path(std::string(300, 'x')), "File name too long"},
        {Path(std::string(300, 'x') + "/doc.wpp"), "File name too long"},
        {"", "No such file or directory"},
    };
    for (const auto& c : cases) {
        CFileError error;
        EXPECT_FALSE(Save(c.path, "x", error)) << c.path;
        EXPECT_EQ(error.message, c.path + ": " + c.reason);
    }
    EXPECT_EQ(Names(), before);
    EXPECT_EQ(Read(Path("plain")), "p");
}

TEST_F(StagedFileTest, AFullDiskReportsItAndKeepsTheOldFile)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to mount a tiny tmpfs";
    const fs::path tiny = m_dir / "tiny";
    fs::create_directory(tiny);
    ScopedTmpfs mount(tiny.string(), "size=64k");
    if (!mount.IsMounted())
        GTEST_SKIP() << "no right to mount a tmpfs here";
    const std::string doc = (tiny / "doc.wpp").string(), twin = (tiny / "twin.wpp").string();
    Put(doc, "old");
    FillUp((tiny / "filler").string());

    CFileError error;
    EXPECT_FALSE(Save(doc, std::string(20000, 'n'), error));
    EXPECT_EQ(error.code, ENOSPC);
    EXPECT_TRUE(IsDiskFull(error));
    EXPECT_EQ(error.message, doc + ": No space left on device");
    EXPECT_EQ(Read(doc), "old");
    EXPECT_EQ(NamesIn(tiny), (std::vector<std::string>{"doc.wpp", "filler"}));

    // Hard-linked, rewritten in place: room for the new bytes in the
    // temporary but not a second time in the file itself. The room is looked
    // for first, so nothing of the old file changes.
    ASSERT_EQ(::link(doc.c_str(), twin.c_str()), 0);
    const std::string filler = (tiny / "filler").string();
    ASSERT_EQ(::truncate(filler.c_str(), off_t(fs::file_size(filler)) - 32768), 0);
    EXPECT_FALSE(Save(doc, std::string(20000, 'n'), error));
    EXPECT_TRUE(IsDiskFull(error)) << error.message;
    EXPECT_EQ(Read(twin), "old");
    EXPECT_EQ(NamesIn(tiny), (std::vector<std::string>{"doc.wpp", "filler", "twin.wpp"}));
}

TEST_F(StagedFileTest, ReadingRegularFilesOnlyNeverWaitsOnAPipe)
{
    const std::string fifo = Path("fifo.wpp");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Should the reader block on the pipe, a writer comes after two seconds
    // to let it go, and the test fails instead of hanging.
    std::atomic<bool> done{false}, rescued{false};
    std::thread rescuer([&] {
        for (int i = 0; i < 200 && !done; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!done) {
            rescued = true;
            const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        }
    });
    std::vector<uint8_t> bytes;
    CFileError error;
    EXPECT_FALSE(ReadFileStart(fifo, 100, bytes, error, FileKinds::RegularOnly));
    done = true;
    rescuer.join();
    EXPECT_FALSE(rescued) << "the reader waited on the pipe";
    EXPECT_EQ(error.message, fifo + ": not a regular file");

    for (const char* device : {"/dev/zero", "/dev/null"}) {
        EXPECT_FALSE(ReadFileStart(device, 100, bytes, error, FileKinds::RegularOnly)) << device;
        EXPECT_EQ(error.message, std::string(device) + ": not a regular file");
    }
    EXPECT_FALSE(ReadFileStart(m_dir.string(), 100, bytes, error, FileKinds::RegularOnly));
    EXPECT_EQ(error.code, EISDIR);
    EXPECT_FALSE(ReadFileStart(Path("missing.wpp"), 100, bytes, error, FileKinds::RegularOnly));
    EXPECT_EQ(error.code, ENOENT);

    // A regular file reads up to the limit; a device only when asked for.
    Put(Path("doc.wpp"), std::string(300000, 'd'));
    ASSERT_TRUE(ReadFileStart(Path("doc.wpp"), 200000, bytes, error, FileKinds::RegularOnly)) << error.message;
    EXPECT_EQ(bytes.size(), 200000u);
    ASSERT_TRUE(ReadFileStart("/dev/zero", 100, bytes, error, FileKinds::Any)) << error.message;
    EXPECT_EQ(bytes, std::vector<uint8_t>(100, 0));
}

TEST(FileTarget, NamesOfOneFileAreTheSame)
{
    char pattern[] = "/tmp/quorrel-target-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const fs::path dir = pattern;
    std::ofstream(dir / "a.png") << "a";
    fs::create_directory(dir / "sub");
    ASSERT_EQ(::symlink("a.png", (dir / "link.png").c_str()), 0);
    ASSERT_EQ(::link((dir / "a.png").c_str(), (dir / "hard.png").c_str()), 0);
    auto resolve = [](const fs::path& path) {
        CFileTarget target;
        CFileError error;
        EXPECT_TRUE(ResolveFileTarget(path.string(), target, error)) << error.message;
        return target;
    };
    const CFileTarget a = resolve(dir / "a.png");
    EXPECT_TRUE(a.exists);
    for (const char* same : {"./a.png", "sub/../a.png", "link.png", "hard.png", "sub/./../link.png"})
        EXPECT_TRUE(IsSameFile(a, resolve(dir / same))) << same;
    EXPECT_FALSE(IsSameFile(a, resolve(dir / "b.png")));

    // Names of files not there yet: the same folder and name.
    const CFileTarget fresh = resolve(dir / "new.wpp");
    EXPECT_FALSE(fresh.exists);
    EXPECT_TRUE(IsSameFile(fresh, resolve(dir / "sub" / ".." / "new.wpp")));
    EXPECT_FALSE(IsSameFile(fresh, resolve(dir / "sub" / "new.wpp")));
    fs::remove_all(dir);
}

namespace {

struct PrivacyCase {
    const char* label;
    CStagedFile::Temporary kind;
    mode_t umask;
    int oldMode;   // -1: a new file
    bool hardLinked;
    mode_t finalMode;
};

void PrintTo(const PrivacyCase& c, std::ostream* os) { *os << c.label; }

class TemporaryPrivacy : public StagedFileTest, public ::testing::WithParamInterface<PrivacyCase> {};

} // namespace

TEST_P(TemporaryPrivacy, NobodyElseCanReadATemporaryAndTheFileGetsItsModeAtTheEnd)
{
    const PrivacyCase& c = GetParam();
    const std::string doc = Path("doc.png");
    if (c.oldMode >= 0) {
        Put(doc, "old");
        ASSERT_EQ(::chmod(doc.c_str(), mode_t(c.oldMode)), 0);
        if (c.hardLinked) {
            ASSERT_EQ(::link(doc.c_str(), Path("twin.png").c_str()), 0);
        }
    }
    const mode_t saved = ::umask(c.umask);
    CFileError error;
    auto staged = CStagedFile::Create(doc, error, c.kind);
    ASSERT_TRUE(staged) << error.message;
    struct stat temporary {};
    ASSERT_EQ(::fstat(staged->Descriptor(), &temporary), 0);
    EXPECT_EQ(temporary.st_mode & 07777, 0600u) << "readable by others before a byte is written";
    ASSERT_TRUE(staged->Append(Bytes("private image")));
    ASSERT_TRUE(staged->Commit(error)) << error.message;
    ::umask(saved);
    EXPECT_EQ(Read(doc), "private image");
    EXPECT_EQ(Lstat(doc).st_mode & 07777, c.finalMode);
    if (c.hardLinked) {
        EXPECT_EQ(Read(Path("twin.png")), "private image");
    }
    EXPECT_EQ(Names().size(), c.hardLinked ? 2u : 1u);   // no temporary left
}

INSTANTIATE_TEST_SUITE_P(
    StagedFileTest, TemporaryPrivacy,
    ::testing::Values(
        PrivacyCase{"NewFileUnnamed", CStagedFile::Temporary::Unnamed, 022, -1, false, 0644},
        PrivacyCase{"NewFileNamedUmaskZero", CStagedFile::Temporary::Named, 0, -1, false, 0666},
        PrivacyCase{"PrivateFileNamed", CStagedFile::Temporary::Named, 022, 0600, false, 0600},
        PrivacyCase{"PrivateHardLinkedFile", CStagedFile::Temporary::Unnamed, 0, 0600, true, 0600},
        PrivacyCase{"PrivateHardLinkedFileNamed", CStagedFile::Temporary::Named, 0, 0600, true, 0600},
        PrivacyCase{"SetIdBitsDropped", CStagedFile::Temporary::Named, 022, 06750, false, 0750}),
    [](const ::testing::TestParamInfo<PrivacyCase>& info) { return std::string(info.param.label); });

TEST_F(StagedFileTest, EveryCheckOfTheLastStepComesBeforeTheFirstReplacement)
{
    // Two files of one run, both staged; the second becomes read-only
    // meanwhile. Preparing both first finds that while the first is still
    // untouched, and the first's temporary already has its name.
    const std::string first = Path("a.png");
    const std::string second = Path("b.png");
    Put(first, "old a");
    Put(second, "old b");
    CFileError error;
    auto a = CStagedFile::Create(first, error);
    auto b = CStagedFile::Create(second, error);
    ASSERT_TRUE(a && b) << error.message;
    ASSERT_TRUE(a->Append(Bytes("new a")));
    ASSERT_TRUE(b->Append(Bytes("new b")));
    ASSERT_EQ(::chmod(second.c_str(), 0444), 0);
    ASSERT_TRUE(a->Prepare(error)) << error.message;
    EXPECT_FALSE(a->TemporaryName().empty());
    EXPECT_FALSE(b->Prepare(error));
    EXPECT_EQ(error.message, second + ": the file is read-only; it is not replaced");
    a->Discard();
    EXPECT_EQ(Read(first), "old a");
    EXPECT_EQ(Read(second), "old b");
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.png", "b.png"}));
}

TEST_F(StagedFileTest, APipeNobodyReadsIsRefusedAfterAShortWait)
{
    const std::string fifo = Path("pipe.png");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    CFileError error;
    EXPECT_FALSE(CStagedFile::Create(fifo, error, CStagedFile::Temporary::Unnamed, SpecialFiles::Accept));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(error.message, fifo + ": a pipe that nobody reads");

    // One with a reader gets the bytes.
    std::string got;
    std::thread reader([&] { got = Read(fifo); });
    auto staged = CStagedFile::Create(fifo, error, CStagedFile::Temporary::Unnamed, SpecialFiles::Accept);
    ASSERT_TRUE(staged) << error.message;
    ASSERT_TRUE(staged->Append(Bytes("piped")));
    EXPECT_TRUE(staged->Commit(error)) << error.message;
    reader.join();
    EXPECT_EQ(got, "piped");
}

TEST_F(StagedFileTest, EveryLinkOnTheWayToAPipeIsChecked)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give a link to another user";
    // One's own link leads into a shared sticky folder, where another
    // user's link leads on to a pipe: not followed, at the second hop too.
    const fs::path shared = m_dir / "shared";
    fs::create_directory(shared);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
    const std::string planted = (shared / "hop").string();
    ASSERT_EQ(::symlink(Path("pipe").c_str(), planted.c_str()), 0);
    ASSERT_EQ(::lchown(planted.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::symlink(planted.c_str(), Path("out.png").c_str()), 0);
    CFileError error;
    EXPECT_FALSE(CStagedFile::Create(Path("out.png"), error, CStagedFile::Temporary::Unnamed, SpecialFiles::Accept));
    EXPECT_EQ(error.message, Path("out.png") + ": a link another user made in a shared folder; not followed");
}
