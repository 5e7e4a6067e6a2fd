// Documents: stored defaults carried from one document to the next, the
// prompt on closing a modified document, saving that never damages the old
// file, opening with the framework's messages, and the open-document count.

#include "EditorFixture.h"

#include "support/Golden.h"

#include "platform/MDIChildWnd.h"

#include "model/DataObj.h"
#include "model/WppFile.h"
#include "platform/SettingsLocation.h"

#include <QDir>
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMdiArea>
#include <QMenuBar>
#include <QSettings>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace quorrel;
using namespace quorrel::app;
using quorrel::test::EditorFixture;
using quorrel::test::ReadFile;
using quorrel::test::WriteFile;
using platform::MsgResult;

namespace {

using DocumentTest = EditorFixture;

QByteArray StoredDefaults() { return quorrel::platform::OpenSettings("Vantorel", "Quorrel")->value("DefVals/DefVals").toByteArray(); }

QString GoldenPath(const std::string& relative)
{
    return QString::fromStdString((quorrel::test::GoldenDir() / relative).string());
}

TEST_F(DocumentTest, TheLastClosedDocumentSetsTheNextNewOnesDefaults)
{
    ASSERT_TRUE(Start());
    EXPECT_TRUE(StoredDefaults().isEmpty());   // first run: built-in defaults
    EXPECT_EQ(ActiveDoc()->m_params.m_nWidth, 125u);

    ActiveDoc()->m_params.m_nWidth = 300;
    ActiveDoc()->m_params.m_dCorrel[2][1] = 0.25;
    Frame()->Router().Execute(ID_FILE_CLOSE);   // "No" to saving
    EXPECT_EQ(DocumentCount(), 0);

    const QByteArray stored = StoredDefaults();
    ASSERT_EQ(stored.size(), 672);
    EXPECT_EQ(stored.left(16), QByteArray("\x01\x00\xFF\xFF\x01\x00\x08\x00" "CDataObj", 16));
    const auto decoded = model::DecodeDefaults(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(stored.constData()), 672));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->m_nWidth, 300u);

    // The next document starts from them (the constructor loads them; the
    // first generation then fills the coefficients).
    CQuorrelDoc fresh;
    EXPECT_EQ(fresh.m_params.m_nWidth, 300u);
    EXPECT_EQ(fresh.m_params.m_dCorrel[2][1], 0.25);
    EXPECT_EQ(fresh.m_params.m_nCosCos[0][0][0], 0);
    fresh.m_params.m_nWidth = 300;   // its destructor stores the same again

    Frame()->Router().Execute(ID_FILE_NEW);
    EXPECT_EQ(ActiveDoc()->m_params.m_nWidth, 300u);
    EXPECT_EQ(ActiveView()->GetTotalSize(), QSize(300, 125));
}

TEST_F(DocumentTest, ClosingAModifiedDocumentAsksToSaveChanges)
{
    ASSERT_TRUE(Start());
    answers = {MsgResult::Cancel};
    Frame()->Router().Execute(ID_FILE_CLOSE);
    EXPECT_EQ(messages, QStringList{"Save changes to Quorrel1?"});
    EXPECT_EQ(DocumentCount(), 1);

    // Closing the window asks the same.
    answers = {MsgResult::Cancel};
    Frame()->MDIGetActive()->close();
    QApplication::processEvents();
    EXPECT_EQ(messages.size(), 2);
    EXPECT_EQ(DocumentCount(), 1);

    // Yes saves (asking for a name first) and then closes.
    const QString path = TempPath("closing.wpp");
    answers = {MsgResult::Yes};
    chosenFiles = {TempPath("closing")};   // the extension is added
    Frame()->Router().Execute(ID_FILE_CLOSE);
    EXPECT_EQ(DocumentCount(), 0);
    EXPECT_EQ(g_nOpenDocs, 0);
    EXPECT_EQ(ReadFile(path).size(), 1520);
    EXPECT_EQ(m_app->GetRecentFileList()->Entries().value(0), path);

    // An unmodified document closes without a question.
    ASSERT_TRUE(m_app->OpenDocumentFile(path));
    messages.clear();
    Frame()->Router().Execute(ID_FILE_CLOSE);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(DocumentCount(), 0);
}

