// The preset gallery and its background thumbnails: the dialog paints
// before any thumbnail is done (the rendering is held back by a gate, so
// nothing depends on timing), thumbnails fill in as they arrive, stale
// pictures are dropped, Another gives a new seed and tile, and the keyboard
// chooses.

#include "editors/PresetGallery.h"
#include "editors/ThumbnailRenderer.h"
#include "render/continuous/TileLook.h"

#include "model/Presets.h"
#include "model/TileParams.h"
#include "model/WppFile.h"
#include "output/RgbImageView.h"
#include "platform/presets/PresetLibrary.h"
#include "render/TileRenderer.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

using namespace quorrel;
using namespace quorrel::editors;

namespace {

// Holds every rendering until Open(); counts the renderings started. Half a
// minute after it was made it lets everything through anyway, so that code
// which waits for its pictures fails its test instead of hanging it.
class Gate final {
public:
    CThumbnailRenderer::RenderFunction Wrap(CThumbnailRenderer::RenderFunction render)
    {
        return [this, render = std::move(render)](const model::CTileParams& params, QSize box, QSize screen,
                                                  int scale) {
            {
                std::unique_lock lock(m_mutex);
                ++m_started;
                m_changed.notify_all();
                m_changed.wait_until(lock, m_deadline, [this] { return m_open; });
            }
            return render(params, box, screen, scale);
        };
    }
    void Open()
    {
        const std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }
    // Blocks until `count` renderings have started (a generous limit turns a
    // hang into a failure).
    bool AwaitStarted(int count)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(30), [&] { return m_started >= count; });
    }
    int Started()
    {
        const std::lock_guard lock(m_mutex);
        return m_started;
    }

private:
    const std::chrono::steady_clock::time_point m_deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_open = false;
    int m_started = 0;
};

std::unique_ptr<model::CTileParams> LoadPreset(const model::PresetInfo& preset)
{
    auto params = std::make_unique<model::CTileParams>();
    std::string error;
    EXPECT_TRUE(presets::LoadPreset(preset, *params, error)) << error;
    return params;
}

QImage IconImage(const CPresetGallery& gallery, int index)
{
    return gallery.List()->item(index)->icon().pixmap(gallery.ThumbnailSize()).toImage().convertToFormat(QImage::Format_RGB32);
}

// A picture that tells which request made it: filled with the set's width.
QImage WidthPicture(const model::CTileParams& params, QSize box, QSize = {})
{
    QImage image(box, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(static_cast<QRgb>(params.m_nWidth)));
    return image;
}

model::CTileParams OfWidth(uint32_t width)
{
    model::CTileParams params;
    params.m_nWidth = width;
    return params;
}

// The mean level of each channel over a picture.
std::array<double, 3> MeanColour(const QImage& image)
{
    std::array<double, 3> sum{};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb rgb = image.pixel(x, y);
            sum[0] += qRed(rgb);
            sum[1] += qGreen(rgb);
            sum[2] += qBlue(rgb);
        }
    }
    for (double& s : sum)
        s /= double(image.width()) * image.height();
    return sum;
}

QImage Rendered(const model::CTileParams& params, uint32_t width, uint32_t height)
{
    render::RenderSettings settings;
    settings.width = width;
    settings.height = height;
    render::CRgbImage rgb(width, height);
    render::RenderTile(params, rgb, settings);
    return output::ImageView(rgb).convertToFormat(QImage::Format_RGB32);
}

// A tile as a thumbnail shows it: its size on a scaled-down screen.
struct ScaledTile {
    const char* name;
    QSize tile, box, screen;
    QSize shown;
};

class ThumbnailTileSizes : public ::testing::TestWithParam<ScaledTile> {};

TEST_P(ThumbnailTileSizes, AreTheTilesOwnSizeAtTheScaleOfTheBoxToTheScreen)
{
    const ScaledTile& c = GetParam();
    EXPECT_EQ(ThumbnailTileSize(c.tile, c.box, c.screen), c.shown) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Screens, ThumbnailTileSizes,
    ::testing::Values(
        // 1280 x 1024 in 160 x 128: an eighth.
        ScaledTile{"mist's 1024 on 1280x1024", {1024, 1024}, {160, 128}, {1280, 1024}, {128, 128}},
        ScaledTile{"160 on 1280x1024", {160, 160}, {160, 128}, {1280, 1024}, {20, 20}},
        ScaledTile{"wide 200x100", {200, 100}, {160, 128}, {1280, 1024}, {25, 13}},
        // 1920 x 1080 in 160 x 90: a twelfth; at twice the density the same
        // picture has twice the pixels and the tile as many.
        ScaledTile{"1024 on 1920x1080", {1024, 1024}, {160, 90}, {1920, 1080}, {85, 85}},
        ScaledTile{"1024 on 3840x2160 at 2x", {1024, 1024}, {320, 180}, {3840, 2160}, {85, 85}},
        // Never less than a pixel.
        ScaledTile{"tiny", {1, 1}, {160, 90}, {1920, 1080}, {1, 1}},
        ScaledTile{"no screen", {64, 64}, {160, 90}, {0, 0}, QSize()}),
    [](const ::testing::TestParamInfo<ScaledTile>& info) { return std::to_string(info.index); });

