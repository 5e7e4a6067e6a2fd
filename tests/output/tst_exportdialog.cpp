#include "QtPrinting.h"
#include "WhenModal.h"

#include "output/ExportDialog.h"
#include "output/ExportFileTypes.h"
#include "platform/FileDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace quorrel::output;

namespace {

// Answers the dialog as a user would, and remembers how it was opened.
class CScriptedChooser final : public IExportFileChooser {
public:
    std::optional<CExportChoice> answer;
    std::vector<CExportDialogSetup> seen;

    std::optional<CExportChoice> Choose(QWidget*, const CExportDialogSetup& setup) override
    {
        seen.push_back(setup);
        return answer;
    }
};

} // namespace

TEST(ExportFileTypes, FiveTypesInOrder)
{
    const auto types = ExportFileTypes();
    ASSERT_EQ(types.size(), 5u);
    const char* expected[5][3] = {{"Bitmap image", "*.bmp;*.dib", "bmp"},
                                  {"JPEG image", "*.jpeg;*.jpg;*.jpe;*.jfif", "jpg"},
                                  {"PNG image", "*.png", "png"},
                                  {"GIF image", "*.gif", "gif"},
                                  {"TIFF image", "*.tif;*.tiff", "tif"}};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(types[i].description, expected[i][0]);
        EXPECT_EQ(types[i].patterns, expected[i][1]);
        EXPECT_EQ(types[i].extension, expected[i][2]);
    }
    EXPECT_EQ(ExportNameFilters(),
              QStringList({"Bitmap image (*.bmp *.dib)", "JPEG image (*.jpeg *.jpg *.jpe *.jfif)", "PNG image (*.png)",
                           "GIF image (*.gif)", "TIFF image (*.tif *.tiff)"}));
    EXPECT_EQ(ExportFilterIndexOf("GIF image (*.gif)"), 4u);
    EXPECT_EQ(ExportFilterIndexOf("All files (*)"), 0u);
    EXPECT_EQ(ExportDialogTitle(), "Export Image");
    EXPECT_EQ(DefaultExportExtension(), "bmp");
}

TEST(ExportFileTypes, InitialNameIsTheTitleCutBeforeItsLastDot)
{
    EXPECT_EQ(InitialExportName("sky.wpp"), "sky");
    EXPECT_EQ(InitialExportName("my.tile.wpp"), "my.tile");
    EXPECT_EQ(InitialExportName("Quorrel1"), "Quorrel1");
    EXPECT_EQ(InitialExportName(".wpp"), "");
    EXPECT_EQ(InitialExportName(""), "");
}

TEST(ExportFileTypes, BareNameGetsTheChosenTypesExtension)
{
    EXPECT_EQ(CompleteExportPath("/p/sky", 1), "/p/sky.bmp");
    EXPECT_EQ(CompleteExportPath("/p/sky", 2), "/p/sky.jpg");
    EXPECT_EQ(CompleteExportPath("/p/sky", 3), "/p/sky.png");
    EXPECT_EQ(CompleteExportPath("/p/sky", 4), "/p/sky.gif");
    EXPECT_EQ(CompleteExportPath("/p/sky", 5), "/p/sky.tif");
    EXPECT_EQ(CompleteExportPath("/p.d/sky", 4), "/p.d/sky.gif");   // a dot in a folder is not an extension
    EXPECT_EQ(CompleteExportPath("/p/x.PNG", 2), "/p/x.PNG");      // the extension decides, not the type
    EXPECT_EQ(CompleteExportPath("/p/tile.wpp", 1), "/p/tile.wpp");
    EXPECT_EQ(CompleteExportPath("/p/sky", 9), "/p/sky.bmp");
}

TEST(ChooseExportPath, NewDocumentOpensWithItsTitleAndBitmapType)
{
    CScriptedChooser chooser;
    uint32_t index = kFirstExportFilterIndex;
    EXPECT_FALSE(ChooseExportPath(nullptr, "Quorrel1", index, chooser));
    ASSERT_EQ(chooser.seen.size(), 1u);
    const CExportDialogSetup& setup = chooser.seen[0];
    EXPECT_EQ(setup.title, "Export Image");
    EXPECT_EQ(setup.initialName, "Quorrel1");
    EXPECT_EQ(setup.filterIndex, 1u);
    EXPECT_EQ(setup.defaultExtension, "bmp");
    EXPECT_EQ(setup.nameFilters, ExportNameFilters());
    EXPECT_EQ(index, 1u);   // cancelled: unchanged
}

TEST(ChooseExportPath, OkRemembersTheTypeAndCompletesTheName)
{
    CScriptedChooser chooser;
    uint32_t index = kFirstExportFilterIndex;
    chooser.answer = CExportChoice{"/p/sky", 4};
    EXPECT_EQ(ChooseExportPath(nullptr, "sky.wpp", index, chooser), QString("/p/sky.gif"));
    EXPECT_EQ(index, 4u);
    EXPECT_EQ(chooser.seen.back().initialName, "sky");

    // JPEG listed, a PNG name typed: a PNG is written, and the next dialog
    // lists PNG files, so the one just written shows.
    chooser.answer = CExportChoice{"/p/x.PNG", 2};
    EXPECT_EQ(ChooseExportPath(nullptr, "sky.wpp", index, chooser), QString("/p/x.PNG"));
    EXPECT_EQ(chooser.seen.back().filterIndex, 4u);   // preselects the type chosen last time
    EXPECT_EQ(index, 3u);
    EXPECT_EQ(LastExportFilterIndex(), 3u);

    chooser.answer.reset();
    EXPECT_FALSE(ChooseExportPath(nullptr, "sky.wpp", index, chooser));
    EXPECT_EQ(chooser.seen.back().filterIndex, 3u);
    EXPECT_EQ(index, 3u);

    uint32_t otherView = kFirstExportFilterIndex;   // another view starts again at Bitmap
    ChooseExportPath(nullptr, "sky.wpp", otherView, chooser);
    EXPECT_EQ(chooser.seen.back().filterIndex, 1u);
}

