// Whatever the settings or the disk throw at the editor: damaged, truncated,
// oversized or unreadable stored defaults and an unwritable configuration
// folder never stop a new document (the built-in defaults are used and
// nothing is reported); a save that fails on a read-only folder, a full disk
// or a folder that vanished shows the framework's message ("Destination disk
// drive is full." for the full disk) and keeps the old file.

#include "EditorFixture.h"

#include "platform/MDIChildWnd.h"

#include "model/DataObj.h"
#include "model/TileParams.h"
#include "platform/SettingsLocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <sys/mount.h>
#include <unistd.h>

using namespace quorrel;
using namespace quorrel::app;
using quorrel::test::EditorFixture;
using quorrel::test::ReadFile;
using quorrel::test::WriteFile;

namespace {

class RobustnessTest : public EditorFixture {
protected:
    void TearDown() override
    {
        // Put the configuration folder back so the next test can clear it.
        const QString file = ConfigFile();
        QFile(QFileInfo(file).path()).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (QFileInfo(file).isDir())
            QDir(file).removeRecursively();
        EditorFixture::TearDown();
    }
    static QString ConfigFile() { return quorrel::platform::OpenSettings("Vantorel", "Quorrel")->fileName(); }

    // A valid stored value of a parameter set that differs from the
    // built-in one, so a document that picked it up shows it.
    static QByteArray ValidDefaults()
    {
        model::CTileParams params;
        params.m_nWidth = 300;
        const auto bytes = model::EncodeDefaults(params);
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    }
    static void StoreRaw(const QByteArray& value) { quorrel::platform::OpenSettings("Vantorel", "Quorrel")->setValue("DefVals/DefVals", value); }

    // The editor starts with one new document on the built-in defaults and
    // without a message; a second new document and closing both work too.
    void ExpectBuiltInDefaultsSilently()
    {
        ASSERT_TRUE(Start());
        ASSERT_EQ(DocumentCount(), 1);
        const model::CTileParams builtIn;
        EXPECT_EQ(ActiveDoc()->m_params.m_nWidth, builtIn.m_nWidth);
        EXPECT_EQ(ActiveDoc()->m_params.m_nHeight, builtIn.m_nHeight);
        EXPECT_EQ(ActiveDoc()->m_params.m_nHorzHarm[0], builtIn.m_nHorzHarm[0]);
        EXPECT_TRUE(ActiveView()->IsRendered());
        Frame()->Router().Execute(ID_FILE_NEW);
        EXPECT_EQ(DocumentCount(), 2);
        Frame()->Router().Execute(ID_FILE_CLOSE);   // "No" to saving
        Frame()->Router().Execute(ID_FILE_CLOSE);
        EXPECT_EQ(DocumentCount(), 0);
        // Only the save prompts were shown.
        EXPECT_EQ(messages, (QStringList{"Save changes to Quorrel2?", "Save changes to Quorrel1?"}));
    }
};

TEST_F(RobustnessTest, ValidStoredDefaultsAreUsedSoTheCasesBelowMeanSomething)
{
    StoreRaw(ValidDefaults());
    ASSERT_TRUE(Start());
    EXPECT_EQ(ActiveDoc()->m_params.m_nWidth, 300u);
}

TEST_F(RobustnessTest, TruncatedStoredDefaultsAreIgnored)
{
    for (const int size : {0, 1, 6, 16, 300, 671}) {
        SCOPED_TRACE(size);
        StoreRaw(ValidDefaults().left(size));
        ExpectBuiltInDefaultsSilently();
        m_app.reset();
        messages.clear();
    }
}

TEST_F(RobustnessTest, CorruptStoredDefaultsAreIgnored)
{
    QByteArray badClass = ValidDefaults();
    badClass[10] = 'X';                     // another class name
    QByteArray badCount = ValidDefaults();
    badCount[8 + 8 + 8] = char(0xFF);       // a harmonic count far out of range
    QByteArray noise(672, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 151 + 7) & 0xFF);
    for (const QByteArray& value : {badClass, badCount, noise}) {
        StoreRaw(value);
        ExpectBuiltInDefaultsSilently();
        m_app.reset();
        messages.clear();
    }
    // A value of another type altogether.
    quorrel::platform::OpenSettings("Vantorel", "Quorrel")->setValue("DefVals/DefVals", QStringLiteral("not a parameter set"));
    ExpectBuiltInDefaultsSilently();
}

TEST_F(RobustnessTest, OversizedStoredDefaultsAreIgnored)
{
    QByteArray huge = ValidDefaults();
    huge.append(QByteArray(8 * 1024 * 1024, 'x'));
    StoreRaw(huge);
    ExpectBuiltInDefaultsSilently();
}

TEST_F(RobustnessTest, AnUnreadableSettingsFileIsIgnored)
{
    StoreRaw(ValidDefaults());
    // A folder where the settings file should be: neither readable nor
    // writable, for root too.
    const QString file = ConfigFile();
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QDir().mkpath(file));
    ExpectBuiltInDefaultsSilently();
    EXPECT_TRUE(QFileInfo(file).isDir());
}

