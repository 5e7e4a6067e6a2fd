// Animation files as independent decoders read them: webpinfo and
// ImageMagick for WebP, ImageMagick for GIF, ffprobe and ffmpeg for WebM,
// ImageMagick for a PNG sequence. Each file must have the right frame
// count, size, frame durations and loop flag, and its frames the pixels of
// the loop (exactly for lossless WebP and PNG, closely for the lossy ones).
// Decoded loops play smoothly: no pop where they wrap round, and no shimmer
// (far more pixels changing from frame to frame than in the loop itself).
// A cancelled or failed export leaves no file, and an existing file as it was.

#include "model/StagedFile.h"
#include "model/TileParams.h"
#include "output/animation/AnimationEncoder.h"
#include "output/animation/AnimationExport.h"
#include "output/RgbImageView.h"
#include "render/animation/AnimationLoop.h"
#include "render/animation/Keyframes.h"
#include "support/TempFolder.h"
#include "tools/ToolProcess.h"

#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>

using namespace quorrel;
using namespace quorrel::output::animation;
using quorrel::render::animation::CAnimationLoop;
using quorrel::render::animation::CLoopTiming;

namespace {

std::unique_ptr<CAnimationLoop> MakeLoop(uint32_t width, uint32_t height, uint32_t frames, uint32_t fps,
                                         uint32_t keyframes = 3)
{
    auto settings = std::make_unique<model::CTileParams>();
    settings->m_nWidth = width;
    settings->m_nHeight = height;
    for (int c = 0; c < model::kComponents; ++c) {
        // Broad, gentle colour fields: what lossy coding keeps well.
        settings->m_nHorzHarm[c] = 2;
        settings->m_nVertHarm[c] = 2;
        settings->m_nAmplMin[c] = 0;
        settings->m_nAmplMax[c] = 24;
    }
    return std::make_unique<CAnimationLoop>(render::animation::GenerateKeyframes(*settings, keyframes, 42, false),
                                            CLoopTiming(frames, fps));
}

test::ToolResult Tool(const std::vector<std::string>& argv, const std::filesystem::path& folder)
{
    test::ToolResult result = test::RunTool(argv, folder.string());
    EXPECT_EQ(result.exitCode, 0) << argv[0] << " failed (is it installed? scripts/setup.sh installs it): "
                                  << result.err;
    return result;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

// Every value of `pattern`'s first group in `text`.
std::vector<std::string> All(const std::string& text, const std::string& pattern)
{
    std::vector<std::string> values;
    const std::regex re(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
        values.push_back((*it)[1]);
    return values;
}

QImage FrameOf(const CAnimationLoop& loop, uint32_t f, QSize fill)
{
    render::CRgbImage tile(loop.Settings().m_nWidth, loop.Settings().m_nHeight);
    loop.RenderFrame(f, tile, render::RenderSettings{});
    QImage image = output::ImageView(tile).copy();
    if (fill.isValid()) {
        QImage filled(fill, QImage::Format_RGB888);
        for (int y = 0; y < fill.height(); ++y)
            for (int x = 0; x < fill.width(); ++x)
                filled.setPixel(x, y, image.pixel(x % image.width(), y % image.height()));
        return filled;
    }
    return image;
}

// The mean absolute difference of two images' channels.
double MeanDifference(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB888), y = b.convertToFormat(QImage::Format_RGB888);
    if (x.size() != y.size())
        return 1e9;
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar* p = x.constScanLine(row);
        const uchar* q = y.constScanLine(row);
        for (int i = 0; i < x.width() * 3; ++i)
            sum += std::abs(int(p[i]) - int(q[i]));
    }
    return sum / (double(x.width()) * x.height() * 3);
}

struct FormatCase {
    const char* name;
    const char* file;
    uint32_t width, height;   // of the tile
    int fillWidth, fillHeight;   // 0: no fill
    uint32_t frames, fps;
    std::optional<int> quality;
    bool lossless;
    double meanDifference;   // allowed between decoded and rendered frames
};

class AnimationFileTest : public ::testing::TestWithParam<FormatCase> {
protected:
    void SetUp() override
    {
        const FormatCase& tc = GetParam();
        m_loop = MakeLoop(tc.width, tc.height, tc.frames, tc.fps);
        m_fill = tc.fillWidth ? QSize(tc.fillWidth, tc.fillHeight) : QSize();
        FrameLayout layout;
        if (m_fill.isValid())
            layout.fill = m_fill;
        AnimationSettings options;
        options.quality = tc.quality;
        options.lossless = tc.lossless;
        std::string error;
        std::vector<int> progress;
        ASSERT_EQ(ExportAnimation(*m_loop, layout, (m_folder.Path() / tc.file).string(), options, error,
                                  [&](int percent) { progress.push_back(percent); }),
                  ExportOutcome::Written)
            << error;
        ASSERT_FALSE(progress.empty());
        EXPECT_EQ(progress.front(), 0);
        EXPECT_EQ(progress.back(), 100);
        EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    }