TEST_F(DocumentTest, ClosingTheLastWindowOfADocumentClosesTheDocument)
{
    ASSERT_TRUE(Start());
    Press(Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(DocumentCount(), 2);
    answers = {MsgResult::No};
    Frame()->MDIGetActive()->close();   // the window's own close button
    QApplication::processEvents();
    EXPECT_EQ(messages, QStringList{"Save changes to Quorrel2?"});
    EXPECT_EQ(DocumentCount(), 1);
    EXPECT_EQ(g_nOpenDocs, 1);
    EXPECT_EQ(Frame()->MdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(ActiveDoc()->GetTitle(), "Quorrel1");
    Press(Qt::Key_F5);                  // the remaining view still works
    EXPECT_EQ(ActiveView()->History().Size(), 2u);
}

TEST_F(DocumentTest, ExitAsksForEveryModifiedDocumentAndCancelKeepsRunning)
{
    ASSERT_TRUE(Start());
    Press(Qt::Key_N, Qt::ControlModifier);
    answers = {MsgResult::No, MsgResult::Cancel};
    Frame()->Router().Execute(ID_APP_EXIT);
    EXPECT_EQ(messages.size(), 2);
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_EQ(DocumentCount(), 2);

    messages.clear();
    Frame()->Router().Execute(ID_APP_EXIT);   // "No" twice
    EXPECT_EQ(messages, (QStringList{"Save changes to Quorrel1?", "Save changes to Quorrel2?"}));
    EXPECT_EQ(DocumentCount(), 0);
    EXPECT_FALSE(Frame()->isVisible());
}

TEST_F(DocumentTest, SaveAndOpenRoundTripAFileByteForByte)
{
    const QString golden = GoldenPath("render/random-01.wpp");
    const QByteArray original = ReadFile(golden);
    ASSERT_GT(original.size(), 656);
    const QString copy = TempPath("copy.wpp");
    WriteFile(copy, original);

    ASSERT_TRUE(Start({copy}));   // a file on the command line opens it
    EXPECT_EQ(DocumentCount(), 1);
    EXPECT_EQ(ActiveDoc()->m_bFromFile, 1);
    EXPECT_EQ(ActiveDoc()->GetTitle(), "copy.wpp");
    EXPECT_FALSE(ActiveDoc()->IsModified());

    // Opened documents render at once, exactly as the reference renderer does.
    const QByteArray ppm = ReadFile(GoldenPath("render/random-01.ppm"));
    QImage expected;
    ASSERT_TRUE(expected.loadFromData(ppm, "PPM"));
    const QImage shown = ActiveView()->RenderedBitmap().copy(0, 0, expected.width(), expected.height());
    EXPECT_EQ(shown, expected.convertToFormat(QImage::Format_RGB32));

    const QString saved = TempPath("saved.wpp");
    chosenFiles = {saved};
    Frame()->Router().Execute(ID_FILE_SAVE_AS);
    EXPECT_EQ(ReadFile(saved), original);
    EXPECT_EQ(ActiveDoc()->GetPathName(), saved);
    EXPECT_EQ(Frame()->windowTitle(), "Quorrel - [saved.wpp]");
    EXPECT_EQ(ActiveView()->GetParentFrame()->windowTitle(), "saved.wpp");

    // Save after a change writes the new state; reopening reads it back.
    Press(Qt::Key_F5);
    EXPECT_TRUE(ActiveDoc()->IsModified());
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(ActiveDoc()->IsModified());
    const auto expectedBytes = model::SaveWpp(ActiveDoc()->m_params);
    const QByteArray written = ReadFile(saved);
    EXPECT_EQ(written, QByteArray(reinterpret_cast<const char*>(expectedBytes.data()), qsizetype(expectedBytes.size())));
    ActiveDoc()->OnCloseDocument();
    ASSERT_TRUE(m_app->OpenDocumentFile(saved));
    chosenFiles = {TempPath("again.wpp")};
    Frame()->Router().Execute(ID_FILE_SAVE_AS);
    EXPECT_EQ(ReadFile(TempPath("again.wpp")), written);
}

TEST_F(DocumentTest, AFailedSaveReportsItAndLeavesTheOldFileIntact)
{
    ASSERT_TRUE(Start());
    const QString path = TempPath("kept.wpp");
    const QByteArray old(700, 'x');
    WriteFile(path, old);

    // Writing stops early: files may not grow beyond 100 bytes.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 100;
    setrlimit(RLIMIT_FSIZE, &limited);
    chosenFiles = {path};
    Frame()->Router().Execute(ID_FILE_SAVE);
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_EQ(messages, QStringList{"Failed to save document."});
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_TRUE(ActiveDoc()->IsModified());
    EXPECT_TRUE(ActiveDoc()->GetPathName().isEmpty());
    EXPECT_EQ(QDir(TempPath("")).entryList(QDir::Files | QDir::Hidden), QStringList{"kept.wpp"});
}

TEST_F(DocumentTest, FilesThatDoNotOpenAreReportedAndLeaveNothingOpen)
{
    ASSERT_TRUE(Start());
    const QString missing = TempPath("missing.wpp");
    EXPECT_EQ(m_app->OpenDocumentFile(missing), nullptr);
    EXPECT_EQ(messages.value(0), missing + "\nCannot find this file.\nPlease verify that the correct path and file name are given.");

    // 656 bytes whose counts ask for one coefficient cell more than there is.
    std::vector<uint8_t> record = model::SaveWpp(model::CTileParams());
    record.resize(656);
    for (int c = 0; c < 6; ++c) {
        const int at = 8 + 108 * c;
        for (int i = 0; i < 8; ++i)
            record[at + i] = 0;
    }
    const QString empty = TempPath("empty.wpp");
    WriteFile(empty, QByteArray(reinterpret_cast<const char*>(record.data()), 656));
    record[8] = 1;
    record[12] = 1;
    const QString shortFile = TempPath("short.wpp");
    WriteFile(shortFile, QByteArray(reinterpret_cast<const char*>(record.data()), 656));

    messages.clear();
    EXPECT_EQ(m_app->OpenDocumentFile(shortFile), nullptr);
    EXPECT_EQ(messages, QStringList{"Unexpected file format."});
    EXPECT_EQ(DocumentCount(), 1);
    // A failed open was never counted, so it must not uncount either.
    EXPECT_EQ(g_nOpenDocs, 1);
    EXPECT_NE(m_app->OpenDocumentFile(empty), nullptr);
    EXPECT_EQ(g_nOpenDocs, 2);

    // With the count right, the limit still stops at five documents.
    for (int i = 0; i < 5; ++i)
        Frame()->Router().Execute(ID_FILE_NEW);
    EXPECT_EQ(DocumentCount(), 5);
    EXPECT_FALSE(IsEnabled(ID_FILE_NEW));

    // The document that failed to open stored its untouched defaults, not
    // the half-read counts of the file.
    const QByteArray stored = StoredDefaults();
    const auto decoded = model::DecodeDefaults(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(stored.constData()), size_t(stored.size())));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->m_nHorzHarm[0], 3u);
}

