// Documents and hostile files: a pipe or a device is refused without the
// editor waiting on it, on every route a name comes in; names that are not
// UTF-8 open and save; saving keeps the file's mode and links and clears a
// temporary a save that died left behind.

#include "EditorFixture.h"

#include "model/TileParams.h"
#include "model/WppFile.h"
#include "platform/NativePath.h"
#include "platform/SettingsLocation.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quorrel;
using namespace quorrel::app;
using platform::NativePath;
using platform::PathFromNative;
using quorrel::test::EditorFixture;
using quorrel::test::ReadFile;

namespace {

class DocumentFilesTest : public EditorFixture {
protected:
    // A valid document of `width` pixels at `path` (the system's bytes).
    static void WriteDocument(const QByteArray& path, uint32_t width)
    {
        auto params = std::make_unique<model::CTileParams>();
        params->m_nWidth = width;
        params->GenerateRandom(3u);
        std::string error;
        ASSERT_TRUE(model::WriteWppFile(path.toStdString(), *params, error)) << error;
    }
    static std::string ReadNative(const QByteArray& path)
    {
        std::ifstream in(path.constData(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static struct stat Lstat(const QString& path)
    {
        struct stat st {};
        EXPECT_EQ(::lstat(NativePath(path).constData(), &st), 0) << path.toStdString();
        return st;
    }
    // Changes the active document and saves it under its own name.
    void ChangeAndSave()
    {
        Press(Qt::Key_F5);
        ASSERT_TRUE(ActiveDoc()->IsModified());
        Press(Qt::Key_S, Qt::ControlModifier);
        EXPECT_FALSE(ActiveDoc()->IsModified());
    }
};

// Lets a reader that blocked on the pipe go after two seconds, so a test
// fails instead of hanging; Rescued() tells whether it had to.
class PipeRescuer final {
public:
    explicit PipeRescuer(const QString& fifo)
        : m_thread([this, path = NativePath(fifo)] {
              for (int i = 0; i < 200 && !m_done; ++i)
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              if (m_done)
                  return;
              m_rescued = true;
              const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK);
              if (fd >= 0)
                  ::close(fd);
          })
    {
    }
    ~PipeRescuer() { Stop(); }
    bool Rescued()
    {
        Stop();
        return m_rescued;
    }

private:
    void Stop()
    {
        m_done = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    std::atomic<bool> m_done{false}, m_rescued{false};
    std::thread m_thread;
};

} // namespace

TEST_F(DocumentFilesTest, APipeIsRefusedOnTheCommandLineWithoutWaiting)
{
    const QString fifo = TempPath("fifo.wpp");
    ASSERT_EQ(::mkfifo(NativePath(fifo).constData(), 0600), 0);
    PipeRescuer rescuer(fifo);
    EXPECT_FALSE(Start({fifo}));
    EXPECT_FALSE(rescuer.Rescued()) << "the editor waited on the pipe";
    EXPECT_EQ(messages, QStringList{"Failed to open document."});
}

TEST_F(DocumentFilesTest, PipesDevicesAndFoldersAreRefusedThroughTheHandOverAndTheOpenDialog)
{
    const QString fifo = TempPath("fifo.wpp");
    ASSERT_EQ(::mkfifo(NativePath(fifo).constData(), 0600), 0);
    ASSERT_TRUE(Start());
    ASSERT_EQ(DocumentCount(), 1);
    {
        PipeRescuer rescuer(fifo);
        m_app->OpenRequestedFiles({fifo});
        EXPECT_FALSE(rescuer.Rescued()) << "the editor waited on the pipe";
    }
    {
        PipeRescuer rescuer(fifo);
        chosenFiles = {fifo};
        Frame()->Router().Execute(ID_FILE_OPEN);
        EXPECT_FALSE(rescuer.Rescued()) << "the editor waited on the pipe";
    }
    // /dev/zero would read as a document of zero harmonics.
    m_app->OpenRequestedFiles({"/dev/zero", "/dev/null", TempPath("")});
    EXPECT_EQ(messages, QStringList(5, "Failed to open document."));
    EXPECT_EQ(DocumentCount(), 1);
}

TEST_F(DocumentFilesTest, NamesThatAreNotUtf8OpenOnEveryRouteAndSaveInPlace)
{
    const QByteArray folder = QFile::encodeName(QDir::cleanPath(TempPath("")));
    const QByteArray first = folder + "/\xff\xfe-first.wpp", second = folder + "/caf\xe9.wpp",
                     third = folder + "/th\xefrd.wpp";
    WriteDocument(first, 101);
    WriteDocument(second, 102);
    WriteDocument(third, 103);

    // The command line, as main() decodes argv, relative to the current folder.
    const QString current = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(TempPath("")));
    const bool started = Start({PathFromNative("\xff\xfe-first.wpp")});
    QDir::setCurrent(current);
    ASSERT_TRUE(started);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    EXPECT_EQ(ActiveDoc()->m_params.m_nWidth, 101u);
    EXPECT_EQ(ActiveDoc()->GetTitle(), QString::fromUtf8("\xef\xbf\xbd\xef\xbf\xbd-first.wpp"));
    EXPECT_EQ(NativePath(ActiveDoc()->GetPathName()), first);

    // The hand-over from a later start.
    m_app->OpenRequestedFiles({PathFromNative(second)});
    EXPECT_EQ(ActiveDoc()->m_params.m_nWidth, 102u);

    // The Open dialog, which shows the bytes it cannot decode as U+FFFD.
    chosenFiles = {QString::fromUtf8(third)};
    Frame()->Router().Execute(ID_FILE_OPEN);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    ASSERT_EQ(DocumentCount(), 3);
    EXPECT_EQ(ActiveDoc()->m_params.m_nWidth, 103u);

    // Saving writes the same file, not one named with U+FFFD.
    const std::string before = ReadNative(third);
    ChangeAndSave();
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    EXPECT_NE(ReadNative(third), before);
    EXPECT_EQ(ReadNative(third).size(), model::SaveWpp(ActiveDoc()->m_params).size());
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.constData()))
        ++entries;
    EXPECT_EQ(entries, 3);
    m_app.reset();
    std::filesystem::remove(first.constData());
    std::filesystem::remove(second.constData());
    std::filesystem::remove(third.constData());
}

