// Where the settings live: one file in the program's own configuration
// folder, and the settings of earlier versions (a folder per settings root)
// moved there once, with hostile old names left alone.

#include "platform/SettingsLocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <ostream>

#include <sys/stat.h>

using namespace quorrel;

namespace {

const QString kApp = QStringLiteral("Quorrel");
const QString kRecentRoot = QStringLiteral("Local AppWizard-Generated Applications");
const QString kDefaultsRoot = QStringLiteral("Vantorel");
const QStringList kRoots = {kRecentRoot, kDefaultsRoot};
// A stored-defaults value: binary, with NUL and high bytes.
const QByteArray kDefVals("\x01\x00\xFF\xFF\x01\x00\x08\x00" "CDataObj\x7F\x80", 18);

QString ConfigHome() { return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation); }
QString OldFolder(const QString& root) { return ConfigHome() + QLatin1Char('/') + root; }
QString OldFile(const QString& root) { return OldFolder(root) + QStringLiteral("/Quorrel.conf"); }

// Writes settings where an earlier version kept them: QSettings(root, app).
void WriteOld(const QString& root, const std::map<QString, QVariant>& values)
{
    QSettings old(root, kApp);
    for (const auto& [key, value] : values)
        old.setValue(key, value);
    old.sync();
    ASSERT_EQ(old.fileName(), OldFile(root));
}

void WriteBothOld()
{
    WriteOld(kRecentRoot, {{QStringLiteral("Recent File List/File1"), QStringLiteral("/tmp/a b.wpp")},
                           {QStringLiteral("Settings/PreviewPages"), 2}});
    WriteOld(kDefaultsRoot, {{QStringLiteral("DefVals/DefVals"), kDefVals}});
}

// The keys and values the file holds on disk (read from a copy, past the
// settings cache of this process).
std::map<QString, QVariant> OnDisk(const QString& file)
{
    const QString copy = ConfigHome() + QStringLiteral("/copy.conf");
    QFile::remove(copy);
    std::map<QString, QVariant> values;
    if (!QFile::copy(file, copy))
        return values;
    {
        QSettings read(copy, QSettings::IniFormat);
        for (const QString& key : read.allKeys())
            values[key] = read.value(key);
    }
    QFile::remove(copy);
    return values;
}

struct MoveCase {
    const char* name;
    std::function<void()> arrange;
    int moved;                                  // old files moved
    std::map<QString, QVariant> expected;       // the settings file's keys afterwards
    QStringList remaining;                      // old names still there afterwards
};

void PrintTo(const MoveCase& c, std::ostream* os) { *os << c.name; }

class MoveEarlierSettings : public ::testing::TestWithParam<MoveCase> {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean()
    {
        QFile::remove(ConfigHome() + QStringLiteral("/target.conf"));
        for (const QString& folder : {OldFolder(kRecentRoot), OldFolder(kDefaultsRoot), platform::SettingsFolder()}) {
            QFile::remove(folder);
            QDir(folder).removeRecursively();
        }
    }
};

TEST_P(MoveEarlierSettings, MovesOnceAndLeavesHostileNamesAlone)
{
    const MoveCase& c = GetParam();
    c.arrange();
    EXPECT_EQ(platform::MoveEarlierSettings(kRoots, kApp), c.moved);

    const QString file = platform::SettingsFile(kApp);
    EXPECT_EQ(file, ConfigHome() + QStringLiteral("/quorrel/quorrel.conf"));
    std::map<QString, QVariant> found = OnDisk(file);
    ASSERT_EQ(found.size(), c.expected.size());
    for (const auto& [key, value] : c.expected) {
        ASSERT_TRUE(found.count(key)) << key.toStdString();
        EXPECT_EQ(found[key].typeId() == QMetaType::QByteArray, value.typeId() == QMetaType::QByteArray);
        EXPECT_EQ(found[key].toString(), value.toString()) << key.toStdString();
        EXPECT_EQ(found[key].toByteArray(), value.toByteArray()) << key.toStdString();
    }
    for (const QString& root : kRoots) {
        const QString old = OldFile(root);
        struct stat st {};
        const bool there = lstat(QFile::encodeName(old).constData(), &st) == 0;
        EXPECT_EQ(there, c.remaining.contains(old)) << old.toStdString();
        if (!there && !c.remaining.contains(OldFolder(root))) {
            EXPECT_FALSE(QFileInfo::exists(OldFolder(root))) << "an emptied folder is removed";
        }
    }
    // Once: a second start finds nothing more to move and changes nothing.
    EXPECT_EQ(platform::MoveEarlierSettings(kRoots, kApp), 0);
    EXPECT_EQ(OnDisk(file).size(), c.expected.size());
}

