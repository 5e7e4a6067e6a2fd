// The Open and Save As dialogs: "All Files (*.*)" lists every file, also
// those without an extension, and the document filter only documents.

#include "platform/FileDialogs.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
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

INSTANTIATE_TEST_SUITE_P(OpenAndSaveAs, FileDialogTest, ::testing::Bool());

} // namespace
