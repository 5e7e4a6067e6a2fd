// File > Export Screen-Sized Image...: its place in the File menu, a dialog
// preset to the screen's size, the tile repeated to the size chosen in each
// format (smoothed on request), progress in the status bar, and failures
// told like Export Image's.

#include "EditorFixture.h"
#include "app/ExportProgress.h"
#include "app/animation/ViewAnimation.h"
#include "output/RgbImageView.h"
#include "output/WhenModal.h"

#include "output/ExportDialog.h"
#include "output/ScreenImageDialog.h"
#include "render/SmoothRender.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QTest>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QTimer>
#include <QSpinBox>

#include <vector>

using namespace quorrel;
using namespace quorrel::app;
using quorrel::test::EditorFixture;
using quorrel::test::TileOf;

namespace {

// What the dialog showed when it opened.
struct CShown {
    QString title;
    int width = 0;
    int height = 0;
    QString smooth;
    QString path;
};

// An answer for the dialog: nothing (cancel) or these values.
struct CAnswer {
    int width;
    int height;
    int smoothIndex;   // 0 off, 1 2 x 2, 2 4 x 4
    QString path;
};

void AnswerDialog(CShown& shown, std::optional<CAnswer> answer)
{
    WhenModal<output::CScreenImageDialog>([&shown, answer](output::CScreenImageDialog* dialog) {
        auto* width = dialog->findChild<QSpinBox*>(QStringLiteral("Width"));
        auto* height = dialog->findChild<QSpinBox*>(QStringLiteral("Height"));
        auto* smooth = dialog->findChild<QComboBox*>(QStringLiteral("Smooth"));
        auto* file = dialog->findChild<QLineEdit*>(QStringLiteral("File"));
        ASSERT_TRUE(width && height && smooth && file);
        shown = {dialog->windowTitle(), width->value(), height->value(), smooth->currentText(), file->text()};
        if (!answer) {
            dialog->reject();
            return;
        }
        width->setValue(answer->width);
        height->setValue(answer->height);
        smooth->setCurrentIndex(answer->smoothIndex);
        file->setText(answer->path);
        dialog->accept();
    });
}

// The export file dialog answered with `path` and the file type `filterIndex`.
struct CChooser final : output::IExportFileChooser {
    output::CExportDialogSetup setup;
    std::optional<output::CExportChoice> Choose(QWidget*, const output::CExportDialogSetup& s) override
    {
        setup = s;
        return output::CExportChoice{path, filterIndex};
    }
    QString path;
    uint32_t filterIndex = 1;
};

class ScreenExportTest : public EditorFixture {
protected:
    void Export(std::optional<CAnswer> answer)
    {
        AnswerDialog(shown, answer);
        Frame()->Action(ID_EXPORT_SCREEN_IMAGE)->trigger();
    }
    CShown shown;
};

std::string FileMenu(CMainFrame* frame)
{
    QStringList items;
    for (QAction* menu : frame->menuBar()->actions()) {
        if (menu->text() == "&File") {
            for (QAction* action : menu->menu()->actions())
                items << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
    }
    return items.join(QStringLiteral(" | ")).toStdString();
}

// Every pixel of `filled` is the tile's at (x mod w, y mod h).
void ExpectTileRepeated(const QImage& filled, const QImage& tile, QSize size)
{
    ASSERT_EQ(filled.size(), size);
    const QImage a = filled.convertToFormat(QImage::Format_RGB32);
    const QImage t = tile.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            ASSERT_EQ(a.pixel(x, y), t.pixel(x % t.width(), y % t.height())) << x << "," << y;
}

} // namespace

TEST_F(ScreenExportTest, SitsAfterExportImageAndOpensAtTheScreensSize)
{
    ASSERT_TRUE(Start());
    EXPECT_NE(FileMenu(Frame()).find("&Export Image... | Export Screen-Si&zed Image... | Export &Animation... | - | Set As &Wallpaper"),
              std::string::npos)
        << FileMenu(Frame());
    EXPECT_EQ(Frame()->Action(ID_EXPORT_SCREEN_IMAGE)->statusTip(), "Export the tile repeated to the size of a screen");

    Export(std::nullopt);
    const QSize screen = ActiveView()->ScreenSize();
    ASSERT_FALSE(screen.isEmpty());
    EXPECT_EQ(shown.title, "Export Screen-Sized Image");
    EXPECT_EQ(QSize(shown.width, shown.height), screen);
    EXPECT_EQ(shown.smooth, "Off");
    EXPECT_TRUE(shown.path.endsWith("/Quorrel1-wallpaper.png")) << shown.path.toStdString();
    // Cancelled: nothing written, nothing said.
    EXPECT_FALSE(QFile::exists(shown.path));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(ScreenExportTest, WritesTheTileRepeatedToTheChosenSizeInEachFormat)
{
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    Press(Qt::Key_Plus, Qt::KeypadModifier);   // the zoom does not matter
    const QImage tile = TileOf(view);
    const struct {
        const char* name;
        const char* format;
        bool lossless;
    } cases[] = {{"s.bmp", "bmp", true}, {"s.jpg", "jpeg", false}, {"s.png", "png", true}, {"s.gif", "gif", false},
                 {"s.TIFF", "tiff", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Export(CAnswer{301, 177, 0, TempPath(c.name)});
        QImageReader reader(TempPath(c.name));
        EXPECT_EQ(reader.format(), c.format);
        const QImage written = reader.read();
        EXPECT_EQ(written.size(), QSize(301, 177));
        if (c.lossless)
            ExpectTileRepeated(written, tile, {301, 177});
    }
    // An exact multiple of the tile, and a name typed without an extension:
    // the file type last chosen (PNG at first) gives it one.
    Export(CAnswer{250, 375, 0, TempPath("bare")});
    ExpectTileRepeated(QImage(TempPath("bare.png")), tile, {250, 375});
    EXPECT_TRUE(messages.isEmpty());

    // The next time it offers the file and smoothing chosen last.
    Export(std::nullopt);
    EXPECT_EQ(shown.path, TempPath("bare.png"));
    EXPECT_EQ(shown.smooth, "Off");
}

TEST_F(ScreenExportTest, SmoothRepeatsTheTileRenderedWithMoreSamplesAndShowsProgress)
{
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    std::vector<int> progress;
    Frame()->SetProgress(0);   // makes the indicator
    QProgressBar* bar = Frame()->ProgressIndicator();
    ASSERT_NE(bar, nullptr);
    QObject::connect(bar, &QProgressBar::valueChanged, [&progress](int value) { progress.push_back(value); });

    Export(CAnswer{1600, 1200, 1, TempPath("smooth.bmp")});
    const auto& params = view->GetDocument()->m_params;
    render::CRgbImage rgb(params.m_nWidth, params.m_nHeight);
    render::RenderTileSmooth(params, rgb, render::RenderSettings{}, 2);
    const QImage smoothTile = output::ImageView(rgb);
    ASSERT_NE(smoothTile.convertToFormat(QImage::Format_RGB32), TileOf(view).convertToFormat(QImage::Format_RGB32));
    ExpectTileRepeated(QImage(TempPath("smooth.bmp")), smoothTile, {1600, 1200});

    // Rising through the rendering and the writing, then cleared.
    ASSERT_GE(progress.size(), 10u);
    EXPECT_EQ(progress.back(), 0);
    for (std::size_t i = 1; i + 1 < progress.size(); ++i)
        EXPECT_LT(progress[i - 1], progress[i]);
    EXPECT_GE(progress[progress.size() - 2], 99);
    EXPECT_TRUE(std::count_if(progress.begin(), progress.end(), [](int p) { return p > 0 && p < 50; }) > 0);

    Export(std::nullopt);
    EXPECT_EQ(shown.smooth, "2 \u00d7 2");
}

// The failure message and codes of Export Image; a name whose extension is
// not an image format keeps the dialog open with a warning.
TEST_F(ScreenExportTest, FailuresAreToldAndWriteNothing)
{
    ASSERT_TRUE(Start());
    const QString tooLong = TempPath(QString(300, 'n') + ".png");
    Export(CAnswer{200, 100, 0, tooLong});
    EXPECT_EQ(messages, QStringList{"Save image failed:\n800700ce - The filename or extension is too long."});
    EXPECT_TRUE(QDir(TempPath("")).entryList(QDir::Files | QDir::Hidden).isEmpty());

    // Refused in the dialog, which stays open: a name that is no image
    // format, a folder, a folder that is not there.
    ASSERT_TRUE(QDir().mkdir(TempPath("taken.png")));
    QStringList warnings;
    bool stillOpen = true;
    WhenModal<output::CScreenImageDialog>([&](output::CScreenImageDialog* dialog) {
        for (const QString& name : {TempPath("tile.wpp"), TempPath("taken.png"), TempPath("missing/t.png")}) {
            dialog->findChild<QLineEdit*>(QStringLiteral("File"))->setText(name);
            WhenModal<QMessageBox>([&](QMessageBox* box) {
                warnings << box->text();
                box->accept();
            });
            dialog->accept();
            stillOpen = stillOpen && dialog->isVisible();
        }
        dialog->reject();
    });
    Frame()->Action(ID_EXPORT_SCREEN_IMAGE)->trigger();
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(warnings.size(), 3);
    EXPECT_TRUE(warnings[0].contains("The extension names no image format")) << warnings[0].toStdString();
    EXPECT_TRUE(warnings[1].contains("This is a folder.")) << warnings[1].toStdString();
    EXPECT_TRUE(warnings[2].contains("The folder does not exist.")) << warnings[2].toStdString();
    EXPECT_FALSE(QFile::exists(TempPath("tile.wpp")));
    EXPECT_TRUE(QDir(TempPath("taken.png")).isEmpty());

    // An existing file is replaced only after asking.
    QString question;
    quorrel::test::WriteFile(TempPath("old.png"), "old");
    WhenModal<output::CScreenImageDialog>([&](output::CScreenImageDialog* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("File"))->setText(TempPath("old.png"));
        WhenModal<QMessageBox>([&](QMessageBox* box) {
            question = box->text();
            box->button(QMessageBox::No)->click();
        });
        dialog->accept();
        dialog->reject();
    });
    Frame()->Action(ID_EXPORT_SCREEN_IMAGE)->trigger();
    EXPECT_EQ(question, TempPath("old.png") + " already exists.\nDo you want to replace it?");
    EXPECT_EQ(quorrel::test::ReadFile(TempPath("old.png")), "old");
}

// Browse... is the export file dialog: its file type gives a bare name its
// extension.
TEST_F(ScreenExportTest, BrowseChoosesTheFileAndItsType)
{
    CChooser chooser;
    chooser.path = TempPath("picked");
    chooser.filterIndex = 4;
    CQuorrelView::SetExportFileChooser(&chooser);
    ASSERT_TRUE(Start());
    QString field;
    WhenModal<output::CScreenImageDialog>([&](output::CScreenImageDialog* dialog) {
        dialog->findChild<QSpinBox*>(QStringLiteral("Width"))->setValue(140);
        dialog->findChild<QSpinBox*>(QStringLiteral("Height"))->setValue(90);
        dialog->findChild<QPushButton*>(QStringLiteral("Browse"))->click();
        field = dialog->findChild<QLineEdit*>(QStringLiteral("File"))->text();
        dialog->accept();
    });
    Frame()->Action(ID_EXPORT_SCREEN_IMAGE)->trigger();
    CQuorrelView::SetExportFileChooser(nullptr);
    EXPECT_EQ(chooser.setup.title, "Export Screen-Sized Image");
    EXPECT_EQ(chooser.setup.filterIndex, 3u);   // PNG, as the proposed name
    EXPECT_EQ(field, TempPath("picked.gif"));
    QImageReader reader(TempPath("picked.gif"));
    EXPECT_EQ(reader.format(), "gif");
    EXPECT_EQ(reader.size(), QSize(140, 90));
    // Export Image keeps its own file type.
    EXPECT_EQ(ActiveView()->ExportFilterIndex(), 1u);
}

namespace {

struct CBadSide {
    const char* typed;
    bool width;   // typed into Width, else Height
};

void PrintTo(const CBadSide& c, std::ostream* os) { *os << (c.width ? "width " : "height ") << c.typed; }

class ScreenExportSizes : public ScreenExportTest, public ::testing::WithParamInterface<CBadSide> {};

} // namespace

// A size out of range is refused with a message and stays as typed, the
// dialog open; nothing is written.
TEST_P(ScreenExportSizes, AnOutOfRangeSizeIsRefusedNotChanged)
{
    ASSERT_TRUE(Start());
    const CBadSide& c = GetParam();
    QString warning;
    QString afterwards;
    bool stillOpen = false;
    const QString path = TempPath("sized.png");
    WhenModal<output::CScreenImageDialog>([&](output::CScreenImageDialog* dialog) {
        auto* box = dialog->findChild<QSpinBox*>(c.width ? QStringLiteral("Width") : QStringLiteral("Height"));
        ASSERT_NE(box, nullptr);
        dialog->findChild<QLineEdit*>(QStringLiteral("File"))->setText(path);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QString::fromLatin1(c.typed));
        WhenModal<QMessageBox>([&](QMessageBox* message) {
            warning = message->text();
            message->accept();
        });
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        stillOpen = dialog->isVisible();
        afterwards = box->cleanText();
        dialog->reject();
    });
    Frame()->Action(ID_EXPORT_SCREEN_IMAGE)->trigger();
    EXPECT_EQ(warning, "Please enter an integer between 1 and 16384.");
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(afterwards, QString::fromLatin1(c.typed));
    EXPECT_FALSE(QFile::exists(path));
}

INSTANTIATE_TEST_SUITE_P(Sides, ScreenExportSizes,
                         ::testing::Values(CBadSide{"99999", true}, CBadSide{"0", true}, CBadSide{"16385", false},
                                           CBadSide{"0", false}));

// Each export names the file it wrote in the status bar.
TEST_F(ScreenExportTest, ExportsNameTheFileWrittenInTheStatusBar)
{
    CChooser chooser;
    chooser.path = TempPath("tile.png");
    chooser.filterIndex = 3;
    CQuorrelView::SetExportFileChooser(&chooser);
    ASSERT_TRUE(Start());
    EXPECT_EQ(Frame()->GetPaneText(0), "For Help, press F1");
    Frame()->Action(ID_EXPORT_IMAGE)->trigger();
    CQuorrelView::SetExportFileChooser(nullptr);
    ASSERT_TRUE(QFile::exists(TempPath("tile.png")));
    EXPECT_EQ(Frame()->GetPaneText(0), "Image written to " + TempPath("tile.png"));

    Export(CAnswer{301, 177, 0, TempPath("screen.png")});
    EXPECT_EQ(Frame()->GetPaneText(0), "Image written to " + TempPath("screen.png") + " (301 \u00d7 177 pixels)");
    // A failure says so in its message box, not as a notice.
    Export(CAnswer{30, 17, 0, TempPath(QString(300, 'n') + ".png")});
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(Frame()->GetPaneText(0), "Image written to " + TempPath("screen.png") + " (301 \u00d7 177 pixels)");
}

// A long export shows what it writes with its progress, and Cancel stops it
// leaving no file behind.
TEST_F(ScreenExportTest, ALongExportShowsItsProgressAndCancelLeavesNoFile)
{
    CExportProgress::SetShowDelay(0);
    const auto restore = qScopeGuard([] { CExportProgress::SetShowDelay(CExportProgress::kShowDelayMs); });
    ASSERT_TRUE(Start());
    const QString path = TempPath("long.png");
    QString label;
    int cancelledAt = -1;
    std::function<void(QProgressDialog*)> cancelOnceWriting = [&](QProgressDialog* dialog) {
        label = dialog->labelText();
        if (dialog->value() < 3) {
            QTimer::singleShot(5, [&, dialog] { cancelOnceWriting(dialog); });
            return;
        }
        cancelledAt = dialog->value();
        dialog->findChild<QPushButton*>()->click();
    };
    WhenModal<QProgressDialog>(cancelOnceWriting);
    Export(CAnswer{6000, 6000, 0, path});
    EXPECT_EQ(label, "Writing long.png (6000 \u00d7 6000 pixels)...");
    EXPECT_GE(cancelledAt, 3);
    EXPECT_LT(cancelledAt, 100);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(QDir(TempPath("")).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(Frame()->GetPaneText(0), "Export cancelled: " + path + " was not written.");
    EXPECT_EQ(Frame()->ProgressIndicator()->value(), 0);
}

// Every export dialog of a run opens in the folder the last one wrote to,
// and Export Image offers the type last written, also in a new window and
// when the name's extension, not the type list, chose it.
TEST_F(ScreenExportTest, EveryExportDialogOpensWhereTheLastOneWroteWithTheTypeLastWritten)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(QDir().mkpath(TempPath("first")));
    ASSERT_TRUE(QDir().mkpath(TempPath("second")));
    CChooser chooser;
    CQuorrelView::SetExportFileChooser(&chooser);
    std::optional<output::animation::CAnimationExportChoice> animationOffer;
    CViewAnimation::SetExportChooser([&animationOffer](const output::animation::CAnimationExportChoice& offered) {
        animationOffer = offered;
        return std::optional<output::animation::CAnimationExportChoice>();
    });
    const auto restore = qScopeGuard([] {
        CQuorrelView::SetExportFileChooser(nullptr);
        CViewAnimation::SetExportChooser({});
    });

    // A PNG name typed while the list still shows the first type (bitmap).
    chooser.path = TempPath("first/picture.png");
    chooser.filterIndex = 1;
    Frame()->Action(ID_EXPORT_IMAGE)->trigger();
    ASSERT_TRUE(QFile::exists(TempPath("first/picture.png")));
    EXPECT_EQ(ActiveView()->ExportFilterIndex(), 3u) << "the type written was PNG";

    chooser.path.clear();   // cancelled from here on
    Frame()->Action(ID_EXPORT_IMAGE)->trigger();
    EXPECT_EQ(QDir(chooser.setup.directory), QDir(TempPath("first")));
    EXPECT_EQ(chooser.setup.filterIndex, 3u) << "the PNG just written is not listed";

    Export(std::nullopt);
    EXPECT_EQ(QDir(QFileInfo(shown.path).absolutePath()), QDir(TempPath("first"))) << shown.path.toStdString();
    Frame()->Action(ID_EXPORT_ANIMATION)->trigger();
    ASSERT_TRUE(animationOffer.has_value());
    EXPECT_EQ(QDir(QFileInfo(animationOffer->path).absolutePath()), QDir(TempPath("first")))
        << animationOffer->path.toStdString();

    // A screen-sized picture written elsewhere moves them all there; a new
    // window keeps the run's type.
    Export(CAnswer{64, 48, 0, TempPath("second/wide.png")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(TempPath("second/wide.png")); }, 10000));
    ASSERT_TRUE(Frame()->Router().Execute(ID_FILE_NEW));
    ASSERT_EQ(DocumentCount(), 2);
    EXPECT_EQ(ActiveView()->ExportFilterIndex(), 3u);
    Frame()->Action(ID_EXPORT_IMAGE)->trigger();
    EXPECT_EQ(QDir(chooser.setup.directory), QDir(TempPath("second")));
    EXPECT_EQ(chooser.setup.filterIndex, 3u);
    animationOffer.reset();
    Frame()->Action(ID_EXPORT_ANIMATION)->trigger();
    ASSERT_TRUE(animationOffer.has_value());
    EXPECT_EQ(QDir(QFileInfo(animationOffer->path).absolutePath()), QDir(TempPath("second")));
}