const std::map<QString, QVariant> kAllMoved = {{QStringLiteral("Recent File List/File1"), QStringLiteral("/tmp/a b.wpp")},
                                                {QStringLiteral("Settings/PreviewPages"), QStringLiteral("2")},
                                                {QStringLiteral("DefVals/DefVals"), kDefVals}};

INSTANTIATE_TEST_SUITE_P(
    Cases, MoveEarlierSettings,
    ::testing::Values(
        MoveCase{"NothingToMove", [] {}, 0, {}, {}},
        MoveCase{"BothRootsIntoOneFile", WriteBothOld, 2, kAllMoved, {}},
        MoveCase{"KeysAlreadyThereWin",
                 [] {
                     WriteBothOld();
                     platform::OpenSettings(kRecentRoot, kApp)->setValue(QStringLiteral("Settings/PreviewPages"), 1);
                 },
                 2,
                 {{QStringLiteral("Recent File List/File1"), QStringLiteral("/tmp/a b.wpp")},
                  {QStringLiteral("Settings/PreviewPages"), QStringLiteral("1")},
                  {QStringLiteral("DefVals/DefVals"), kDefVals}},
                 {}},
        MoveCase{"AFolderWithOtherFilesStays",
                 [] {
                     WriteBothOld();
                     QFile other(OldFolder(kDefaultsRoot) + QStringLiteral("/Other.conf"));
                     ASSERT_TRUE(other.open(QIODevice::WriteOnly));
                 },
                 2, kAllMoved, {OldFolder(kDefaultsRoot)}},
        MoveCase{"APipeIsNotRead",
                 [] {
                     WriteOld(kRecentRoot, {{QStringLiteral("Settings/PreviewPages"), 2}});
                     ASSERT_TRUE(QDir().mkpath(OldFolder(kDefaultsRoot)));
                     ASSERT_EQ(mkfifo(QFile::encodeName(OldFile(kDefaultsRoot)).constData(), 0600), 0);
                 },
                 1, {{QStringLiteral("Settings/PreviewPages"), QStringLiteral("2")}}, {OldFile(kDefaultsRoot)}},
        MoveCase{"AFolderIsNoSettingsFile",
                 [] { ASSERT_TRUE(QDir().mkpath(OldFile(kRecentRoot))); },
                 0, {}, {OldFile(kRecentRoot)}},
        MoveCase{"AnOversizedFileIsNotRead",
                 [] {
                     ASSERT_TRUE(QDir().mkpath(OldFolder(kRecentRoot)));
                     QFile big(OldFile(kRecentRoot));
                     ASSERT_TRUE(big.open(QIODevice::WriteOnly));
                     big.write("[Settings]\nPreviewPages=2\n");
                     ASSERT_TRUE(big.resize(2 << 20));
                 },
                 0, {}, {OldFile(kRecentRoot)}},
        MoveCase{"ALinkIsReadThroughAndRemovedItself",
                 [] {
                     WriteOld(kDefaultsRoot, {{QStringLiteral("DefVals/DefVals"), kDefVals}});
                     ASSERT_TRUE(QDir().mkpath(OldFolder(kRecentRoot)));
                     ASSERT_TRUE(QFile::rename(OldFile(kDefaultsRoot), ConfigHome() + QStringLiteral("/target.conf")));
                     ASSERT_TRUE(QDir().rmdir(OldFolder(kDefaultsRoot)));
                     ASSERT_TRUE(QFile::link(ConfigHome() + QStringLiteral("/target.conf"), OldFile(kRecentRoot)));
                 },
                 1, {{QStringLiteral("DefVals/DefVals"), kDefVals}}, {}},
        MoveCase{"AnUnwritableSettingsFolderKeepsTheOldFiles",
                 [] {
                     WriteBothOld();
                     QFile blocker(platform::SettingsFolder());   // a file where the folder should be
                     ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
                 },
                 0, {}, {OldFile(kRecentRoot), OldFile(kDefaultsRoot)}}),
    [](const ::testing::TestParamInfo<MoveCase>& info) { return std::string(info.param.name); });

} // namespace