    QSize FrameSize() const
    {
        return m_fill.isValid() ? m_fill : QSize(int(GetParam().width), int(GetParam().height));
    }

    // Decodes every frame with ImageMagick (composed as shown) into PNGs.
    std::vector<QImage> DecodeWithImageMagick(const std::string& file)
    {
        Tool({"convert", file, "-coalesce", "decoded-%04d.png"}, m_folder.Path());
        std::vector<QImage> frames;
        for (uint32_t f = 0;; ++f) {
            char name[32];
            std::snprintf(name, sizeof name, "decoded-%04u.png", f);
            const auto path = m_folder.Path() / name;
            if (!std::filesystem::exists(path))
                break;
            frames.push_back(QImage(QString::fromStdString(path.string())));
        }
        return frames;
    }

    void ExpectFramesLikeTheLoop(const std::vector<QImage>& decoded)
    {
        const FormatCase& tc = GetParam();
        ASSERT_EQ(decoded.size(), tc.frames);
        for (uint32_t f = 0; f < tc.frames; f += std::max(1u, tc.frames / 5)) {
            const QImage expected = FrameOf(*m_loop, f, m_fill);
            const double difference = MeanDifference(decoded[f], expected);
            EXPECT_LE(difference, tc.meanDifference) << "frame " << f;
            // Each frame is nearer its own rendering than the next frame's:
            // the frames are in order and move.
            if (f + 1 < tc.frames && tc.meanDifference > 0)
                EXPECT_LT(difference, MeanDifference(decoded[f], FrameOf(*m_loop, f + tc.frames / 2, m_fill)))
                    << "frame " << f;
        }
    }

