// The view's editing and output commands as the user reaches them: F4 and
// Shift+F4 with the editors answered by the test, Export Image with the
// dialog answered by the test, Set As Wallpaper with fake desktop helpers.

#include "EditorFixture.h"

#include "model/TileParams.h"
#include "output/DesktopWallpaper.h"
#include "output/ExportDialog.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTest>
#include <QTimer>

#include <vector>

using namespace quorrel;
using namespace quorrel::app;
using quorrel::test::EditorFixture;
using quorrel::test::TileOf;
using quorrel::test::WriteFile;

namespace {

class EditingCommandsTest : public EditorFixture {
protected:
    void TearDown() override
    {
        EditorFixture::TearDown();
        CQuorrelView::SetCoefficientsRunner({});
    }
    // A view with its first image, its document saved (not modified).
    CQuorrelView* StartSaved()
    {
        EXPECT_TRUE(Start());
        ActiveDoc()->SetModifiedFlag(false);
        return ActiveView();
    }
};

TEST_F(EditingCommandsTest, F4WithoutRegenerationKeepsCoefficientsPushesOnceAndMarksModified)
{
    CQuorrelView* view = StartSaved();
    const model::CTileParams before = view->GetDocument()->m_params;
    const QImage cornerBefore = view->RenderedBitmap().copy(0, 0, 100, 60);
    std::vector<bool> newDocumentFlags;
    CQuorrelView::SetPropertySheetRunner([&](CQuorrelView& v, bool newDocument, bool& regenerate) {
        newDocumentFlags.push_back(newDocument);
        // Only a colour range and the size change: no new coefficients needed.
        v.GetDocument()->m_params.m_nColorLow[model::Red] = 40;
        v.GetDocument()->m_params.m_nColorHigh[model::Red] = 90;
        v.GetDocument()->m_params.m_nWidth = 100;
        v.GetDocument()->m_params.m_nHeight = 60;
        regenerate = false;
        return true;
    });
    Press(Qt::Key_F4);
    ASSERT_EQ(newDocumentFlags, std::vector<bool>{false});
    const model::CTileParams& after = view->GetDocument()->m_params;
    EXPECT_EQ(view->History().Size(), 2u);
    EXPECT_EQ(std::memcmp(after.m_nCosCos, before.m_nCosCos, sizeof before.m_nCosCos), 0);
    EXPECT_EQ(after.m_nColorLow[model::Red], 40u);
    // Rendered again at the new size.
    EXPECT_NE(view->RenderedBitmap().copy(0, 0, 100, 60), cornerBefore);
    // The accepted edit must survive a close: the document asks to be saved.
    EXPECT_TRUE(ActiveDoc()->IsModified());
}

TEST_F(EditingCommandsTest, F4WithRegenerationIsOneRandomGeneration)
{
    CQuorrelView* view = StartSaved();
    const model::CTileParams before = view->GetDocument()->m_params;
    CQuorrelView::SetPropertySheetRunner([](CQuorrelView&, bool, bool& regenerate) {
        regenerate = true;
        return true;
    });
    Press(Qt::Key_F4);
    EXPECT_EQ(view->History().Size(), 2u);
    EXPECT_TRUE(ActiveDoc()->IsModified());
    EXPECT_FALSE(model::SameParams(view->GetDocument()->m_params, before));
}

TEST_F(EditingCommandsTest, CancelledSheetRestoresEveryFieldAndLeavesHistoryAndImage)
{
    CQuorrelView* view = StartSaved();
    const model::CTileParams before = view->GetDocument()->m_params;
    const QImage imageBefore = TileOf(view);
    CQuorrelView::SetPropertySheetRunner([](CQuorrelView& v, bool, bool& regenerate) {
        auto& p = v.GetDocument()->m_params;
        p.m_nWidth = 77;
        p.m_nHorzHarm[model::Green] = 3;
        p.m_nCosSin[model::Blue][0][1] = 12345;
        p.m_dCorrel[model::Hue][2] = 0.5;
        regenerate = true;
        return false;
    });
    Press(Qt::Key_F4);
    EXPECT_TRUE(model::SameParams(view->GetDocument()->m_params, before));
    EXPECT_EQ(view->History().Size(), 1u);
    EXPECT_FALSE(ActiveDoc()->IsModified());
    EXPECT_EQ(TileOf(view), imageBefore);
}

TEST_F(EditingCommandsTest, ConfirmedCoefficientsWarnBeforePushAndRender)
{
    CQuorrelView* view = StartSaved();
    CQuorrelView::SetCoefficientsRunner([](CQuorrelView& v) {
        v.GetDocument()->m_params.m_nCosCos[model::Red][1][1] += 1000;
        return true;
    });
    const QImage imageBefore = TileOf(view);
    size_t historyAtWarning = 0;
    bool imageChangedAtWarning = true;
    platform::SetMessageHandler([&](const platform::MessageRequest& request) {
        messages << request.text;
        EXPECT_EQ(request.caption, "Warning");
        EXPECT_EQ(request.icon, platform::MsgIcon::Warning);
        EXPECT_EQ(request.buttons, platform::MsgButtons::Ok);
        historyAtWarning = view->History().Size();
        imageChangedAtWarning = TileOf(view) != imageBefore;
        return platform::MsgResult::Ok;
    });
    Press(Qt::Key_F4, Qt::ShiftModifier);
    EXPECT_EQ(messages, QStringList{"The changes made will modify the symmetries."});
    EXPECT_EQ(historyAtWarning, 1u);
    EXPECT_FALSE(imageChangedAtWarning);
    EXPECT_EQ(view->History().Size(), 2u);
    EXPECT_NE(TileOf(view), imageBefore);
    EXPECT_TRUE(ActiveDoc()->IsModified());
}

TEST_F(EditingCommandsTest, CancelledCoefficientsRestoreWithoutWarningButMarkModified)
{
    CQuorrelView* view = StartSaved();
    const model::CTileParams before = view->GetDocument()->m_params;
    CQuorrelView::SetCoefficientsRunner([](CQuorrelView& v) {
        v.GetDocument()->m_params.m_nSinSin[model::Green][0][0] = -7;
        return false;
    });
    Press(Qt::Key_F4, Qt::ShiftModifier);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(model::SameParams(view->GetDocument()->m_params, before));
    EXPECT_EQ(view->History().Size(), 1u);
    EXPECT_TRUE(ActiveDoc()->IsModified());
}

TEST_F(EditingCommandsTest, NewDocumentOpensTheSheetInItsNewDocumentForm)
{
    std::vector<bool> newDocumentFlags;
    CQuorrelView::SetPropertySheetRunner([&](CQuorrelView&, bool newDocument, bool&) {
        newDocumentFlags.push_back(newDocument);
        return true;
    });
    ASSERT_TRUE(Start());
    EXPECT_EQ(newDocumentFlags, std::vector<bool>{true});
    EXPECT_EQ(ActiveView()->History().Size(), 1u);
    EXPECT_TRUE(ActiveDoc()->IsModified());
    // A document opened from a file shows without the sheet.
    const QString path = TempPath("a.wpp");
    chosenFiles.push_back(path);
    Frame()->Router().Execute(ID_FILE_SAVE);
    chosenFiles.push_back(path);
    Frame()->Router().Execute(ID_FILE_CLOSE);
    Frame()->Router().Execute(ID_FILE_OPEN);
    ASSERT_EQ(DocumentCount(), 1);
    EXPECT_TRUE(ActiveView()->IsRendered());
    EXPECT_EQ(newDocumentFlags.size(), 1u);
}

// Closes the next modal window with Escape once it shows, noting its title.
void EscapeNextModal(QString& title)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, &title] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            title = modal->windowTitle();
            QTest::keyClick(modal, Qt::Key_Escape);
            poll->deleteLater();
        }
    });
    poll->start(20);
}

