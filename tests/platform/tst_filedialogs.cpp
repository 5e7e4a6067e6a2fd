// The Open and Save As dialogs: "All Files (*.*)" lists every file, also
// those without an extension, and the document filter only documents.

#include "platform/FileDialogs.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTreeView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace quorrel::platform;

namespace {

class FileDialogTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (const char* name : {"README", "Makefile", "notes.txt", "tile.wpp"}) {
            QFile file(dir.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
    }

    // The names the dialog's file list shows, once it has read the folder.
    static std::string Listed(QFileDialog& dialog, const QString& path)
    {
        auto* model = dialog.findChild<QFileSystemModel*>();
        if (!model)
            return "<no file list>";
        const QModelIndex folder = model->index(path);
        (void)QTest::qWaitFor([&] { return !model->canFetchMore(folder) && model->rowCount(folder) > 0; }, 5000);
        QTest::qWait(50);
        QStringList names;
        for (int row = 0; row < model->rowCount(folder); ++row)
            names << model->index(row, 0, folder).data().toString();
        names.sort();
        return names.join(' ').toStdString();
    }

    QTemporaryDir dir;
};

TEST_P(FileDialogTest, AllFilesListsFilesWithoutAnExtensionAndTheDocumentFilterOnlyDocuments)
{
    const bool save = GetParam();
    FileDialogRequest request;
    request.save = save;
    request.title = save ? "Save As" : "Open";
    request.filters = {"Quorrel Files (*.wpp)", "All Files (*.*)"};
    request.suggestedName = save ? "Quorrel1.wpp" : QString();

    QFileDialog dialog;
    PrepareFileDialog(dialog, request);
    dialog.setDirectory(dir.path());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.windowTitle(), request.title);
    EXPECT_EQ(dialog.nameFilters(), request.filters);
    EXPECT_EQ(Listed(dialog, dir.path()), "tile.wpp");

    // The user picks "All Files (*.*)" from the list of types.
    auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(types, nullptr);
    types->setFocus();
    QTest::keyClick(types, Qt::Key_Down);
    ASSERT_EQ(types->currentText(), "All Files (*.*)");
    EXPECT_EQ(Listed(dialog, dir.path()), "Makefile README notes.txt tile.wpp");

    // Chosen before the dialog shows, it lists them too.
    QFileDialog second;
    PrepareFileDialog(second, request);
    second.selectNameFilter("All Files (*.*)");
    second.setDirectory(dir.path());
    second.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&second));
    EXPECT_EQ(Listed(second, dir.path()), "Makefile README notes.txt tile.wpp");
}

// The dialog opens in the folder asked for, and its detail view's columns
// hold their texts: the modification date is not cut.
TEST_P(FileDialogTest, OpensInTheFolderAskedForWithTheDateColumnWhole)
{
    FileDialogRequest request;
    request.save = GetParam();
    request.title = request.save ? "Save As" : "Open";
    request.filters = {"Quorrel Files (*.wpp)", "All Files (*.*)"};
    request.directory = dir.path();
    QFileDialog dialog;
    PrepareFileDialog(dialog, request);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.resize(560, 380);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(QDir(dialog.directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
    EXPECT_EQ(Listed(dialog, dir.path()), "tile.wpp");
    auto* list = dialog.findChild<QTreeView*>("treeView");
    ASSERT_NE(list, nullptr);
    QTest::qWait(50);
    auto* model = dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    const QModelIndex file = model->index(dir.filePath("tile.wpp"));
    ASSERT_TRUE(file.isValid());
    const QFontMetrics metrics(list->font());
    for (int column = 1; column < 4; ++column) {
        const QString text = file.siblingAtColumn(column).data().toString();
        ASSERT_FALSE(text.isEmpty()) << column;
        EXPECT_GT(list->header()->sectionSize(column), metrics.horizontalAdvance(text)) << text.toStdString();
    }
    // The name takes what is left, and nothing runs past the list.
    EXPECT_LE(list->header()->length(), list->viewport()->width() + 1);
}

TEST(LastUsedFolder, TheNextDialogOpensWhereTheLastChoiceWas)
{
    QTemporaryDir first;
    QTemporaryDir second;
    ASSERT_TRUE(QDir().mkdir(second.filePath("sub")));
    QStringList openedIn;
    QStringList answers = {first.filePath("a.wpp"), second.filePath("sub/b.wpp"), QString()};
    SetFileDialogHandler([&](const FileDialogRequest& request) {
        openedIn << request.directory;
        return answers.takeFirst();
    });
    FileDialogRequest request;
    request.save = true;
    EXPECT_EQ(AskForFile(nullptr, request), first.filePath("a.wpp"));
    EXPECT_EQ(AskForFile(nullptr, request), second.filePath("sub/b.wpp"));
    EXPECT_TRUE(AskForFile(nullptr, request).isEmpty());   // cancelled: the folder stays
    SetFileDialogHandler({});
    ASSERT_EQ(openedIn.size(), 3);
    EXPECT_EQ(openedIn[1], first.path());
    EXPECT_EQ(openedIn[2], second.filePath("sub"));
    EXPECT_EQ(LastUsedFolder(), second.filePath("sub"));
    // A folder that has gone since is not offered.
    ASSERT_TRUE(QDir(second.filePath("sub")).removeRecursively());
    EXPECT_EQ(StartFolder(first.path()), first.path());
}

INSTANTIATE_TEST_SUITE_P(OpenAndSaveAs, FileDialogTest, ::testing::Bool());

} // namespace