TEST_F(DocumentFilesTest, ARecentFileWhoseNameIsNotUtf8ShowsAndReopensInALaterRun)
{
    const QByteArray path = QFile::encodeName(QDir::cleanPath(TempPath(""))) + "/caf\xe9.wpp";
    WriteDocument(path, 102);
    const QString shownName = QString::fromUtf8("caf\xef\xbf\xbd.wpp");

    // Opened in this run: the entry holds the real name, the menu shows
    // U+FFFD for the byte it cannot show.
    ASSERT_TRUE(Start({PathFromNative(path)}));
    ASSERT_EQ(m_app->GetRecentFileList()->Entries(), QStringList{PathFromNative(path)});
    QMenu* file = Frame()->menuBar()->actions().value(0)->menu();
    ASSERT_NE(file, nullptr);
    emit file->aboutToShow();
    EXPECT_EQ(Frame()->Action(ID_FILE_MRU_FILE1)->text().toStdString(), ("&1 " + shownName).toStdString());
    m_app.reset();

    // The settings file holds text, so a later run reads the name back with
    // U+FFFD in place of the byte; the entry still finds its file.
    const QString stored = QString::fromUtf8(path);
    ASSERT_TRUE(stored.contains(QChar::ReplacementCharacter));
    quorrel::platform::OpenSettings("Local AppWizard-Generated Applications", "Quorrel")->setValue("Recent File List/File1", stored);
    ASSERT_TRUE(Start());
    ASSERT_EQ(m_app->GetRecentFileList()->Entries().size(), 1);
    EXPECT_EQ(NativePath(m_app->GetRecentFileList()->Entries().value(0)), path);
    file = Frame()->menuBar()->actions().value(0)->menu();
    emit file->aboutToShow();
    QAction* first = Frame()->Action(ID_FILE_MRU_FILE1);
    EXPECT_EQ(first->text().toStdString(), ("&1 " + shownName).toStdString());
    first->trigger();
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    ASSERT_EQ(DocumentCount(), 2);
    EXPECT_EQ(ActiveDoc()->m_params.m_nWidth, 102u);
    EXPECT_EQ(NativePath(ActiveDoc()->GetPathName()), path);
    EXPECT_EQ(m_app->GetRecentFileList()->Entries(), QStringList{PathFromNative(path)});
    m_app.reset();
    std::filesystem::remove(path.constData());
}