TEST(ThumbnailRenderer, ThumbnailShowsTheDesktopTheTileMakesOnAScaledDownScreen)
{
    // Mist's 1024 x 1024 tile on a 1280 x 1024 screen, in 160 x 128: the
    // whole tile shows, 128 x 128, and repeats from the left edge.
    const auto mist = LoadPreset(*model::FindPreset("mist"));
    ASSERT_EQ(mist->m_nWidth, 1024u);
    const QImage picture = RenderThumbnail(*mist, QSize(160, 128), QSize(1280, 1024));
    ASSERT_EQ(picture.size(), QSize(160, 128));
    for (int y = 0; y < 128; y += 7)
        for (int x = 0; x < 32; x += 3)
            EXPECT_EQ(picture.pixel(x, y), picture.pixel(x + 128, y));
    // It is the whole tile, smoothly reduced: its mean colour is the
    // full-size rendering's, within two levels (a corner of it is not).
    const auto thumbMean = MeanColour(picture.copy(0, 0, 128, 128));
    const QImage full = Rendered(*mist, 1024, 1024);
    const auto fullMean = MeanColour(full);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(thumbMean[c], fullMean[c], 2.0) << c;

    // A 160 x 160 tile on the same screen is 20 x 20: it repeats eight
    // times across, as on the desktop.
    const auto ocean = LoadPreset(*model::FindPreset("ocean"));
    const QImage oceanPicture = RenderThumbnail(*ocean, QSize(160, 128), QSize(1280, 1024));
    for (int y = 0; y < 20; y += 3)
        for (int x = 0; x < 20; x += 3) {
            EXPECT_EQ(oceanPicture.pixel(x, y), oceanPicture.pixel(x + 20 * 7, y));
            EXPECT_EQ(oceanPicture.pixel(x, y), oceanPicture.pixel(x, y + 20 * 5));
        }

    // At its preferred scale of 2 the same tile is 40 x 40 on that screen:
    // four repeats across, rendered continuously at twice the size shown
    // and reduced smoothly.
    const QImage scaled = RenderThumbnail(*ocean, QSize(160, 128), QSize(1280, 1024), 2);
    ASSERT_EQ(scaled.size(), QSize(160, 128));
    for (int y = 0; y < 40; y += 3)
        for (int x = 0; x < 40; x += 3)
            EXPECT_EQ(scaled.pixel(x, y), scaled.pixel(x + 40 * 3, y + 40 * 2));
    render::RenderSettings at80;
    at80.threads = 1;
    at80.width = 80;
    at80.height = 80;
    render::CRgbImage large(80, 80);
    render::RenderTileAs(true, *ocean, large, at80);
    const QImage expected = output::ImageView(large)
                                .convertToFormat(QImage::Format_RGB32)
                                .scaled(40, 40, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_EQ(scaled.copy(0, 0, 40, 40), expected);
    EXPECT_NE(scaled.copy(0, 0, 40, 40), oceanPicture.copy(0, 0, 40, 40).scaled(40, 40));
    EXPECT_TRUE(RenderThumbnail(*ocean, QSize(160, 128), QSize(1280, 1024), 0).isNull());

    model::CTileParams broken;
    broken.m_nWidth = 0;
    EXPECT_TRUE(RenderThumbnail(broken, QSize(160, 128), QSize(1280, 1024)).isNull());
    EXPECT_TRUE(RenderThumbnail(*ocean, QSize(160, 128), QSize()).isNull());
}

TEST(ThumbnailRenderer, RendersOnItsOwnThreadAndDeliversOnTheOwners)
{
    Gate gate;
    std::atomic<QThread*> renderThread = nullptr;
    CThumbnailRenderer renderer(gate.Wrap([&](const model::CTileParams& params, QSize box, QSize, int) {
        renderThread = QThread::currentThread();
        return WidthPicture(params, box);
    }));
    QThread* deliveredOn = nullptr;
    std::vector<std::pair<int, QRgb>> delivered;
    QObject::connect(&renderer, &CThumbnailRenderer::ThumbnailReady, [&](int key, const QImage& image) {
        deliveredOn = QThread::currentThread();
        delivered.emplace_back(key, image.pixel(0, 0) & 0xFFFFFF);
    });

    for (int key = 0; key < 3; ++key)
        renderer.Request(key, OfWidth(100 + key), QSize(8, 8), QSize(64, 64));
    // Request returned at once; the first picture is being made and held.
    ASSERT_TRUE(gate.AwaitStarted(1));
    QApplication::processEvents();
    EXPECT_TRUE(delivered.empty());
    EXPECT_EQ(renderer.Pending(), 3);

    gate.Open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return delivered.size() == 3; }, 30000));
    EXPECT_EQ(delivered, (std::vector<std::pair<int, QRgb>>{{0, 100}, {1, 101}, {2, 102}}));
    EXPECT_EQ(renderer.Pending(), 0);
    EXPECT_EQ(deliveredOn, QThread::currentThread());
    EXPECT_NE(renderThread.load(), QThread::currentThread());
}

