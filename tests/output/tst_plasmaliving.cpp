// Plasma's living wallpaper: the scripts quote whatever path they are given,
// the previous wallpapers they print are read back by the rotation's parser
// and put back without ever putting back our own plugin, the package's id
// agrees in the code, its metadata and its install rule, the loop becomes a
// GIF of every frame at its rate, and the package built into the program is
// written per user only when Plasma has none.

#include "output/PlasmaWallpaperSetter.h"
#include "output/living/FramesFile.h"
#include "output/living/LivingFolder.h"
#include "output/living/PlasmaLiving.h"
#include "output/living/PlasmaLivingScripts.h"
#include "output/rotation/PlasmaRotation.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

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

TEST(PlasmaLiving, TheLoopGifHoldsEveryFrameAtItsRate)
{
    QTemporaryDir temporary;
    ASSERT_TRUE(temporary.isValid());
    const QString folder = temporary.filePath(QStringLiteral("living"));
    std::string reason;
    ASSERT_TRUE(MakeLivingFolder(QFile::encodeName(folder).toStdString(), reason)) << reason;
    // Three 16 x 8 frames of four colours each (a GIF keeps them exactly).
    constexpr int kWidth = 16, kHeight = 8, kFrames = 3;
    const auto header = MakeFramesHeader(kWidth, kHeight, kFrames, 10, reason);
    ASSERT_TRUE(header) << reason;
    uint8_t head[kFramesHeaderBytes];
    EncodeFramesHeader(*header, head);
    QByteArray bytes(reinterpret_cast<const char*>(head), kFramesHeaderBytes);
    std::vector<QImage> frames;
    for (int f = 0; f < kFrames; ++f) {
        QImage frame(kWidth, kHeight, QImage::Format_RGB32);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                frame.setPixel(x, y, qRgb(((x + f) % 4) * 80, y < 4 ? 200 : 20, f * 100));
        frames.push_back(frame);
        bytes.append(reinterpret_cast<const char*>(frame.constBits()), frame.sizeInBytes());
    }
    ASSERT_TRUE(WriteLivingFile(QFile::encodeName(folder).toStdString(), "loop.frames",
                                std::span(reinterpret_cast<const uint8_t*>(bytes.constData()), std::size_t(bytes.size())),
                                reason));
    QString error;
    ASSERT_TRUE(CPlasmaLiving::WriteLoopGif(folder + QStringLiteral("/loop.frames"), folder, error))
        << error.toStdString();
    QImageReader gif(folder + QStringLiteral("/loop.gif"));
    ASSERT_EQ(gif.imageCount(), kFrames);
    EXPECT_EQ(gif.loopCount(), -1);   // forever
    for (int f = 0; f < kFrames; ++f) {
        const QImage read = gif.read().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(read, frames[std::size_t(f)]) << "frame " << f;
        EXPECT_EQ(gif.nextImageDelay(), 100) << "frame " << f;
    }
    // A frames file that is not one writes nothing.
    EXPECT_FALSE(CPlasmaLiving::WriteLoopGif(folder + QStringLiteral("/loop.gif"), temporary.path(), error));
    EXPECT_FALSE(QFile::exists(temporary.filePath(QStringLiteral("loop.gif"))));
}

TEST(PlasmaLiving, ThePackageIsWrittenAsInTheTreeOnlyWhenPlasmaHasNone)
{
    QTemporaryDir temporary;
    ASSERT_TRUE(temporary.isValid());
    // No system folder holds a package here.
    qputenv("XDG_DATA_DIRS", QFile::encodeName(temporary.filePath(QStringLiteral("system"))));
    const QString home = temporary.filePath(QStringLiteral("home"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home));
    bool written = false;
    QString error;
    ASSERT_TRUE(CPlasmaLiving::EnsurePackage(home, written, error)) << error.toStdString();
    EXPECT_TRUE(written);
    for (const char* name : {"metadata.json", "contents/ui/main.qml", "contents/config/main.xml"}) {
        QFile copy(home + QStringLiteral("/plasma/wallpapers/com.vantorel.quorrel.living/") + QLatin1String(name));
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(QString::fromUtf8(copy.readAll()), Source(QStringLiteral("resources/plasma/living/") + QLatin1String(name)))
            << name;
    }
    ASSERT_TRUE(CPlasmaLiving::EnsurePackage(home, written, error));
    EXPECT_FALSE(written);
    // Installed system-wide: nothing is written per user.
    const QString other = temporary.filePath(QStringLiteral("other"));
    QDir().mkpath(temporary.filePath(QStringLiteral("system/plasma/wallpapers/com.vantorel.quorrel.living")));
    QFile(temporary.filePath(QStringLiteral("system/plasma/wallpapers/com.vantorel.quorrel.living/metadata.json")))
        .open(QIODevice::WriteOnly);
    ASSERT_TRUE(CPlasmaLiving::EnsurePackage(other, written, error));
    EXPECT_FALSE(written);
    EXPECT_FALSE(QFile::exists(other));
}

} // namespace
