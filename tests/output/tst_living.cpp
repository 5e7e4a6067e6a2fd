// The living wallpaper's files read as hostile (the state file, the
// player's frames file), its folder's safety, and the order of a slow-
// living start with stand-in helpers: the state is on disk before the first
// setting changes, and off puts back exactly what was read.

#include "support/FakeProcessRunner.h"
#include "support/TempFolder.h"

#include "output/living/DesktopLiving.h"
#include "output/living/FramesFile.h"
#include "output/living/LivingFolder.h"
#include "output/living/LivingState.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace quorrel;
using namespace quorrel::output;
using namespace quorrel::output::living;

namespace {

// ---- the state file ----

struct StateCase {
    const char* name;
    const char* text;
    const char* error;   // nullptr: read
};

class StateFileTest : public ::testing::TestWithParam<StateCase> {};

TEST_P(StateFileTest, ReadsOnlyWhatItWrote)
{
    QString error;
    const auto state = ReadLivingState(QByteArray(GetParam().text), error);
    if (!GetParam().error) {
        ASSERT_TRUE(state) << error.toStdString();
        return;
    }
    EXPECT_FALSE(state);
    EXPECT_TRUE(error.contains(QLatin1String(GetParam().error))) << error.toStdString();
}

const char* const kGood = "version=1\nway=x11-player\ndesktop=x11\nsession=x11\nsize=128x128\nframes=20\nfps=10\n";

INSTANTIATE_TEST_SUITE_P(
    Hostile, StateFileTest,
    ::testing::Values(
        StateCase{"good", kGood, nullptr},
        StateCase{"slides", "version=1\nway=xfce-cycle\nfile=slides/slide-001.png\nfile=loop.frames\n", nullptr},
        StateCase{"noVersion", "way=x11-player\n", "missing"},
        StateCase{"noWay", "version=1\n", "missing"},
        StateCase{"laterVersion", "version=2\nway=x11-player\n", "version"},
        StateCase{"unknownWay", "version=1\nway=wallpaper-engine\n", "unknown way"},
        StateCase{"unknownKey", "version=1\nway=x11-player\nexec=/bin/sh\n", "unknown key"},
        StateCase{"noEquals", "version=1\nway=x11-player\nfile\n", "key=value"},
        StateCase{"absoluteFile", "version=1\nway=x11-player\nfile=/home/someone/.bashrc\n", "plain name"},
        StateCase{"escapedSlash", "version=1\nway=x11-player\nfile=..%2F..%2F.bashrc\n", "plain name"},
        StateCase{"dotDot", "version=1\nway=x11-player\nfile=..\n", "plain name"},
        StateCase{"slidesUp", "version=1\nway=x11-player\nfile=slides/../../x\n", "plain name"},
        StateCase{"hugeSize", "version=1\nway=x11-player\nsize=99999x2\n", "size"},
        StateCase{"negativeFps", "version=1\nway=x11-player\nfps=-3\n", "frame rate"},
        StateCase{"longPeriod", "version=1\nway=slide-show-xml\nperiod=999999\n", "period"},
        StateCase{"autostartMaybe", "version=1\nway=x11-player\nautostart=maybe\n", "autostart"},
        StateCase{"previousNoValue", "version=1\nway=slide-show-xml\nprevious=picture-uri\n", "previous"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LivingStateTest, WritesWhatItReadsBack)
{
    CLivingState state;
    state.way = EWay::SlideShowXml;
    state.desktop = EDesktop::Mate;
    state.session = ESession::X11;
    state.desktopName = QStringLiteral("MATE");
    state.width = 256;
    state.height = 128;
    state.frames = 24;
    state.periodSeconds = 3600;
    state.source = QStringLiteral("a document = with % odd\nnames");
    state.since = QDateTime::fromString(QStringLiteral("2026-01-02T03:04:05Z"), Qt::ISODate);
    state.files = {QStringLiteral("slow-living.xml"), QStringLiteral("slides/slide-001.png")};
    state.previous = {{QStringLiteral("picture-filename"), QStringLiteral("'/a=b/c d.png'")},
                      {QStringLiteral("picture-options"), QStringLiteral("default")}};
    QString error;
    const auto read = ReadLivingState(WriteLivingState(state), error);
    ASSERT_TRUE(read) << error.toStdString();
    EXPECT_EQ(read->way, state.way);
    EXPECT_EQ(read->desktop, state.desktop);
    EXPECT_EQ(read->source, state.source);
    EXPECT_EQ(read->since, state.since);
    EXPECT_EQ(read->files, state.files);
    EXPECT_EQ(read->previous, state.previous);
    EXPECT_EQ(read->periodSeconds, 3600);
}

// The state file is opened as hostile: a link, a pipe nobody writes and an
// oversized file are refused at once.
TEST(LivingStateTest, StateFileIsReadOnlyWhenRegularAndSmall)
{
    test::CTempFolder folder("living-state");
    const std::string base = folder.Path().string();
    {
        std::ofstream(base + "/real") << kGood;
    }
    QString error;
    EXPECT_TRUE(ReadLivingStateFile(QString::fromStdString(base + "/real"), error)) << error.toStdString();
    ASSERT_EQ(symlink((base + "/real").c_str(), (base + "/link").c_str()), 0);
    EXPECT_FALSE(ReadLivingStateFile(QString::fromStdString(base + "/link"), error));
    EXPECT_FALSE(error.isEmpty());
    ASSERT_EQ(mkfifo((base + "/pipe").c_str(), 0600), 0);
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(ReadLivingStateFile(QString::fromStdString(base + "/pipe"), error));
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_TRUE(error.contains(QLatin1String("regular"))) << error.toStdString();
    {
        std::ofstream big(base + "/big");
        big << kGood << std::string(std::size_t(kLargestLivingState), '#');
    }
    EXPECT_FALSE(ReadLivingStateFile(QString::fromStdString(base + "/big"), error));
    EXPECT_TRUE(error.contains(QLatin1String("larger"))) << error.toStdString();
    EXPECT_FALSE(ReadLivingStateFile(QString::fromStdString(base + "/none"), error));
    EXPECT_TRUE(error.isEmpty());   // no file: nothing set up
}

// ---- the frames file ----

std::vector<uint8_t> FramesBytes(uint32_t width, uint32_t height, uint32_t frames, uint32_t fps)
{
    std::string error;
    const auto header = MakeFramesHeader(width, height, frames, fps, error);
    EXPECT_TRUE(header) << error;
    std::vector<uint8_t> bytes(std::size_t(header->FileBytes()));
    uint8_t head[kFramesHeaderBytes];
    EncodeFramesHeader(*header, head);
    std::memcpy(bytes.data(), head, sizeof head);
    auto* words = reinterpret_cast<uint32_t*>(bytes.data() + kFramesHeaderBytes);
    for (std::size_t i = 0; i < std::size_t(width) * height * frames; ++i)
        words[i] = 0xff000000u | uint32_t(i);
    return bytes;
}

void Put32(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + std::size_t(i)] = uint8_t(value >> (8 * i));
}

struct HeaderCase {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> spoil;
    const char* error;   // nullptr: accepted
};

class FramesHeaderTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(FramesHeaderTest, ChecksTheHeaderAgainstTheLength)
{
    std::vector<uint8_t> bytes = FramesBytes(4, 3, 5, 30);
    GetParam().spoil(bytes);
    std::string error;
    const auto header = ParseFramesHeader(bytes.data(), bytes.size(), bytes.size(), error);
    if (!GetParam().error) {
        ASSERT_TRUE(header) << error;
        EXPECT_EQ(header->frames, 5u);
        return;
    }
    EXPECT_FALSE(header);
    EXPECT_NE(error.find(GetParam().error), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, FramesHeaderTest,
    ::testing::Values(
        HeaderCase{"whole", [](auto&) {}, nullptr},
        HeaderCase{"truncatedHeader", [](auto& b) { b.resize(40); }, "shorter than its header"},
        HeaderCase{"empty", [](auto& b) { b.clear(); b.resize(0); }, "shorter"},
        HeaderCase{"truncatedFrames", [](auto& b) { b.resize(b.size() - 4); }, "header says"},
        HeaderCase{"oversized", [](auto& b) { b.resize(b.size() + 48); }, "header says"},
        HeaderCase{"otherMagic", [](auto& b) { b[0] = 'X'; }, "not a frames file"},
        HeaderCase{"headerSize", [](auto& b) { Put32(b, 8, 128); }, "header size"},
        HeaderCase{"reserved", [](auto& b) { b[63] = 1; }, "reserved"},
        HeaderCase{"zeroWidth", [](auto& b) { Put32(b, 12, 0); }, "frame size"},
        HeaderCase{"hugeHeight", [](auto& b) { Put32(b, 16, 1u << 31); }, "frame size"},
        HeaderCase{"zeroFrames", [](auto& b) { Put32(b, 20, 0); }, "frame count"},
        HeaderCase{"manyFrames", [](auto& b) { Put32(b, 20, 0xffffffffu); }, "frame count"},
        HeaderCase{"zeroFps", [](auto& b) { Put32(b, 24, 0); }, "frame rate"},
        HeaderCase{"stride", [](auto& b) { Put32(b, 28, 8); }, "stride"},
        HeaderCase{"frameBytes", [](auto& b) { Put32(b, 32, 4); }, "stride or frame size"},
        // Each bound alone passes; together they would be a 2.4 TB mapping.
        HeaderCase{"overLargest", [](auto& b) { Put32(b, 12, 4096); Put32(b, 16, 4096); Put32(b, 20, 36000); },
                   "larger than the largest"},
        // A frame count that only wraps around 64 bits into the file's length.
        HeaderCase{"wrapsAround", [](auto& b) { Put32(b, 20, 0x40000000u); }, "frame count"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FramesFileTest, MapsARegularFileAndRefusesLinksAndPipes)
{
    test::CTempFolder folder("living-frames");
    const std::string base = folder.Path().string();
    const std::vector<uint8_t> bytes = FramesBytes(3, 2, 4, 12);
    {
        std::ofstream out(base + "/loop.frames", std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    CFramesFile frames;
    std::string error;
    ASSERT_TRUE(frames.Open(base + "/loop.frames", error)) << error;
    EXPECT_EQ(frames.Header().fps, 12u);
    ASSERT_NE(frames.Frame(3), nullptr);
    EXPECT_EQ(frames.Frame(3)[0], 0xff000000u | 18u);   // frame 3 starts at word 3 * 6
    EXPECT_EQ(frames.Frame(4), nullptr);

    ASSERT_EQ(symlink((base + "/loop.frames").c_str(), (base + "/link.frames").c_str()), 0);
    EXPECT_FALSE(frames.Open(base + "/link.frames", error));
    ASSERT_EQ(mkfifo((base + "/pipe.frames").c_str(), 0600), 0);
    EXPECT_FALSE(frames.Open(base + "/pipe.frames", error));
    EXPECT_NE(error.find("regular"), std::string::npos) << error;
    EXPECT_FALSE(frames.Open(base, error));   // a folder
}

// ---- the folder ----

TEST(LivingFolderTest, MadePrivateAndRefusedWhenOthersMayWriteOrItIsALink)
{
    test::CTempFolder folder("living-folder");
    const std::string base = folder.Path().string();
    const std::string living = base + "/data/quorrel/living";
    std::string error;
    ASSERT_TRUE(MakeLivingFolder(living, error)) << error;
    struct stat info {};
    ASSERT_EQ(stat(living.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    ASSERT_EQ(chmod(living.c_str(), 0775), 0);
    EXPECT_FALSE(CheckLivingFolder(living, error));
    EXPECT_NE(error.find("other users"), std::string::npos) << error;
    ASSERT_EQ(chmod(living.c_str(), 0700), 0);

    // A link in the folder's place, to a folder that would pass.
    const std::string other = base + "/elsewhere";
    ASSERT_TRUE(MakeLivingFolder(other, error)) << error;
    ASSERT_EQ(symlink(other.c_str(), (base + "/linked").c_str()), 0);
    EXPECT_FALSE(MakeLivingFolder(base + "/linked", error));
    EXPECT_NE(error.find("symbolic link"), std::string::npos) << error;
    EXPECT_FALSE(MakeLivingFolder("relative/living", error));
}

TEST(LivingFolderTest, WritesReplaceAPlantedLinkInsteadOfFollowingIt)
{
    test::CTempFolder folder("living-write");
    const std::string base = folder.Path().string();
    const std::string living = base + "/living";
    std::string error;
    ASSERT_TRUE(MakeLivingFolder(living, error)) << error;
    {
        std::ofstream(base + "/victim") << "keep";
    }
    ASSERT_EQ(symlink((base + "/victim").c_str(), (living + "/living.state").c_str()), 0);
    const std::string text = "version=1\n";
    ASSERT_TRUE(WriteLivingFile(living, "living.state",
                                std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), error))
        << error;
    std::ifstream victim(base + "/victim");
    std::string kept;
    victim >> kept;
    EXPECT_EQ(kept, "keep");
    struct stat info {};
    ASSERT_EQ(lstat((living + "/living.state").c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_FALSE(WriteLivingFile(living, "../escape", {}, error));
    EXPECT_TRUE(RemoveLivingFile(living, "living.state"));
    EXPECT_EQ(QDir(QString::fromStdString(living)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList());
}

// ---- slow living, in order ----

CLivingOutcome Wait(const std::function<void(LivingDone)>& start)
{
    QEventLoop loop;
    CLivingOutcome outcome;
    start([&](const CLivingOutcome& answer) {
        outcome = answer;
        loop.quit();
    });
    loop.exec();
    return outcome;
}

TEST(DesktopLivingTest, SavesTheStateBeforeChangingASettingAndPutsBackWhatItRead)
{
    test::CTempFolder folder("living-gnome");
    const QString home = QString::fromStdString(folder.Path().string());
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("GNOME"));
    environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("x11"));
    test::CFakeRunner runner;
    runner.allAvailable = true;
    CDesktopLiving living(runner, environment);
    runner.observe = [&] { return QFile::exists(living.StatePath()) ? QStringLiteral("state") : QStringLiteral("none"); };
    runner.reply = [](const test::CFakeRunner::CCall& call) {
        // picture-uri held a user's file; dconf says the rest are defaults.
        QByteArray out;
        if (call.program == "gsettings" && call.arguments.value(0) == "get")
            out = call.arguments.value(2) == "picture-uri" ? "'file:///home/u/mine.png'\n" : "'zoom'\n";
        if (call.program == "dconf" && call.arguments.value(1).endsWith("picture-uri"))
            out = "'file:///home/u/mine.png'\n";
        return CProcessResult{CProcessResult::EStatus::Exited, 0, out, {}};
    };
    QString error;
    ASSERT_TRUE(living.PrepareFolder(error)) << error.toStdString();
    CLivingSetup setup;
    setup.periodSeconds = 1200;
    setup.slides = {living.SlidesFolder() + "/slide-001.png", living.SlidesFolder() + "/slide-002.png"};
    CLivingState state;
    state.width = state.height = 64;
    const CLivingOutcome started = Wait([&](LivingDone done) { living.Start(setup, state, std::move(done)); });
    ASSERT_TRUE(started.Ok()) << started.problem.toStdString();
    bool setSeen = false;
    for (const auto& call : runner.calls) {
        if (call.program == "gsettings" && call.arguments.value(0) == "set") {
            setSeen = true;
            EXPECT_EQ(call.note, "state") << "a setting changed before the state was saved";
        }
    }
    EXPECT_TRUE(setSeen);
    EXPECT_EQ(runner.gsettings.value("org.gnome.desktop.background picture-uri"),
              "'file://" + living.Folder() + "/slow-living.xml'");
    const auto installed = living.Installed(error);
    ASSERT_TRUE(installed) << error.toStdString();
    EXPECT_EQ(installed->way, EWay::SlideShowXml);

    runner.calls.clear();
    const CLivingOutcome stopped = Wait([&](LivingDone done) { living.Stop(std::move(done)); });
    ASSERT_TRUE(stopped.Ok()) << stopped.problem.toStdString();
    EXPECT_EQ(runner.gsettings.value("org.gnome.desktop.background picture-uri"), "'file:///home/u/mine.png'");
    bool reset = false;
    for (const auto& call : runner.calls)
        reset = reset || (call.arguments.value(0) == "reset" && call.arguments.value(2) == "picture-options");
    EXPECT_TRUE(reset) << "a key at its default is reset, not written";
    EXPECT_FALSE(QFileInfo::exists(living.Folder()));
}

} // namespace
