// The shipped presets: the catalogue against the resources, every document
// loading with valid settings, its tile the tile of its seed, the same
// pixels from both renderers, a picture that is not nearly flat, and the
// documents installed with the program.

#include "model/Presets.h"
#include "model/TileParams.h"
#include "model/WppFile.h"
#include "platform/presets/PresetLibrary.h"
#include "render/ReferenceRenderer.h"
#include "render/TileRenderer.h"
#include "support/Golden.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace quorrel;
using namespace quorrel::model;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

std::vector<uint8_t> Bytes(const QByteArray& data) { return {data.begin(), data.end()}; }

std::unique_ptr<CTileParams> Load(const PresetInfo& preset)
{
    auto params = std::make_unique<CTileParams>();
    std::string error;
    EXPECT_TRUE(presets::LoadPreset(preset, *params, error)) << preset.id << ": " << error;
    return params;
}

TEST(Presets, TheCatalogueAndTheResourcesNameTheSameDocuments)
{
    ASSERT_GE(Presets().size(), 12u);
    std::set<std::string> ids, names;
    for (const PresetInfo& preset : Presets()) {
        EXPECT_TRUE(ids.insert(std::string(preset.id)).second) << preset.id;
        EXPECT_TRUE(names.insert(std::string(preset.name)).second) << preset.name;
        EXPECT_FALSE(preset.id.empty());
        EXPECT_TRUE(std::ranges::all_of(preset.id, [](char c) { return std::islower(c) || std::isdigit(c) || c == '-'; }))
            << preset.id;
        EXPECT_FALSE(preset.name.empty());
    }
    std::set<std::string> resources;
    for (QDirIterator it(QStringLiteral(":/quorrel/presets")); it.hasNext();)
        resources.insert(QFileInfo(it.next()).fileName().toStdString());
    std::set<std::string> expected;
    for (const PresetInfo& preset : Presets())
        expected.insert(PresetFileName(preset));
    EXPECT_EQ(resources, expected);
}

TEST(Presets, FindPresetMatchesIdOrNameInAnyCase)
{
    const PresetInfo& blue = *std::ranges::find(Presets(), std::string_view("monochrome-blue"), &PresetInfo::id);
    EXPECT_EQ(FindPreset("monochrome-blue"), &blue);
    EXPECT_EQ(FindPreset("Monochrome Blue"), &blue);
    EXPECT_EQ(FindPreset("MONOCHROME-BLUE"), &blue);
    EXPECT_EQ(FindPreset("monochrome blue"), &blue);
    EXPECT_EQ(FindPreset("monochrome"), nullptr);
    EXPECT_EQ(FindPreset(""), nullptr);
    EXPECT_EQ(FindPreset("monochrome-blue.wpp"), nullptr);
    EXPECT_EQ(PresetFileName(blue), "monochrome-blue.wpp");
}

TEST(Presets, EveryPresetLoadsWithValidSettingsAndNothingElseInItsFile)
{
    for (const PresetInfo& preset : Presets()) {
        SCOPED_TRACE(std::string(preset.id));
        const auto params = Load(preset);
        EXPECT_TRUE(params->IsValid());
        // Written back, the set gives the shipped bytes: no trailing bytes,
        // nothing the reader silently dropped.
        EXPECT_EQ(SaveWpp(*params), Bytes(ReadAll(presets::ResourcePath(preset))));
        // And the load by name gives the same set.
        CTileParams byName;
        std::string error;
        ASSERT_TRUE(presets::LoadPreset(preset.name, byName, error)) << error;
        EXPECT_TRUE(SameParams(byName, *params));
    }
}

TEST(Presets, ShippedTileIsTheTileOfItsSeed)
{
    const test::RandStateGuard keepGenerator;
    for (const PresetInfo& preset : Presets()) {
        SCOPED_TRACE(std::string(preset.id));
        const auto shipped = Load(preset);
        CTileParams regenerated(*shipped);
        regenerated.GenerateRandom(preset.seed);
        EXPECT_EQ(SaveWpp(regenerated), SaveWpp(*shipped));
        // Another seed is another tile of the same settings.
        CTileParams other(*shipped);
        other.GenerateRandom(preset.seed + 1);
        EXPECT_NE(SaveWpp(other), SaveWpp(*shipped));
    }
}