    test::CTempFolder m_folder{"quorrel-animation"};
    std::unique_ptr<CAnimationLoop> m_loop;
    QSize m_fill;
};

TEST_P(AnimationFileTest, IndependentDecodersReadTheLoop)
{
    const FormatCase& tc = GetParam();
    const std::string file = tc.file;
    const QSize size = FrameSize();
    const CLoopTiming& timing = m_loop->Timing();
    const std::optional<AnimationFormat> format = AnimationFormatForPath(file);
    ASSERT_TRUE(format);

    switch (*format) {
    case AnimationFormat::WebP: {
        const std::string info = Tool({"webpinfo", file}, m_folder.Path()).out;
        EXPECT_NE(info.find("Canvas size " + std::to_string(size.width()) + " x " + std::to_string(size.height())),
                  std::string::npos)
            << info;
        EXPECT_EQ(All(info, R"(Loop count\s*:\s*(\d+))"), std::vector<std::string>{"0"}) << info;
        const std::vector<std::string> durations = All(info, R"(Duration:\s*(\d+))");
        ASSERT_EQ(durations.size(), tc.frames) << info;
        for (uint32_t f = 0; f < tc.frames; ++f)
            EXPECT_EQ(durations[f], std::to_string(timing.DurationIn(f, 1000))) << "frame " << f;
        EXPECT_EQ(info.find(tc.lossless ? "Lossy" : "Lossless"), std::string::npos) << info;
        ExpectFramesLikeTheLoop(DecodeWithImageMagick(file));
        break;
    }
    case AnimationFormat::Gif: {
        const std::vector<std::string> frames =
            // The canvas: frames after the first hold only what changed.
            Lines(Tool({"identify", "-format", "%W %H %T\n", file}, m_folder.Path()).out);
        ASSERT_EQ(frames.size(), tc.frames);
        for (uint32_t f = 0; f < tc.frames; ++f) {
            EXPECT_EQ(frames[f], std::to_string(size.width()) + " " + std::to_string(size.height()) + " " +
                                     std::to_string(timing.DurationIn(f, 100)))
                << "frame " << f;
        }
        const std::string verbose = Tool({"identify", "-verbose", file + "[0]"}, m_folder.Path()).out;
        EXPECT_EQ(All(verbose, R"(Iterations:\s*(\d+))"), std::vector<std::string>{"0"});
        ExpectFramesLikeTheLoop(DecodeWithImageMagick(file));
        break;
    }
    case AnimationFormat::WebM: {
        const std::string probe =
            Tool({"ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                  "stream=codec_name,width,height,nb_read_frames,avg_frame_rate:format=format_name,duration", "-of",
                  "default=noprint_wrappers=1", file},
                 m_folder.Path())
                .out;
        EXPECT_NE(probe.find("codec_name=vp9"), std::string::npos) << probe;
        EXPECT_NE(probe.find("width=" + std::to_string(size.width())), std::string::npos) << probe;
        EXPECT_NE(probe.find("height=" + std::to_string(size.height())), std::string::npos) << probe;
        EXPECT_NE(probe.find("nb_read_frames=" + std::to_string(tc.frames)), std::string::npos) << probe;
        EXPECT_NE(probe.find("avg_frame_rate=" + std::to_string(tc.fps) + "/1"), std::string::npos) << probe;
        EXPECT_NE(probe.find("format_name=matroska,webm"), std::string::npos) << probe;
        const std::vector<std::string> duration = All(probe, R"(duration=([0-9.]+))");
        ASSERT_EQ(duration.size(), 1u) << probe;
        EXPECT_NEAR(std::stod(duration[0]), timing.LengthMs() / 1000.0, 0.0015) << probe;
        // Each packet's time, as a player schedules the frames.
        const std::vector<std::string> times =
            Lines(Tool({"ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries", "packet=pts,flags",
                        "-of", "csv=p=0", file},
                       m_folder.Path())
                      .out);
        ASSERT_EQ(times.size(), tc.frames);
        for (uint32_t f = 0; f < tc.frames; ++f) {
            // "pts,flags": K marks a key frame, the first only (the player
            // loops from there; a key frame elsewhere shows as a pop).
            const std::string key = f == 0 ? "K" : "";
            EXPECT_EQ(times[f].substr(0, times[f].find(',') + 2),
                      std::to_string(timing.StartIn(f, 1000)) + "," + (key.empty() ? "_" : key))
                << "frame " << f;
        }
        Tool({"ffmpeg", "-v", "error", "-i", file, "decoded-%04d.png"}, m_folder.Path());
        std::vector<QImage> decoded;
        for (uint32_t f = 1; std::filesystem::exists(m_folder.Path() / ("decoded-" + std::string(4 - std::to_string(f).size(), '0') + std::to_string(f) + ".png")); ++f)
            decoded.push_back(QImage(QString::fromStdString(
                (m_folder.Path() / ("decoded-" + std::string(4 - std::to_string(f).size(), '0') + std::to_string(f) + ".png")).string())));
        ExpectFramesLikeTheLoop(decoded);
        break;
    }
    case AnimationFormat::PngFrames: {
        std::vector<QImage> decoded;
        for (uint32_t f = 0; f < tc.frames; ++f) {
            const std::string name = FrameFileName(file, f, tc.frames);
            const std::vector<std::string> lines =
                Lines(Tool({"identify", "-format", "%m %w %h\n", name}, m_folder.Path()).out);
            EXPECT_EQ(lines, std::vector<std::string>{"PNG " + std::to_string(size.width()) + " " +
                                                      std::to_string(size.height())});
            decoded.push_back(QImage(QString::fromStdString((m_folder.Path() / name).string())));
        }
        // Nothing but the frames was left in the folder.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_folder.Path()),
                                std::filesystem::directory_iterator()),
                  std::ptrdiff_t(tc.frames));
        ExpectFramesLikeTheLoop(decoded);
        break;
    }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, AnimationFileTest,
    ::testing::Values(FormatCase{"WebpLossless", "loop.webp", 40, 30, 0, 0, 12, 30, std::nullopt, true, 0.0},
                      FormatCase{"WebpLossyFilled", "loop.WEBP", 32, 24, 70, 50, 6, 10, 80, false, 6.0},
                      FormatCase{"WebpDefault", "loop.webp", 40, 30, 0, 0, 7, 30, std::nullopt, false, 6.0},
                      FormatCase{"Gif", "loop.gif", 40, 30, 0, 0, 10, 20, std::nullopt, false, 8.0},
                      FormatCase{"GifFilled", "loop.gif", 36, 36, 50, 40, 9, 30, std::nullopt, false, 8.0},
                      FormatCase{"Webm", "loop.webm", 64, 48, 0, 0, 15, 30, std::nullopt, false, 8.0},
                      // A cluster every 5 s: fourteen, each block timed from its own, one
                      // key frame; so small a frame loses more to the halved colour resolution.
                      FormatCase{"WebmManyClusters", "long.webm", 16, 16, 0, 0, 70, 1, std::nullopt, false, 14.0},
                      FormatCase{"WebmOddFilled", "loop.webm", 33, 27, 101, 75, 8, 24, 90, false, 8.0},
                      FormatCase{"PngFrames", "frame-{n}.png", 30, 20, 45, 20, 11, 25, std::nullopt, false, 0.0}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- smoothness

// A loop as a player shows it, decoded by a tool of its own (ffmpeg for
// WebM and GIF, ImageMagick, which reads WebP through libwebp, for WebP),
// and the same loop as rendered. Two keyframes: the loop point is a
// keyframe where the motion eases, so a pop there stands out.
struct SmoothCase {
    const char* name;
    const char* file;
    bool ffmpeg;
    // A step exceeds the source's by at most this many median steps: a GIF
    // jumps a palette step where a region's colour crosses one.
    double noise;
    // The decoded share of changing pixels over the source's, at most; 0:
    // not checked (a lossy WebP codes each frame on its own, so its coding
    // noise changes every pixel every frame).
    double changingAllowance;
};

class LoopSmoothnessTest : public ::testing::TestWithParam<SmoothCase> {};

// Steps between neighbours, the last one from the last frame to the first.
std::vector<double> LoopSteps(const std::vector<QImage>& frames)
{
    std::vector<double> steps;
    for (std::size_t f = 0; f < frames.size(); ++f)
        steps.push_back(MeanDifference(frames[f], frames[(f + 1) % frames.size()]));
    return steps;
}

// The mean share of pixels that differ from the frame before (round the loop).
double ChangingShare(const std::vector<QImage>& frames)
{
    double sum = 0;
    for (std::size_t f = 0; f < frames.size(); ++f) {
        const QImage a = frames[f].convertToFormat(QImage::Format_RGB32);
        const QImage b = frames[(f + 1) % frames.size()].convertToFormat(QImage::Format_RGB32);
        std::size_t changed = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                changed += a.pixel(x, y) != b.pixel(x, y);
        sum += double(changed) / (double(a.width()) * a.height());
    }
    return sum / double(frames.size());
}

double Median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(values.size() / 2), values.end());
    return values[values.size() / 2];
}

