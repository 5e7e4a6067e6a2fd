// The editor's desktop integration: command-line documents, files handed
// over by a later start, painted toolbar images with "what's this" texts,
// and the help commands.

#include "EditorFixture.h"

#include "platform/CommandIds.h"
#include "platform/desktop/HelpSystem.h"
#include "platform/desktop/HelpWindow.h"

#include "model/TileParams.h"
#include "model/WppFile.h"

#include <QAction>
#include <QApplication>
#include <QToolBar>
#include <QWhatsThis>

using namespace quorrel;
using namespace quorrel::app;
using quorrel::test::EditorFixture;

namespace {

using IntegrationTest = EditorFixture;

QString WriteDocument(const QString& path, uint32_t width)
{
    auto params = std::make_unique<model::CTileParams>();
    params->m_nWidth = width;
    std::string error;
    EXPECT_TRUE(model::WriteWppFile(path.toStdString(), *params, error)) << error;
    return path;
}

TEST_F(IntegrationTest, EveryFileOnTheCommandLineOpens)
{
    const QString a = WriteDocument(TempPath("a.wpp"), 40);
    const QString b = WriteDocument(TempPath("b.wpp"), 50);
    ASSERT_TRUE(Start({a, b}));
    EXPECT_EQ(DocumentCount(), 2);
    EXPECT_EQ(g_nOpenDocs, 2);
    EXPECT_EQ(ActiveDoc()->m_params.m_nWidth, 50u);
}

TEST_F(IntegrationTest, HandedOverFilesOpenWhateverTheDocumentCount)
{
    ASSERT_TRUE(Start());
    for (int i = 0; i < 4; ++i)
        Press(Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(DocumentCount(), 5);
    EXPECT_FALSE(IsEnabled(ID_FILE_NEW));

    m_app->OpenRequestedFiles({WriteDocument(TempPath("x.wpp"), 33), WriteDocument(TempPath("y.wpp"), 34)});
    EXPECT_EQ(DocumentCount(), 7);
    EXPECT_EQ(ActiveDoc()->m_params.m_nWidth, 34u);
}

TEST_F(IntegrationTest, ToolbarButtonsHavePaintedImagesAndWhatsThisTexts)
{
    ASSERT_TRUE(Start());
    const QToolBar* toolBar = Frame()->findChild<QToolBar*>(QStringLiteral("MainToolBar"));
    ASSERT_TRUE(toolBar);
    int buttons = 0;
    for (QAction* action : toolBar->actions()) {
        if (action->isSeparator())
            continue;
        ++buttons;
        SCOPED_TRACE(action->text().toStdString());
        EXPECT_FALSE(action->icon().pixmap(QSize(16, 15)).isNull());
        EXPECT_FALSE(action->whatsThis().isEmpty());
    }
    EXPECT_EQ(buttons, 20);
}

TEST_F(IntegrationTest, HelpKeysOpenTheGuide)
{
    ASSERT_TRUE(Start());
    EXPECT_TRUE(IsEnabled(ID_HELP_FINDER));
    Frame()->Action(ID_HELP_FINDER)->trigger();
    desktop::HelpWindow* window = m_app->Help().Window();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->CurrentPage().isEmpty());
    EXPECT_TRUE(messages.isEmpty());

    window->close();
    Press(Qt::Key_F1);
    EXPECT_TRUE(m_app->Help().Window()->isVisible());
    EXPECT_TRUE(messages.isEmpty());

    // Back in the main window, Shift+F1 enters "what's this" mode.
    m_app->Help().Window()->close();
    QApplication::setActiveWindow(Frame());
    EXPECT_TRUE(IsEnabled(ID_CONTEXT_HELP));
    Press(Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
    QWhatsThis::leaveWhatsThisMode();
}

} // namespace