TEST_F(EditingCommandsTest, TheKeysOpenTheRealEditorsOnTheDocument)
{
    CQuorrelView* view = StartSaved();
    const model::CTileParams before = view->GetDocument()->m_params;
    CQuorrelView::SetPropertySheetRunner({});
    QString title;
    EscapeNextModal(title);
    Press(Qt::Key_F4);
    EXPECT_EQ(title, "Properties");
    Frame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
    EscapeNextModal(title);
    Press(Qt::Key_F4, Qt::ShiftModifier);
    EXPECT_EQ(title, "Coefficients");
    EXPECT_TRUE(model::SameParams(view->GetDocument()->m_params, before));
    EXPECT_EQ(view->History().Size(), 1u);
}

// Answers the export dialog and records how it was opened.
class CScriptedChooser final : public output::IExportFileChooser {
public:
    std::vector<output::CExportDialogSetup> setups;
    std::vector<std::optional<output::CExportChoice>> answers;

    std::optional<output::CExportChoice> Choose(QWidget*, const output::CExportDialogSetup& setup) override
    {
        setups.push_back(setup);
        if (answers.empty())
            return std::nullopt;
        auto answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
};

class ExportTest : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        CQuorrelView::SetExportFileChooser(&chooser);
    }
    void TearDown() override
    {
        EditorFixture::TearDown();
        CQuorrelView::SetExportFileChooser(nullptr);
    }
    void Export() { Frame()->Action(ID_EXPORT_IMAGE)->trigger(); }

    CScriptedChooser chooser;
};