TEST_P(LoopSmoothnessTest, NoPopAtTheLoopPointAndNoShimmer)
{
    const SmoothCase& tc = GetParam();
    test::CTempFolder folder("quorrel-animation-smooth");
    // Ten seconds: steps of about a level between frames, as a calm
    // wallpaper moves, where coding noise shows most.
    constexpr uint32_t kFrames = 300;
    const auto loop = MakeLoop(64, 64, kFrames, 30, 2);
    std::string error;
    const std::string file = (folder.Path() / tc.file).string();
    ASSERT_EQ(ExportAnimation(*loop, FrameLayout{}, file, AnimationSettings{}, error), ExportOutcome::Written)
        << error;
    if (tc.ffmpeg) {
        Tool({"ffmpeg", "-v", "error", "-i", file, "-vsync", "passthrough", "d-%04d.png"}, folder.Path());
    } else {
        Tool({"convert", file, "-coalesce", "d-%04d.png"}, folder.Path());
    }
    std::vector<QImage> decoded, source;
    for (uint32_t f = 0; f < kFrames; ++f) {
        char name[32];
        std::snprintf(name, sizeof name, "d-%04u.png", tc.ffmpeg ? f + 1 : f);
        decoded.push_back(QImage(QString::fromStdString((folder.Path() / name).string())));
        ASSERT_FALSE(decoded.back().isNull()) << name;
        source.push_back(FrameOf(*loop, f, QSize()));
    }
    // Each step (the loop point's too) is the source's step there plus
    // coding noise of the order of a typical step, never a jump beyond.
    const std::vector<double> steps = LoopSteps(decoded), motion = LoopSteps(source);
    const double median = Median(steps);
    for (uint32_t f = 0; f < kFrames; ++f)
        EXPECT_LE(steps[f] - motion[f], tc.noise * median)
            << (f + 1 == kFrames ? "the loop point" : "frame " + std::to_string(f)) << ": " << steps[f]
            << " where the source moves " << motion[f] << "; median step " << median;
    if (tc.changingAllowance > 0) {
        const double decodedShare = ChangingShare(decoded), sourceShare = ChangingShare(source);
        EXPECT_LE(decodedShare, sourceShare * tc.changingAllowance)
            << "decoded " << decodedShare << " of the pixels change a frame, the source " << sourceShare;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, LoopSmoothnessTest,
                         ::testing::Values(SmoothCase{"Webm", "loop.webm", true, 1.5, 1.5},
                                           SmoothCase{"Gif", "loop.gif", true, 3.0, 1.0},
                                           SmoothCase{"Webp", "loop.webp", false, 1.5, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- cancelling

class AnimationCancelTest : public ::testing::TestWithParam<const char*> {};

TEST_P(AnimationCancelTest, ACancelledExportLeavesNoFileAndTheOldOneAsItWas)
{
    test::CTempFolder folder("quorrel-animation-cancel");
    const std::string name = GetParam();
    const bool sequence = name.find("{n}") != std::string::npos;
    const std::string existing = sequence ? FrameFileName(name, 0, 20) : name;
    {
        std::ofstream(folder.Path() / existing) << "old";
    }
    const auto loop = MakeLoop(24, 24, 20, 10);
    std::atomic<bool> cancel = false;
    std::string error;
    const ExportOutcome outcome =
        ExportAnimation(*loop, FrameLayout{}, (folder.Path() / name).string(), AnimationSettings{}, error,
                        [&](int percent) {
                            if (percent >= 30)
                                cancel = true;
                        },
                        &cancel);
    EXPECT_EQ(outcome, ExportOutcome::Cancelled);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{existing});
    std::ifstream in(folder.Path() / existing);
    std::string content;
    in >> content;
    EXPECT_EQ(content, "old");
}

INSTANTIATE_TEST_SUITE_P(Formats, AnimationCancelTest,
                         ::testing::Values("loop.webp", "loop.gif", "loop.webm", "frame-{n}.png"));

TEST(AnimationExport, RefusesWhatNoFormatHolds)
{
    test::CTempFolder folder("quorrel-animation-refuse");
    const auto loop = MakeLoop(24, 24, 10, 60);
    std::string error;
    EXPECT_EQ(ExportAnimation(*loop, FrameLayout{}, (folder.Path() / "a.gif").string(), AnimationSettings{}, error),
              ExportOutcome::Failed);
    EXPECT_EQ(error, "a GIF shows at most 50 frames a second");
    FrameLayout huge;
    huge.fill = QSize(16384, 8);
    EXPECT_EQ(ExportAnimation(*loop, huge, (folder.Path() / "a.webp").string(), AnimationSettings{}, error),
              ExportOutcome::Failed);
    EXPECT_NE(error.find("each side 1 to 16383"), std::string::npos) << error;
    EXPECT_EQ(ExportAnimation(*loop, FrameLayout{}, (folder.Path() / "a.png").string(), AnimationSettings{}, error),
              ExportOutcome::Failed);
    EXPECT_NE(error.find("{n}"), std::string::npos) << error;
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST(AnimationExport, AFrameSequenceLongerThanTheOpenFilesLimitIsWritten)
{
    // Every frame stays staged until the loop is whole: the export raises
    // the soft limit of open files as far as the hard one allows.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    if (saved.rlim_max != RLIM_INFINITY && saved.rlim_max < 400)
        GTEST_SKIP() << "the hard limit of open files is " << saved.rlim_max;
    rlimit low = saved;
    low.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    test::CTempFolder folder("quorrel-animation-many");
    const auto loop = MakeLoop(8, 8, 150, 30);
    std::string error;
    const ExportOutcome outcome =
        ExportAnimation(*loop, FrameLayout{}, (folder.Path() / "f-{n}.png").string(), AnimationSettings{}, error);
    setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(outcome, ExportOutcome::Written) << error;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), std::filesystem::directory_iterator()),
              150);
}

TEST(FrameFileName, NumbersFromOnePaddedToTheCount)
{
    EXPECT_EQ(FrameFileName("f-{n}.png", 0, 240), "f-001.png");
    EXPECT_EQ(FrameFileName("{n}/x{n}.png", 239, 240), "240/x240.png");
    EXPECT_EQ(FrameFileName("f{n}.png", 8, 9), "f9.png");
}

} // namespace

