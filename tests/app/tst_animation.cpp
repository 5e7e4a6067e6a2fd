// The editor's living wallpapers: View > Animate plays the loop in the view
// from a worker thread (the frames change, the GUI stays free, stopping
// shows the still tile again); File > Export Animation... writes the file
// in the background with progress and a Cancel button, a cancelled export
// leaves no file, and the loop's settings stay with the view while the
// document's file does not change.

#include "EditorFixture.h"

#include "app/MainStatusBar.h"
#include "app/animation/ViewAnimation.h"
#include "model/TileParams.h"
#include "model/WppFile.h"
#include "output/animation/AnimationExportDialog.h"
#include "tools/ToolProcess.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
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

// Playing and exporting run on worker threads: a generous bound for a
// loaded machine.
constexpr int kWorkMs = 60000;

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
        m_saved = QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
        QFile file(m_document);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(m_saved), m_saved.size());
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
    QByteArray m_saved; // the document's file as written
};

TEST_F(AnimationTest, AnimatePlaysChangingFramesAndStoppingShowsTheStillAgain)
{
    CQuorrelView* view = ActiveView();
    const QImage still = Painted();
    EXPECT_FALSE(Frame()->Action(ID_VIEW_ANIMATE)->isChecked());
    Press(Qt::Key_A);
    CViewAnimation& animation = view->Animation();
    ASSERT_TRUE(animation.IsPlaying());
    ASSERT_TRUE(QTest::qWaitFor([&] { return animation.FramesShown() >= 3; }, kWorkMs));
    // The painted view follows the frames: it is no longer the still, and
    // it changes from one frame to the next.
    const uint64_t first = animation.FramesShown();
    const QImage moving = Painted();
    EXPECT_NE(moving, still);
    ASSERT_TRUE(QTest::qWaitFor([&] { return animation.FramesShown() >= first + 2; }, kWorkMs));
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return animation.LastOutcome().has_value(); }, kWorkMs));
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return !animation.IsExporting(); }, kWorkMs));
    Frame()->Router().Execute(ID_FILE_SAVE);
    EXPECT_EQ(Bytes(m_document), m_saved) << "the loop's settings reached the document's file";
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
    EXPECT_FALSE(Frame()->Action(ID_EXPORT_ANIMATION)->isEnabled()); // one export at a time
    auto* cancel = Frame()->StatusBar()->findChild<QPushButton*>(QStringLiteral("cancelAnimationExport"));
    ASSERT_TRUE(cancel);
    // Some frames go by, then Cancel.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return Frame()->StatusBar()->ProgressIndicator() && Frame()->StatusBar()->ProgressIndicator()->value() >= 1;
        },
        kWorkMs));
    QTest::mouseClick(cancel, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return animation.LastOutcome().has_value(); }, kWorkMs));
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
    EXPECT_EQ(
        CAnimationExportDialog::PathForFormat(QString::fromUtf8(GetParam().path), GetParam().format).toStdString(),
        GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, AnimationPathTest,
    ::testing::Values(PathCase{"/p/sea.webp", 1, "/p/sea.gif"}, PathCase{"/p/sea.gif", 2, "/p/sea.webm"},
                      PathCase{"/p/sea.webm", 3, "/p/sea-{n}.png"}, PathCase{"/p/sea-{n}.png", 0, "/p/sea.webp"},
                      PathCase{"/p/f{n}.PNG", 3, "/p/f{n}.png"}, PathCase{"/p/sea", 0, "/p/sea.webp"}));

// The file field is named by its label (a mnemonic, not a literal "&")
// and wide enough to show a usual path whole.
TEST(AnimationExportDialogLayout, TheFileFieldIsLabelledAndShowsItsPathWhole)
{
    CAnimationExportChoice initial;
    initial.path = QStringLiteral("/home/someone/Pictures/Wallpapers/Quorrel3.webp");
    CAnimationExportDialog dialog(nullptr, initial, QSize(125, 125), QSize(1920, 1080));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QLineEdit* path = nullptr;
    for (QLineEdit* edit : dialog.findChildren<QLineEdit*>())
        if (edit->text() == initial.path)
            path = edit;
    ASSERT_NE(path, nullptr);
    QLabel* label = nullptr;
    for (QLabel* candidate : dialog.findChildren<QLabel*>())
        if (candidate->buddy() == path)
            label = candidate;
    ASSERT_NE(label, nullptr) << "no label names the file field";
    EXPECT_EQ(label->text(), "F&ile:");
    EXPECT_GE(path->contentsRect().width(), path->fontMetrics().horizontalAdvance(initial.path))
        << "the path is cut";
}

} // namespace