TEST_F(RobustnessTest, AReadOnlyConfigurationFolderIsIgnored)
{
    StoreRaw(QByteArray("broken"));
    quorrel::platform::OpenSettings("Vantorel", "Quorrel")->sync();
    const QString file = ConfigFile();
    const QByteArray before = ReadFile(file);
    const QString folder = QFileInfo(file).path();
    ASSERT_TRUE(QFile(file).setPermissions(QFile::ReadOwner));
    ASSERT_TRUE(QFile(folder).setPermissions(QFile::ReadOwner | QFile::ExeOwner));
    ExpectBuiltInDefaultsSilently();
    // Closing stored nothing where nothing can be written (root writes anyway).
    if (geteuid() != 0) {
        EXPECT_EQ(ReadFile(file), before);
    }
    QFile(file).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

using FailingSaveTest = EditorFixture;

TEST_F(FailingSaveTest, AFolderThatVanishedReportsItAndKeepsTheDocument)
{
    ASSERT_TRUE(Start());
    const QString folder = TempPath("gone");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + "/tile.wpp";
    chosenFiles = {path};
    Frame()->Router().Execute(ID_FILE_SAVE);
    ASSERT_EQ(ActiveDoc()->GetPathName(), path);
    EXPECT_TRUE(messages.isEmpty());

    Press(Qt::Key_F5);
    ASSERT_TRUE(ActiveDoc()->IsModified());
    ASSERT_TRUE(QDir(folder).removeRecursively());
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(messages, QStringList{"Failed to save document."});
    EXPECT_TRUE(ActiveDoc()->IsModified());
    EXPECT_EQ(ActiveDoc()->GetPathName(), path);
    EXPECT_FALSE(QFileInfo::exists(folder));

    // Save As somewhere that exists still works afterwards.
    chosenFiles = {TempPath("rescued.wpp")};
    Frame()->Router().Execute(ID_FILE_SAVE_AS);
    EXPECT_FALSE(ActiveDoc()->IsModified());
    EXPECT_EQ(ReadFile(TempPath("rescued.wpp")).size(), 1520);
}

// A small tmpfs of its own mounted on `folder` while it lives; needs the
// right to mount (root outside a locked-down container).
class ScopedTmpfs final {
public:
    explicit ScopedTmpfs(const QString& folder, const char* options)
        : m_folder(QFile::encodeName(folder))
    {
        m_mounted = ::mount("tmpfs", m_folder.constData(), "tmpfs", 0, options) == 0;
    }
    ~ScopedTmpfs()
    {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    ScopedTmpfs(const ScopedTmpfs&) = delete;
    ScopedTmpfs& operator=(const ScopedTmpfs&) = delete;
    bool IsMounted() const { return m_mounted; }
    bool RemountReadOnly()
    {
        return ::mount(nullptr, m_folder.constData(), nullptr, MS_REMOUNT | MS_RDONLY, "size=64k") == 0;
    }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};

TEST_F(FailingSaveTest, AReadOnlyFolderReportsItAndLeavesTheOldFileIntact)
{
    const QString folder = TempPath("readonly");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + "/kept.wpp";
    const QByteArray old(700, 'x');

    // Permissions stop every user but root; for root a read-only mount does.
    std::unique_ptr<ScopedTmpfs> mount;
    if (geteuid() == 0) {
        mount = std::make_unique<ScopedTmpfs>(folder, "size=64k");
        if (!mount->IsMounted())
            GTEST_SKIP() << "root may not mount a tmpfs here, and permissions do not stop root";
        WriteFile(path, old);
        ASSERT_TRUE(mount->RemountReadOnly());
    } else {
        WriteFile(path, old);
        ASSERT_TRUE(QFile(folder).setPermissions(QFile::ReadOwner | QFile::ExeOwner));
    }

    ASSERT_TRUE(Start());
    chosenFiles = {path};
    Frame()->Router().Execute(ID_FILE_SAVE);
    QFile(folder).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(messages, QStringList{"Failed to save document."});
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_TRUE(ActiveDoc()->IsModified());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"kept.wpp"});
}

TEST_F(FailingSaveTest, AFullDiskReportsItAndLeavesTheOldFileIntact)
{
    const QString folder = TempPath("tiny");
    ASSERT_TRUE(QDir().mkpath(folder));
    ScopedTmpfs tmpfs(folder, "size=16k");
    if (!tmpfs.IsMounted())
        GTEST_SKIP() << "no right to mount a tiny tmpfs here (the size limit case covers a short write)";
    const QString path = folder + "/kept.wpp";
    const QByteArray old(700, 'x');
    WriteFile(path, old);
    // Fill the rest of the disk.
    {
        QFile filler(folder + "/filler");
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(1024, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }

    ASSERT_TRUE(Start());
    chosenFiles = {path};
    Frame()->Router().Execute(ID_FILE_SAVE);
    EXPECT_EQ(messages, QStringList{"Destination disk drive is full."});
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_TRUE(ActiveDoc()->IsModified());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), (QStringList{"filler", "kept.wpp"}));

    // With room again the same save goes through.
    ASSERT_TRUE(QFile::remove(folder + "/filler"));
    messages.clear();
    chosenFiles = {path};
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_FALSE(ActiveDoc()->IsModified());
    EXPECT_EQ(ReadFile(path).size(), 1520);
}

} // namespace