TEST(ThumbnailRenderer, ALaterRequestForAKeyReplacesAnEarlierOne)
{
    Gate gate;
    std::mutex mutex;
    std::vector<uint32_t> rendered;
    CThumbnailRenderer renderer(gate.Wrap([&](const model::CTileParams& params, QSize box, QSize, int) {
        const std::lock_guard lock(mutex);
        rendered.push_back(params.m_nWidth);
        return WidthPicture(params, box);
    }));
    std::vector<std::pair<int, QRgb>> delivered;
    QObject::connect(&renderer, &CThumbnailRenderer::ThumbnailReady,
                     [&](int key, const QImage& image) { delivered.emplace_back(key, image.pixel(0, 0) & 0xFFFFFF); });

    renderer.Request(0, OfWidth(10), QSize(8, 8), QSize(64, 64));
    ASSERT_TRUE(gate.AwaitStarted(1));           // width 10 is being made
    renderer.Request(0, OfWidth(11), QSize(8, 8), QSize(64, 64));   // makes 10 stale
    renderer.Request(1, OfWidth(20), QSize(8, 8), QSize(64, 64));
    renderer.Request(1, OfWidth(21), QSize(8, 8), QSize(64, 64));   // replaces 20 in the queue
    EXPECT_EQ(renderer.Pending(), 2);
    gate.Open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return renderer.Pending() == 0; }, 30000));
    QApplication::processEvents();

    EXPECT_EQ(delivered, (std::vector<std::pair<int, QRgb>>{{0, 11}, {1, 21}}));
    const std::lock_guard lock(mutex);
    EXPECT_EQ(rendered, (std::vector<uint32_t>{10, 11, 21}));
}

TEST(ThumbnailRenderer, PicturesMadeWhileItIsDestroyedAreNotDelivered)
{
    Gate gate;
    int delivered = 0;
    {
        CThumbnailRenderer renderer(gate.Wrap([](const model::CTileParams& params, QSize box, QSize, int) { return WidthPicture(params, box); }));
        QObject::connect(&renderer, &CThumbnailRenderer::ThumbnailReady, [&] { ++delivered; });
        renderer.Request(0, OfWidth(5), QSize(4, 4), QSize(64, 64));
        renderer.Request(1, OfWidth(6), QSize(4, 4), QSize(64, 64));
        ASSERT_TRUE(gate.AwaitStarted(1));
        gate.Open();
        // Destroyed at once: it waits for the picture being made and drops
        // the queued one.
    }
    QApplication::processEvents();
    EXPECT_EQ(delivered, 0);
    EXPECT_LE(gate.Started(), 2);
}

// Records how many thumbnails were done when the list first painted.
class FirstPaint final : public QObject {
public:
    FirstPaint(CPresetGallery& gallery) : m_gallery(gallery) { gallery.List()->viewport()->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && readyAtFirstPaint < 0) {
            readyAtFirstPaint = m_gallery.ThumbnailsReady();
            placeholderAtFirstPaint = IconImage(m_gallery, 0);
        }
        return false;
    }
    int readyAtFirstPaint = -1;
    QImage placeholderAtFirstPaint;

private:
    CPresetGallery& m_gallery;
};

