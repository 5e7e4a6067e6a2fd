// The editor's living wallpapers: View > Animate plays the loop in the view
// from a worker thread (the frames change, the GUI stays free, stopping
// shows the still tile again); File > Export Animation... writes the file
// in the background with progress and a Cancel button, a cancelled export
// leaves no file, and the loop's settings stay with the view while the
// document's file does not change.

#include "EditorFixture.h"

#include "app/animation/ViewAnimation.h"
#include "app/MainStatusBar.h"
#include "model/TileParams.h"
#include "model/WppFile.h"
#include "output/animation/AnimationExportDialog.h"
#include "tools/ToolProcess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <filesystem>

using namespace quorrel;
using namespace quorrel::app;
using output::animation::CAnimationExportChoice;
using output::animation::CAnimationExportDialog;
using output::animation::ExportOutcome;
using quorrel::test::EditorFixture;

namespace {

// Processes events until `done` or the bound passes; whether it is done.
bool WaitFor(const std::function<bool()>& done, int milliseconds = 60000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < milliseconds)
        QTest::qWait(20);
    return done();
}

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class AnimationTest : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        auto params = std::make_unique<model::CTileParams>();
        params->m_nWidth = 96;
        params->m_nHeight = 64;
        params->GenerateRandom(11);
        m_document = TempPath(QStringLiteral("tile.wpp"));
        const std::vector<uint8_t> bytes = model::SaveWpp(*params);
        QFile file(m_document);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
        file.close();
        ASSERT_TRUE(Start({m_document}));
        ASSERT_TRUE(ActiveView());
    }
    void TearDown() override
    {
        CViewAnimation::SetExportChooser({});
        EditorFixture::TearDown();
    }

    // The view as painted on the screen.
    QImage Painted() const { return ActiveView()->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    QString m_document;
};