TEST_F(DocumentTest, StartUpWithAFileThatDoesNotOpenFails)
{
    EXPECT_FALSE(Start({TempPath("nowhere.wpp")}));
    EXPECT_EQ(g_nOpenDocs, 0);
}

} // namespace

namespace {

using RecentFilesTest = EditorFixture;

TEST_F(RecentFilesTest, SavedFilesAreRememberedAcrossRunsAndOpenFromTheMenu)
{
    ASSERT_TRUE(Start());
    const QString path = TempPath("remembered.wpp");
    chosenFiles = {path};
    Press(Qt::Key_S, Qt::ControlModifier);
    const auto settings = quorrel::platform::OpenSettings("Local AppWizard-Generated Applications", "Quorrel");
    EXPECT_EQ(settings->value("Recent File List/File1").toString(), path);
    m_app->WriteProfileInt("Settings", "PreviewPages", 2);
    EXPECT_EQ(settings->value("Settings/PreviewPages").toInt(), 2);
    m_app.reset();

    ASSERT_TRUE(Start());
    EXPECT_EQ(m_app->GetProfileInt("Settings", "PreviewPages", 1), 2);
    ASSERT_EQ(m_app->GetRecentFileList()->Entries(), QStringList{path});
    QMenu* file = Frame()->menuBar()->actions().value(0)->menu();
    ASSERT_NE(file, nullptr);
    emit file->aboutToShow();
    QAction* first = Frame()->Action(ID_FILE_MRU_FILE1);
    EXPECT_EQ(first->text(), "&1 remembered.wpp");
    EXPECT_TRUE(first->isEnabled());
    EXPECT_FALSE(Frame()->Action(ID_FILE_MRU_FILE1 + 1)->isVisible());

    first->trigger();
    EXPECT_EQ(DocumentCount(), 2);
    EXPECT_EQ(ActiveDoc()->GetPathName(), path);

    // An entry that no longer opens is reported and leaves the list.
    ActiveDoc()->OnCloseDocument();
    QFile::remove(path);
    first->trigger();
    EXPECT_EQ(messages.size(), 1);
    EXPECT_TRUE(m_app->GetRecentFileList()->IsEmpty());
    emit file->aboutToShow();
    EXPECT_EQ(first->text(), "Recent File");
    EXPECT_FALSE(first->isEnabled());
}

// The settings an earlier version kept in a folder per settings root are
// the editor's at its next start, and from then on live in its own folder.
TEST_F(RecentFilesTest, SettingsOfAnEarlierVersionMoveIntoTheProgramsOwnFolder)
{
    const QString recent = TempPath("earlier.wpp");
    WriteFile(recent, {});
    model::CTileParams stored;
    stored.m_nWidth = 300;
    const std::vector<uint8_t> defaults = model::EncodeDefaults(stored);
    QStringList oldFiles;
    {
        QSettings old("Local AppWizard-Generated Applications", "Quorrel");
        old.setValue("Recent File List/File1", recent);
        old.setValue("Settings/PreviewPages", 2);
        QSettings oldDefaults("Vantorel", "Quorrel");
        oldDefaults.setValue("DefVals/DefVals",
                             QByteArray(reinterpret_cast<const char*>(defaults.data()), qsizetype(defaults.size())));
        oldFiles << old.fileName() << oldDefaults.fileName();
    }
    ASSERT_TRUE(QFileInfo(oldFiles[0]).isFile());
    ASSERT_TRUE(QFileInfo(oldFiles[1]).isFile());

    ASSERT_TRUE(Start());
    EXPECT_EQ(m_app->GetRecentFileList()->Entries(), QStringList{recent});
    EXPECT_EQ(m_app->GetProfileInt("Settings", "PreviewPages", 1), 2);
    EXPECT_EQ(ActiveDoc()->m_params.m_nWidth, 300u);
    m_app.reset();   // closing stores the defaults and the recent files

    for (const QString& old : oldFiles) {
        EXPECT_FALSE(QFileInfo::exists(old)) << old.toStdString();
        EXPECT_FALSE(QFileInfo::exists(QFileInfo(old).path())) << old.toStdString();
    }
    const QString file = platform::SettingsFile("Quorrel");
    EXPECT_TRUE(file.endsWith("/quorrel/quorrel.conf")) << file.toStdString();
    QSettings written(file, QSettings::IniFormat);
    EXPECT_EQ(written.value("Recent File List/File1").toString(), recent);
    EXPECT_EQ(written.value("DefVals/DefVals").toByteArray().size(), qsizetype(defaults.size()));
}

} // namespace