// The note names the tile that is repeated: the tile at the chosen scale.
TEST_F(ScreenExportTest, TheNoteNamesTheTileAtTheChosenScale)
{
    ASSERT_TRUE(Start());
    const auto& params = ActiveDoc()->m_params;
    const QSize tile(int(params.m_nWidth), int(params.m_nHeight));
    std::vector<QString> notes;
    WhenModal<output::CScreenImageDialog>([&notes](output::CScreenImageDialog* dialog) {
        auto* scale = dialog->findChild<QComboBox*>(QStringLiteral("Scale"));
        auto* note = dialog->findChild<QLabel*>(QStringLiteral("Note"));
        ASSERT_TRUE(scale && note);
        for (int index = 0; index < scale->count(); ++index) {
            scale->setCurrentIndex(index);
            notes.push_back(note->text());
        }
        dialog->reject();
    });
    Frame()->Action(ID_EXPORT_SCREEN_IMAGE)->trigger();
    ASSERT_EQ(notes.size(), 4u);
    for (int scale = 1; scale <= 4; ++scale) {
        const QString named = QStringLiteral("The %1 \u00d7 %2 tile").arg(tile.width() * scale).arg(tile.height() * scale);
        EXPECT_TRUE(notes[scale - 1].startsWith(named)) << scale << ": " << notes[scale - 1].toStdString();
    }
}
