// Plasma's living wallpaper: the scripts quote whatever path they are given,
// the previous wallpapers they print are read back by the rotation's parser
// and put back without ever putting back our own plugin, and the package's
// id agrees in the code, its metadata and its install rule.

#include "output/PlasmaWallpaperSetter.h"
#include "output/living/PlasmaLivingScripts.h"
#include "output/rotation/PlasmaRotation.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace quorrel::output;
using namespace quorrel::output::living;
using quorrel::output::rotation::CPlasmaRotation;

namespace {

QString Source(const QString& path)
{
    QFile file(QStringLiteral(QUORREL_SOURCE_DIR "/") + path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class PlasmaLivingInstall : public testing::TestWithParam<const char*> {};

TEST_P(PlasmaLivingInstall, TheLoopUrlIsOneQuotedStringWhateverItHolds)
{
    const QString url = QString::fromUtf8(GetParam());
    const QString script = PlasmaLivingInstallScript(kPlasmaLivingPluginId, url);
    // Exactly the escaped literal, set after a cleared Source.
    EXPECT_TRUE(script.contains(QStringLiteral("d.writeConfig(\"Source\", \"\"); d.writeConfig(\"Source\", %1); }")
                                    .arg(JsString(url))))
        << script.toStdString();
    EXPECT_TRUE(script.startsWith(QStringLiteral("var id = \"com.vantorel.quorrel.living\";")));
    // No raw line break or separator reaches the script.
    for (const QChar c : {QChar(u'\n'), QChar(u'\r'), QChar(0x2028), QChar(0x2029)})
        EXPECT_FALSE(script.contains(c));
    // The URL cannot end the string early: every quote inside has an odd
    // run of backslashes before it.
    const QString quoted = JsString(url);
    for (qsizetype i = 1; i + 1 < quoted.size(); ++i) {
        if (quoted[i] != u'"')
            continue;
        qsizetype backslashes = 0;
        while (quoted[i - 1 - backslashes] == u'\\')
            ++backslashes;
        EXPECT_EQ(backslashes % 2, 1) << quoted.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Urls, PlasmaLivingInstall,
                         testing::Values("file:///home/a/.local/share/quorrel/living/loop.gif",
                                         "file:///tmp/a\"); d.wallpaperPlugin = (\"x.gif",
                                         "file:///tmp/back\\slash\\\".gif", "file:///tmp/line\nbreak\r.gif",
                                         "file:///tmp/sep\u2028\u2029.gif", "file:///tmp/%22quoted%22 space.gif"));

TEST(PlasmaLivingRemove, PutsBackWhatWasPrintedButNeverOurOwnPlugin)
{
    // What the install script prints on a second run over a first one, with
    // a hostile image name on desktop 0.
    const QByteArray printed = "js: quorrel-previous\t0\torg.kde.image\tfile:///a\"b\\c.png\t3\n"
                               "quorrel-previous\t1\tcom.vantorel.quorrel.living\t\t\n"
                               "quorrel-previous\t2\torg.kde.color\t\t\n";
    const auto previous = CPlasmaRotation::PreviousWallpapers(printed);
    ASSERT_EQ(previous.size(), 3);
    const QString script = PlasmaLivingRemoveScript(previous);
    EXPECT_TRUE(script.contains(QLatin1String(
        "if (0 < all.length) { var d = all[0]; d.wallpaperPlugin = \"org.kde.image\";")));
    EXPECT_TRUE(script.contains(QLatin1String("d.writeConfig(\"FillMode\", 3);")));
    EXPECT_TRUE(script.contains(QStringLiteral("d.writeConfig(\"Image\", %1);")
                                    .arg(JsString(QStringLiteral("file:///a\"b\\c.png")))));
    EXPECT_TRUE(script.contains(QLatin1String("var d = all[2]; d.wallpaperPlugin = \"org.kde.color\";")));
    // Desktop 1 was ours already: not put back as ours, left to the fallback.
    EXPECT_FALSE(script.contains(QLatin1String("all[1]")));
    EXPECT_FALSE(script.contains(QLatin1String("d.wallpaperPlugin = \"com.vantorel.quorrel.living\"")));
    EXPECT_TRUE(script.endsWith(QLatin1String(
        "if (all[i].wallpaperPlugin == \"com.vantorel.quorrel.living\") all[i].wallpaperPlugin = \"org.kde.image\";")));
    // Our Source is cleared before anything is switched.
    EXPECT_LT(script.indexOf(QLatin1String("d.writeConfig(\"Source\", \"\")")),
              script.indexOf(QLatin1String("d.wallpaperPlugin =")));
}

TEST(PlasmaLivingPackage, OneIdInTheCodeTheMetadataAndTheInstallRule)
{
    const QJsonObject metadata = QJsonDocument::fromJson(Source(QStringLiteral("resources/plasma/living/metadata.json")).toUtf8()).object();
    const QJsonObject plugin = metadata.value(QLatin1String("KPlugin")).toObject();
    EXPECT_EQ(plugin.value(QLatin1String("Id")).toString(), kPlasmaLivingPluginId);
    EXPECT_EQ(metadata.value(QLatin1String("KPackageStructure")).toString(), QLatin1String("Plasma/Wallpaper"));
    EXPECT_TRUE(QFile::exists(QStringLiteral(QUORREL_SOURCE_DIR "/resources/plasma/living/contents/") +
                              metadata.value(QLatin1String("X-Plasma-MainScript")).toString()));
    EXPECT_TRUE(Source(QStringLiteral("resources/plasma/install.cmake"))
                    .contains(QStringLiteral("plasma/wallpapers/") + kPlasmaLivingPluginId + u')'));
    // The configuration key the scripts write is the one the package reads.
    EXPECT_TRUE(Source(QStringLiteral("resources/plasma/living/contents/config/main.xml"))
                    .contains(QLatin1String("<entry name=\"Source\" type=\"String\">")));
    EXPECT_TRUE(Source(QStringLiteral("resources/plasma/living/contents/ui/main.qml"))
                    .contains(QLatin1String("source: wallpaper.configuration.Source")));
}

} // namespace