TEST(Presets, LoadingAnUnknownOrMissingPresetFailsAndChangesNothing)
{
    CTileParams params;
    params.m_nWidth = 77;
    std::string error;
    EXPECT_FALSE(presets::LoadPreset("no-such-preset", params, error));
    EXPECT_EQ(error, "Unknown preset: no-such-preset");
    const PresetInfo missing{"not-shipped", "Not Shipped", 1};
    EXPECT_FALSE(presets::LoadPreset(missing, params, error));
    EXPECT_EQ(error, "Preset not-shipped is missing.");
    EXPECT_TRUE(SameParams(params, [] {
        CTileParams expected;
        expected.m_nWidth = 77;
        return expected;
    }()));
}

// How far the colours of a picture spread: the distinct colours, and the
// widest channel range between the 5th and the 95th percentile.
struct Spread {
    std::size_t colours = 0;
    int channelRange = 0;
};

Spread SpreadOf(const render::CRgbImage& image)
{
    Spread spread;
    std::set<uint32_t> colours;
    std::vector<uint8_t> channel[3];
    for (uint32_t y = 0; y < image.Height(); ++y) {
        for (uint32_t x = 0; x < image.Width(); ++x) {
            const uint8_t* p = image.Pixel(x, y);
            colours.insert(uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
            for (int i = 0; i < 3; ++i)
                channel[i].push_back(p[i]);
        }
    }
    spread.colours = colours.size();
    for (auto& values : channel) {
        std::ranges::sort(values);
        const int range = values[values.size() * 95 / 100] - values[values.size() * 5 / 100];
        spread.channelRange = std::max(spread.channelRange, range);
    }
    return spread;
}

constexpr std::size_t kMinColours = 500;
constexpr int kMinChannelRange = 24;

TEST(Presets, EveryPresetRendersTheSameWithBothRenderersAndIsNotNearlyFlat)
{
    for (const PresetInfo& preset : Presets()) {
        SCOPED_TRACE(std::string(preset.id));
        const auto params = Load(preset);
        render::CRgbImage fast(params->m_nWidth, params->m_nHeight);
        render::CRgbImage reference(params->m_nWidth, params->m_nHeight);
        render::RenderTile(*params, fast);
        render::RenderTileReference(*params, reference);
        EXPECT_EQ(fast.Bytes(), reference.Bytes());

        const Spread spread = SpreadOf(fast);
        EXPECT_GE(spread.colours, kMinColours);
        EXPECT_GE(spread.channelRange, kMinChannelRange);
        std::cout << preset.id << ": " << spread.colours << " colours, channel range " << spread.channelRange
                  << "\n";
    }
}

TEST(Presets, TheSpreadMeasureTellsANearlyFlatPicture)
{
    // The measure itself: the default set without coefficients is one
    // colour; a faint ripple of a few levels stays below both limits.
    CTileParams flat;
    render::CRgbImage image(flat.m_nWidth, flat.m_nHeight);
    render::RenderTile(flat, image);
    EXPECT_EQ(SpreadOf(image).colours, 1u);

    CTileParams faint;
    faint.m_nColorLow[Luminosity] = 120;
    faint.m_nColorHigh[Luminosity] = 124;
    faint.m_nCosCos[Luminosity][1][1] = 4;
    render::RenderTile(faint, image);
    const Spread spread = SpreadOf(image);
    EXPECT_GT(spread.colours, 1u);
    EXPECT_LT(spread.colours, kMinColours);
    EXPECT_LT(spread.channelRange, kMinChannelRange);
}

#ifdef QUORREL_BUILD_DIR
TEST(Presets, TheDocumentsAreInstalledWithTheProgram)
{
    QTemporaryDir stage;
    ASSERT_TRUE(stage.isValid());
    QProcess install;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DESTDIR"), stage.path());
    install.setProcessEnvironment(env);
    install.start(QStringLiteral(QUORREL_CMAKE_COMMAND),
                  {QStringLiteral("--install"), QStringLiteral(QUORREL_BUILD_DIR), QStringLiteral("--component"),
                   QStringLiteral("presets"), QStringLiteral("--prefix"), QStringLiteral("/usr")});
    ASSERT_TRUE(install.waitForFinished(120000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();
    const QDir installed(stage.path() + QStringLiteral("/usr/share/quorrel/presets"));
    EXPECT_EQ(installed.entryList(QDir::Files).size(), static_cast<qsizetype>(Presets().size()));
    for (const PresetInfo& preset : Presets()) {
        const QString name = QString::fromStdString(PresetFileName(preset));
        EXPECT_EQ(ReadAll(installed.filePath(name)), ReadAll(presets::ResourcePath(preset))) << preset.id;
    }
}
#endif

} // namespace