// The export dialog opens where the last file was chosen, by it or by the
// document dialogs.
TEST(ChooseExportPath, OpensInTheLastFolderUsed)
{
    QTemporaryDir exported;
    QTemporaryDir saved;
    CScriptedChooser chooser;
    uint32_t index = kFirstExportFilterIndex;
    chooser.answer = CExportChoice{exported.filePath("a.png"), 3};
    ASSERT_TRUE(ChooseExportPath(nullptr, "sky.wpp", index, chooser));
    chooser.answer.reset();
    ChooseExportPath(nullptr, "sky.wpp", index, chooser);
    EXPECT_EQ(chooser.seen.back().directory, exported.path());
    quorrel::platform::RememberFolderOf(saved.filePath("sky.wpp"));   // a Save As there
    ChooseExportPath(nullptr, "sky.wpp", index, chooser);
    EXPECT_EQ(chooser.seen.back().directory, saved.path());
}

class FileDialogChooserTest : public ::testing::Test {
protected:
    CExportDialogSetup MakeSetup(uint32_t index)
    {
        CExportDialogSetup setup = MakeExportDialogSetup("sky.wpp", index);
        setup.directory = m_dir.path();
        return setup;
    }
    QTemporaryDir m_dir;
};

TEST_F(FileDialogChooserTest, OpensAsSetUpAndReturnsTheTypedNameWithTheTypesSuffix)
{
    QString title, name, filter;
    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
        title = dialog->windowTitle();
        filter = dialog->selectedNameFilter();
        auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(edit, nullptr);
        name = edit->text();
        edit->clear();
        QTest::keyClicks(edit, "mytile");
        auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
        ASSERT_NE(types, nullptr);
        QTest::keyClick(types, Qt::Key_Down);   // GIF -> TIFF
        QTest::keyClick(edit, Qt::Key_Return);
    });
    CFileDialogChooser chooser;
    const auto choice = chooser.Choose(nullptr, MakeSetup(4));
    EXPECT_EQ(title, "Export Image");
    EXPECT_EQ(name, "sky");
    EXPECT_EQ(filter, "GIF image (*.gif)");
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->path, m_dir.filePath("mytile.tif"));
    EXPECT_EQ(choice->filterIndex, 5u);
}

TEST_F(FileDialogChooserTest, AsksBeforeReplacingTheFileTheBareNameWillBecome)
{
    QFile existing(m_dir.filePath("sky.gif"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    bool asked = false;
    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
        WhenModal<QMessageBox>([&](QMessageBox* box) {
            asked = true;
            box->button(QMessageBox::No) ? box->button(QMessageBox::No)->click() : box->reject();
            WhenModal<QFileDialog>([](QFileDialog* again) { again->reject(); });
        });
        QTest::keyClick(dialog->findChild<QLineEdit*>("fileNameEdit"), Qt::Key_Return);
    });
    CFileDialogChooser chooser;
    EXPECT_FALSE(chooser.Choose(nullptr, MakeSetup(4)));
    EXPECT_TRUE(asked);
}

TEST_F(FileDialogChooserTest, CancelReturnsNothing)
{
    WhenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    CFileDialogChooser chooser;
    EXPECT_FALSE(chooser.Choose(nullptr, MakeSetup(1)));
}

TEST_F(FileDialogChooserTest, ANameInAFolderThatDoesNotExistKeepsTheDialogOpen)
{
    QString complaint;
    bool stillOpen = false;
    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(edit, nullptr);
        edit->clear();
        QTest::keyClicks(edit, "nowhere/mytile");
        WhenModal<QMessageBox>([&, dialog](QMessageBox* box) {
            complaint = box->text();
            box->accept();
            // Back in the dialog, which is still open: a name that can be
            // written closes it.
            QTimer::singleShot(0, [&, dialog] {
                stillOpen = dialog->isVisible();
                auto* again = dialog->findChild<QLineEdit*>("fileNameEdit");
                again->clear();
                QTest::keyClicks(again, "mytile");
                QTest::keyClick(again, Qt::Key_Return);
            });
        });
        QTest::keyClick(edit, Qt::Key_Return);
    });
    CFileDialogChooser chooser;
    const auto choice = chooser.Choose(nullptr, MakeSetup(3));
    EXPECT_EQ(complaint, m_dir.filePath("nowhere/mytile.png") + "\nThe folder does not exist.\nCheck the path and try again.");
    EXPECT_TRUE(stillOpen);
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->path, m_dir.filePath("mytile.png"));
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath("nowhere")));
}