TEST_F(AnimationTest, AnimatePlaysChangingFramesAndStoppingShowsTheStillAgain)
{
    CQuorrelView* view = ActiveView();
    const QImage still = Painted();
    EXPECT_FALSE(Frame()->Action(ID_VIEW_ANIMATE)->isChecked());
    Press(Qt::Key_A);
    CViewAnimation& animation = view->Animation();
    ASSERT_TRUE(animation.IsPlaying());
    ASSERT_TRUE(WaitFor([&] { return animation.FramesShown() >= 3; }));
    // The painted view follows the frames: it is no longer the still, and
    // it changes from one frame to the next.
    const uint64_t first = animation.FramesShown();
    const QImage moving = Painted();
    EXPECT_NE(moving, still);
    ASSERT_TRUE(WaitFor([&] { return animation.FramesShown() >= first + 2; }));
    EXPECT_NE(Painted(), moving);
    EXPECT_EQ(animation.Frame().size(), QSize(96, 64));
    Frame()->Router().UpdateActions();
    EXPECT_TRUE(Frame()->Action(ID_VIEW_ANIMATE)->isChecked());
    // Zooming while it plays paints the frames enlarged, tiled as always.
    Press(Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(view->ZoomFactor(), 2);

    Press(Qt::Key_A);
    EXPECT_FALSE(animation.IsPlaying());
    Press(Qt::Key_Asterisk, Qt::KeypadModifier);
    EXPECT_EQ(Painted(), still);
    // The document has not changed: nothing to save.
    EXPECT_FALSE(ActiveDoc()->IsModified());
}

TEST_F(AnimationTest, ExportWritesTheLoopAndRemembersItsSettingsWithTheView)
{
    const QString path = TempPath(QStringLiteral("loop.gif"));
    CAnimationExportChoice offered;
    CViewAnimation::SetExportChooser([&](const CAnimationExportChoice& choice) {
        offered = choice;
        CAnimationExportChoice answer = choice;
        answer.path = path;
        answer.seconds = 0.5;
        answer.fps = 10;
        answer.keyframes = 2;
        answer.scale = 2;
        return std::optional(answer);
    });
    Frame()->Action(ID_EXPORT_ANIMATION)->trigger();
    EXPECT_TRUE(offered.path.endsWith(QLatin1String("tile.webp"))) << offered.path.toStdString();
    CViewAnimation& animation = ActiveView()->Animation();
    ASSERT_TRUE(WaitFor([&] { return animation.LastOutcome().has_value(); }));
    EXPECT_EQ(animation.LastOutcome(), ExportOutcome::Written);
    EXPECT_FALSE(Frame()->StatusBar()->findChild<QPushButton*>(QStringLiteral("cancelAnimationExport")));
    const test::ToolResult identify =
        // The canvas of every frame (a frame after the first holds only the
        // rectangle that changed).
        test::RunTool({"identify", "-format", "%W %H %T|", path.toStdString()}, TempPath(QString()).toStdString());
    ASSERT_EQ(identify.exitCode, 0) << identify.err;
    EXPECT_EQ(identify.out, "192 128 10|192 128 10|192 128 10|192 128 10|192 128 10|");

    // The next export offers what this one chose; the document's file is
    // as it was. (The command is enabled again once the export is over.)
    Frame()->Router().UpdateActions();
    ASSERT_TRUE(Frame()->Action(ID_EXPORT_ANIMATION)->isEnabled());
    Frame()->Action(ID_EXPORT_ANIMATION)->trigger();
    EXPECT_EQ(offered.path, path);
    EXPECT_EQ(offered.seconds, 0.5);
    EXPECT_EQ(offered.fps, 10u);
    EXPECT_EQ(offered.keyframes, 2u);
    EXPECT_EQ(offered.scale, 2);
    ASSERT_TRUE(WaitFor([&] { return !animation.IsExporting(); }));
    Frame()->Router().Execute(ID_FILE_SAVE);
    auto reread = std::make_unique<model::CTileParams>();
    model::CFileError failure;
    ASSERT_TRUE(model::ReadWppFile(m_document.toStdString(), *reread, failure));
    EXPECT_EQ(model::SaveWpp(*reread).size(), std::size_t(Bytes(m_document).size()));
}

TEST_F(AnimationTest, ACancelledExportLeavesNoFile)
{
    const QString path = TempPath(QStringLiteral("long.webm"));
    QFile::remove(path);
    CViewAnimation::SetExportChooser([&](const CAnimationExportChoice& choice) {
        CAnimationExportChoice answer = choice;
        answer.path = path;
        answer.seconds = 60;
        answer.fill = QSize(1280, 720);
        return std::optional(answer);
    });
    Frame()->Action(ID_EXPORT_ANIMATION)->trigger();
    CViewAnimation& animation = ActiveView()->Animation();
    ASSERT_TRUE(animation.IsExporting());
    Frame()->Router().UpdateActions();
    EXPECT_FALSE(Frame()->Action(ID_EXPORT_ANIMATION)->isEnabled());   // one export at a time
    auto* cancel = Frame()->StatusBar()->findChild<QPushButton*>(QStringLiteral("cancelAnimationExport"));
    ASSERT_TRUE(cancel);
    // Some frames go by, then Cancel.
    ASSERT_TRUE(WaitFor([&] { return Frame()->StatusBar()->ProgressIndicator() &&
                                     Frame()->StatusBar()->ProgressIndicator()->value() >= 1; }));
    QTest::mouseClick(cancel, Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return animation.LastOutcome().has_value(); }));
    EXPECT_EQ(animation.LastOutcome(), ExportOutcome::Cancelled);
    EXPECT_FALSE(QFile::exists(path));
    for (const auto& entry : std::filesystem::directory_iterator(TempPath(QString()).toStdString()))
        EXPECT_EQ(entry.path().string().find("quorrel-tmp"), std::string::npos) << entry.path();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
}

struct PathCase {
    const char* path;
    int format;
    const char* expected;
};

class AnimationPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(AnimationPathTest, TheFileNameFollowsTheChosenFormat)
{
    EXPECT_EQ(CAnimationExportDialog::PathForFormat(QString::fromUtf8(GetParam().path), GetParam().format).toStdString(),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Formats, AnimationPathTest,
                         ::testing::Values(PathCase{"/p/sea.webp", 1, "/p/sea.gif"},
                                           PathCase{"/p/sea.gif", 2, "/p/sea.webm"},
                                           PathCase{"/p/sea.webm", 3, "/p/sea-{n}.png"},
                                           PathCase{"/p/sea-{n}.png", 0, "/p/sea.webp"},
                                           PathCase{"/p/f{n}.PNG", 3, "/p/f{n}.png"},
                                           PathCase{"/p/sea", 0, "/p/sea.webp"}));

} // namespace