TEST(PresetGallery, PaintsFirstAndFillsInTheThumbnailsAsTheyArrive)
{
    Gate gate;
    CPresetGallery gallery(nullptr, gate.Wrap(CThumbnailRenderer::DefaultRender()));
    FirstPaint paint(gallery);
    gallery.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&gallery));
    ASSERT_TRUE(QTest::qWaitFor([&] { return paint.readyAtFirstPaint >= 0; }, 30000));
    // Painted while every thumbnail was still held back.
    EXPECT_EQ(paint.readyAtFirstPaint, 0);
    ASSERT_EQ(gallery.Count(), static_cast<int>(model::Presets().size()));
    EXPECT_EQ(gallery.ThumbnailsReady(), 0);
    for (int i = 0; i < gallery.Count(); ++i) {
        EXPECT_EQ(gallery.List()->item(i)->text().toStdString(), gallery.Preset(i).name);
        EXPECT_EQ(IconImage(gallery, i), paint.placeholderAtFirstPaint) << i;
    }

    gate.Open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return gallery.ThumbnailsReady() == gallery.Count(); }, 60000));
    for (int i = 0; i < gallery.Count(); ++i) {
        SCOPED_TRACE(std::string(gallery.Preset(i).id));
        EXPECT_EQ(gallery.Seed(i), gallery.Preset(i).seed);
        EXPECT_EQ(model::SaveWpp(gallery.Params(i)), model::SaveWpp(*LoadPreset(gallery.Preset(i))));
        EXPECT_EQ(IconImage(gallery, i),
                  RenderThumbnail(gallery.Params(i), gallery.ThumbnailPixels(), gallery.ScreenPixels(), gallery.Scale(i)));
    }
    gallery.reject();
}

TEST(PresetGallery, AnotherGivesTheSelectedPresetANewSeedAndThumbnail)
{
    CPresetGallery gallery;
    gallery.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return gallery.ThumbnailsReady() == gallery.Count(); }, 60000));
    const int index = 2;
    gallery.SetCurrentIndex(index);
    const QImage before = IconImage(gallery, index);

    QTest::mouseClick(gallery.AnotherButton(), Qt::LeftButton);
    const uint32_t seed = gallery.Seed(index);
    EXPECT_NE(seed, gallery.Preset(index).seed);
    EXPECT_FALSE(gallery.IsThumbnailReady(index));
    EXPECT_TRUE(gallery.List()->item(index)->toolTip().contains(QString::number(seed)));
    // The same settings with the tile of the new seed.
    auto expected = LoadPreset(gallery.Preset(index));
    expected->GenerateRandom(seed);
    EXPECT_EQ(model::SaveWpp(gallery.Params(index)), model::SaveWpp(*expected));
    EXPECT_EQ(model::SaveWpp(gallery.SelectedParams()), model::SaveWpp(*expected));

    ASSERT_TRUE(QTest::qWaitFor([&] { return gallery.IsThumbnailReady(index); }, 30000));
    const QImage after = IconImage(gallery, index);
    EXPECT_NE(after, before);
    EXPECT_EQ(after, RenderThumbnail(*expected, gallery.ThumbnailPixels(), gallery.ScreenPixels(), gallery.Scale(index)));
    // The others keep theirs.
    for (int i = 0; i < gallery.Count(); ++i) {
        if (i != index) {
            EXPECT_EQ(gallery.Seed(i), gallery.Preset(i).seed) << i;
        }
    }
    gallery.reject();
}

TEST(PresetGallery, TheKeyboardMovesAndChooses)
{
    CPresetGallery gallery;
    gallery.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&gallery));
    QListWidget* list = gallery.List();
    EXPECT_EQ(gallery.CurrentIndex(), 0);
    EXPECT_TRUE(list->hasFocus());
    QTest::keyClick(list, Qt::Key_Right);
    QTest::keyClick(list, Qt::Key_Right);
    QTest::keyClick(list, Qt::Key_Left);
    EXPECT_EQ(gallery.CurrentIndex(), 1);
    QTest::keyClick(list, Qt::Key_End);
    EXPECT_EQ(gallery.CurrentIndex(), gallery.Count() - 1);
    QTest::keyClick(list, Qt::Key_Home);
    QTest::keyClick(list, Qt::Key_Down);   // the next row
    const int below = gallery.CurrentIndex();
    EXPECT_GT(below, 1);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(gallery.isVisible());
    EXPECT_EQ(gallery.result(), QDialog::Accepted);
    EXPECT_EQ(model::SaveWpp(gallery.SelectedParams()), model::SaveWpp(*LoadPreset(gallery.Preset(below))));
}

TEST(PresetGallery, EscapeCancelsAndADoubleClickChooses)
{
    {
        CPresetGallery gallery;
        gallery.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&gallery));
        QTest::keyClick(gallery.List(), Qt::Key_Escape);
        EXPECT_EQ(gallery.result(), QDialog::Rejected);
        EXPECT_FALSE(gallery.isVisible());
    }
    CPresetGallery gallery;
    gallery.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&gallery));
    QListWidget* list = gallery.List();
    const QPoint centre = list->visualItemRect(list->item(3)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    EXPECT_EQ(gallery.result(), QDialog::Accepted);
    EXPECT_EQ(gallery.CurrentIndex(), 3);
}

} // namespace