TEST_F(DocumentFilesTest, SavingKeepsThePrivateModeAndTheLinks)
{
    const QString secret = TempPath("secret.wpp");
    WriteDocument(NativePath(secret), 90);
    ASSERT_EQ(::chmod(NativePath(secret).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkpath(TempPath("real")));
    const QString target = TempPath("real/doc.wpp");
    WriteDocument(NativePath(target), 91);
    ASSERT_TRUE(QFile::link("real/doc.wpp", TempPath("link.wpp")));
    const QString twin = TempPath("twin.wpp");
    ASSERT_EQ(::link(NativePath(target).constData(), NativePath(twin).constData()), 0);

    ASSERT_TRUE(Start({secret}));
    ChangeAndSave();
    EXPECT_EQ(Lstat(secret).st_mode & 07777, 0600u);

    m_app->OpenRequestedFiles({TempPath("link.wpp")});
    ASSERT_EQ(ActiveDoc()->m_params.m_nWidth, 91u);
    ChangeAndSave();
    const QByteArray saved = ReadFile(target);
    EXPECT_TRUE(S_ISLNK(Lstat(TempPath("link.wpp")).st_mode));
    EXPECT_EQ(saved.size(), qsizetype(model::SaveWpp(ActiveDoc()->m_params).size()));
    EXPECT_EQ(ReadFile(twin), saved);   // the hard link sees it too
    EXPECT_EQ(Lstat(twin).st_ino, Lstat(target).st_ino);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
}

TEST_F(DocumentFilesTest, ATemporaryLeftByASaveThatDiedGoesWithTheNextSave)
{
    const QString doc = TempPath("doc.wpp");
    WriteDocument(NativePath(doc), 80);
    quorrel::test::WriteFile(TempPath(".doc.wpp.quorrel-tmp"), QByteArray(500, 'h'));
    ASSERT_TRUE(Start({doc}));
    ChangeAndSave();
    EXPECT_EQ(QDir(TempPath("")).entryList(QDir::Files | QDir::Hidden), QStringList{"doc.wpp"});
}

TEST_F(DocumentFilesTest, SavingOverADocumentMadeReadOnlyFailsAndTheDocumentStaysModified)
{
    // Opened, then made read-only: Save is refused like any failed save,
    // the file keeps its bytes and mode, and Save As stays the way out.
    const QString doc = TempPath("locked.wpp");
    WriteDocument(NativePath(doc), 80);
    ASSERT_TRUE(Start({doc}));
    ASSERT_EQ(::chmod(NativePath(doc).constData(), 0444), 0);
    const std::string before = ReadNative(NativePath(doc));
    Press(Qt::Key_F5);
    ASSERT_TRUE(ActiveDoc()->IsModified());
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(ActiveDoc()->IsModified());
    EXPECT_EQ(messages, QStringList{"Failed to save document."});
    EXPECT_EQ(ReadNative(NativePath(doc)), before);
    EXPECT_EQ(Lstat(doc).st_mode & 07777, 0444u);
    EXPECT_EQ(QDir(TempPath("")).entryList(QDir::Files | QDir::Hidden), QStringList{"locked.wpp"});
}