TEST_F(ExportTest, NewDocumentProposesItsTitleAsBitmapAndTheChosenTypeIsRememberedForTheRun)
{
    ASSERT_TRUE(Start());
    CQuorrelView* first = ActiveView();
    chooser.answers.push_back(output::CExportChoice{TempPath("pic"), 4});
    Export();
    ASSERT_EQ(chooser.setups.size(), 1u);
    EXPECT_EQ(chooser.setups[0].title, "Export Image");
    EXPECT_EQ(chooser.setups[0].initialName, "Quorrel1");
    EXPECT_EQ(chooser.setups[0].filterIndex, 1u);
    EXPECT_EQ(chooser.setups[0].defaultExtension, "bmp");
    // GIF chosen, no extension typed: ".gif" appended and a GIF written.
    EXPECT_EQ(QImageReader(TempPath("pic.gif")).format(), "gif");
    EXPECT_EQ(first->ExportFilterIndex(), 4u);

    Export();   // cancelled: the index stays
    EXPECT_EQ(chooser.setups[1].filterIndex, 4u);
    EXPECT_EQ(first->ExportFilterIndex(), 4u);

    // A new window offers the type last chosen in the run, so the GIF just
    // written is listed.
    Frame()->Router().Execute(ID_WINDOW_NEW);
    ASSERT_NE(ActiveView(), first);
    Export();
    EXPECT_EQ(chooser.setups[2].filterIndex, 4u);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(ExportTest, ZoomedViewWritesTheTileAtItsNativeSizePixelForPixel)
{
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    Press(Qt::Key_Plus, Qt::KeypadModifier);
    Press(Qt::Key_Plus, Qt::KeypadModifier);
    ASSERT_EQ(view->ZoomFactor(), 3);
    // The JPEG type is selected but the name says PNG: the name decides.
    chooser.answers.push_back(output::CExportChoice{TempPath("x.PNG"), 2});
    Export();
    QImageReader reader(TempPath("x.PNG"));
    EXPECT_EQ(reader.format(), "png");
    const QImage written = reader.read().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(written, TileOf(view).convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(written.size(), QSize(int(view->GetDocument()->m_params.m_nWidth),
                                    int(view->GetDocument()->m_params.m_nHeight)));
}

TEST_F(ExportTest, UnknownExtensionShowsTheFailureAndWritesNothing)
{
    ASSERT_TRUE(Start());
    platform::MessageRequest seen;
    platform::SetMessageHandler([&](const platform::MessageRequest& request) {
        seen = request;
        messages << request.text;
        return platform::MsgResult::Ok;
    });
    chooser.answers.push_back(output::CExportChoice{TempPath("tile.wpp"), 1});
    Export();
    EXPECT_EQ(messages, QStringList{"Save image failed:\n80004005 - Unspecified error"});
    EXPECT_EQ(seen.caption, "Quorrel");
    EXPECT_EQ(seen.icon, platform::MsgIcon::Warning);
    EXPECT_FALSE(QFile::exists(TempPath("tile.wpp")));
    // The application goes on.
    EXPECT_TRUE(IsEnabled(ID_EXPORT_IMAGE));
}

// Records helper calls with whether the wallpaper file was there already.
class CRecordingRunner {
public:
    CRecordingRunner()
    {
        fake.allAvailable = true;
        fake.observe = [this] { return QFile::exists(watched) ? QStringLiteral("file") : QString(); };
    }
    QStringList Calls() const
    {
        QStringList lines;
        for (const auto& call : fake.calls)
            lines << (call.program + ' ' + call.arguments.join(' '));
        return lines;
    }
    std::vector<bool> FileThere() const
    {
        std::vector<bool> there;
        for (const auto& call : fake.calls)
            there.push_back(!call.note.isEmpty());
        return there;
    }
    QString watched;
    test::CFakeRunner fake;
};

class WallpaperTest : public EditorFixture {
protected:
    void UseDesktop(const QString& folder)
    {
        QProcessEnvironment environment;
        environment.insert("XDG_CURRENT_DESKTOP", "GNOME");
        m_app->SetDesktopWallpaper(std::make_unique<output::CDesktopWallpaper>(runner.fake, environment, folder));
        runner.watched = QDir(folder).filePath("Quorrel Wallpaper.bmp");
    }
    CRecordingRunner runner;
};

TEST_F(WallpaperTest, TiledModeThenTheFileThenTheDesktopLoadsIt)
{
    ASSERT_TRUE(Start());
    UseDesktop(TempPath("data"));
    CQuorrelView* view = ActiveView();
    Press(Qt::Key_Plus, Qt::KeypadModifier);
    Frame()->Action(ID_SET_AS_WALLPAPER)->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->IsWallpaperUpdating(); }, 5000));
    const QStringList calls = runner.Calls();
    const std::vector<bool> fileThere = runner.FileThere();
    ASSERT_FALSE(calls.isEmpty());
    EXPECT_TRUE(calls.first().contains("picture-options 'wallpaper'")) << calls.first().toStdString();
    EXPECT_FALSE(fileThere.front());
    // The picture is set last, then read back.
    ASSERT_GE(calls.size(), 2);
    EXPECT_TRUE(calls[calls.size() - 2].contains("Quorrel%20Wallpaper.bmp")) << calls[calls.size() - 2].toStdString();
    EXPECT_TRUE(fileThere[fileThere.size() - 2]);
    EXPECT_EQ(calls.last(), "gsettings list-recursively org.gnome.desktop.background");
    const QImage written(runner.watched);
    EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32), TileOf(view).convertToFormat(QImage::Format_RGB32));
    EXPECT_TRUE(messages.isEmpty());

    // A second document overwrites the same file.
    Frame()->Router().Execute(ID_FILE_NEW);
    ASSERT_NE(ActiveView(), view);
    Frame()->Action(ID_SET_AS_WALLPAPER)->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ActiveView()->IsWallpaperUpdating(); }, 5000));
    EXPECT_EQ(QImage(runner.watched).convertToFormat(QImage::Format_RGB32),
              TileOf(ActiveView()).convertToFormat(QImage::Format_RGB32));
}

TEST_F(WallpaperTest, FailedSaveIsReportedAndTheDesktopIsStillAsked)
{
    ASSERT_TRUE(Start());
    WriteFile(TempPath("plain"), "not a folder");
    UseDesktop(TempPath("plain/data"));
    Frame()->Action(ID_SET_AS_WALLPAPER)->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.isEmpty(); }, 5000));
    EXPECT_EQ(messages, QStringList{"Save image failed:\n80070003 - The system cannot find the path specified."});
    const QStringList calls = runner.Calls();
    ASSERT_GE(calls.size(), 2);
    EXPECT_TRUE(calls[calls.size() - 2].contains("Quorrel%20Wallpaper.bmp"));   // before the read-back
}

} // namespace