// A caller that feeds no palette samples (the Plasma loop did not, once)
// still gets a GIF: the first frame gives the palette.
TEST(AnimatedGif, WithoutPaletteSamplesTheFirstFrameGivesThePalette)
{
    test::CTempFolder folder("gif-no-samples");
    const std::string path = (folder.Path() / "loop.gif").string();
    model::CFileError fileError;
    auto file = model::CStagedFile::Create(path, fileError);
    ASSERT_TRUE(file) << fileError.message;
    AnimationSettings settings;
    settings.width = 8;
    settings.height = 8;
    settings.frames = 2;
    settings.fps = 10;
    std::string error;
    auto encoder = CreateAnimationEncoder(AnimationFormat::Gif, settings, {file.get()}, error);
    ASSERT_TRUE(encoder) << error;
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    QImage blue = red.copy();
    blue.fill(Qt::blue);
    ASSERT_TRUE(encoder->AddFrame(red)) << encoder->Error();
    ASSERT_TRUE(encoder->AddFrame(blue)) << encoder->Error();
    ASSERT_TRUE(encoder->Finish()) << encoder->Error();
    ASSERT_TRUE(file->Commit(fileError)) << fileError.message;
    QImageReader reader(QString::fromStdString(path));
    EXPECT_EQ(reader.imageCount(), 2);
    EXPECT_EQ(reader.read().pixel(3, 3), qRgb(255, 0, 0));
}
