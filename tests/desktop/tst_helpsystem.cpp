#include "platform/desktop/Artwork.h"
#include "platform/desktop/HelpSystem.h"
#include "platform/desktop/HelpTopics.h"
#include "platform/desktop/HelpWindow.h"

#include "model/Presets.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDirIterator>
#include <QFile>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolBar>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QWhatsThis>

#include <gtest/gtest.h>

#include <memory>

using quorrel::desktop::HelpSystem;
using quorrel::desktop::HelpWindow;

// Stand-ins named like the editors' dialogs, in their namespace.
namespace quorrel::editors {
class CQuorrelProp final : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;
};
class CPropsColors final : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};
class CPropsShapes final : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};
} // namespace quorrel::editors

namespace {

QString ReadResource(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool PageHasAnchor(const QString& page, const QString& anchor)
{
    const QString html = ReadResource(":/quorrel/help/" + page);
    return html.contains("name=\"" + anchor + "\"");
}

class HelpSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_help = std::make_unique<HelpSystem>();
        m_help->SetMessageSink([this](QWidget*, const QString& text) { m_messages << text; });
    }
    void TearDown() override { m_help.reset(); }

    QString ShownPage() const
    {
        const QUrl url = m_help->Window()->CurrentPage();
        return url.fileName() + (url.hasFragment() ? "#" + url.fragment() : QString());
    }

    std::unique_ptr<HelpSystem> m_help;
    QStringList m_messages;
};

} // namespace

TEST_F(HelpSystemTest, HelpTopicsOpensTheContents)
{
    ASSERT_TRUE(m_help->ShowHelpTopics());
    ASSERT_NE(m_help->Window(), nullptr);
    EXPECT_TRUE(m_help->Window()->isVisible());
    EXPECT_EQ(ShownPage(), "index.html");
    EXPECT_EQ(m_help->Window()->windowTitle(), "Quorrel Help - Contents");
    EXPECT_TRUE(m_help->Window()->Browser()->toPlainText().contains("seamless wallpaper tiles"));
    EXPECT_TRUE(m_messages.isEmpty());

    // A second call reuses the window.
    HelpWindow* window = m_help->Window();
    ASSERT_TRUE(m_help->ShowTopic("properties.html#symmetries"));
    EXPECT_EQ(m_help->Window(), window);
    EXPECT_EQ(ShownPage(), "properties.html#symmetries");
}

TEST_F(HelpSystemTest, AGuideThatCannotBeShownSaysSo)
{
    HelpSystem broken(QUrl("qrc:/no/such/guide/"));
    QStringList messages;
    broken.SetMessageSink([&messages](QWidget*, const QString& text) { messages << text; });
    EXPECT_FALSE(broken.ShowHelpTopics());
    EXPECT_EQ(messages, QStringList{"Failed to launch help."});
    EXPECT_EQ(broken.Window(), nullptr);

    // A page missing from a guide on disk, too.
    HelpSystem onDisk(QUrl::fromLocalFile("/nonexistent/quorrel/help/"));
    onDisk.SetMessageSink([&messages](QWidget*, const QString& text) { messages << text; });
    EXPECT_FALSE(onDisk.ShowTopic("index.html"));
    EXPECT_EQ(messages.size(), 2);
    EXPECT_FALSE(m_help->ShowTopic("missing.html"));
    EXPECT_EQ(m_messages, QStringList{"Failed to launch help."});
}

TEST_F(HelpSystemTest, EveryLinkAndPictureOfTheGuideLeadsSomewhere)
{
    QDirIterator pages(":/quorrel/help", {"*.html"});
    int count = 0;
    const QRegularExpression href("(href|src)=\"([^\"]+)\"");
    while (pages.hasNext()) {
        const QString page = pages.next();
        ++count;
        const QString html = ReadResource(page);
        EXPECT_TRUE(html.contains("<title>")) << page.toStdString();
        for (auto it = href.globalMatch(html); it.hasNext();) {
            const QString target = it.next().captured(2);
            if (target.startsWith("http"))
                continue;
            const QString file = target.section('#', 0, 0);
            const QString anchor = target.section('#', 1);
            const QString path = file.isEmpty() ? page : ":/quorrel/help/" + file;
            EXPECT_TRUE(QFile::exists(path)) << page.toStdString() << " -> " << target.toStdString();
            if (!anchor.isEmpty()) {
                EXPECT_TRUE(ReadResource(path).contains("name=\"" + anchor + "\""))
                    << page.toStdString() << " -> " << target.toStdString();
            }
        }
    }
    EXPECT_GE(count, 6);
    // All 25 symmetry pictures are shown.
    for (int item = 0; item < 25; ++item)
        EXPECT_TRUE(ReadResource(":/quorrel/help/properties.html").contains(QStringLiteral("images/symmetry-%1.png").arg(item, 2, 10, QLatin1Char('0'))));
}

TEST_F(HelpSystemTest, ThePresetsPageShowsEveryPresetWithItsPicture)
{
    const QString html = ReadResource(":/quorrel/help/presets.html");
    ASSERT_FALSE(quorrel::model::Presets().empty());
    for (const quorrel::model::PresetInfo& preset : quorrel::model::Presets()) {
        const QString picture = QStringLiteral("images/preset-%1.png").arg(QString::fromUtf8(preset.id.data(), preset.id.size()));
        EXPECT_TRUE(html.contains(picture)) << preset.id;
        EXPECT_TRUE(QFile::exists(":/quorrel/help/" + picture)) << preset.id;
        EXPECT_TRUE(html.contains("<b>" + QString::fromUtf8(preset.name.data(), preset.name.size()) + "</b>")) << preset.id;
    }
}

TEST_F(HelpSystemTest, EveryWindowTopicExistsInTheGuide)
{
    for (const char* name : {"CMainFrame", "CChildFrame", "CQuorrelView", "CQuorrelProp", "CPropsGeneral",
                             "CPropsColors", "CPropsShapes", "CPropsSymmetries", "CPropsCorrelations",
                             "CCoeffsMainDlg", "CCoeffsDlg", "CAboutDlg", "QFileDialog", "QPrintDialog",
                             "QPrintPreviewDialog", "HelpWindow", "CPresetGallery", "CScreenImageDialog",
                             "CAnimationExportDialog", "CRotationDialog", "CPrintPreviewDialog"}) {
        const QString topic = quorrel::desktop::TopicForName(name);
        ASSERT_FALSE(topic.isEmpty()) << name;
        const QString page = topic.section('#', 0, 0);
        EXPECT_TRUE(QFile::exists(":/quorrel/help/" + page)) << name;
        if (topic.contains('#')) {
            EXPECT_TRUE(PageHasAnchor(page, topic.section('#', 1))) << name;
        }
    }
}

TEST_F(HelpSystemTest, F1OpensThePageOfTheActivePart)
{
    quorrel::editors::CQuorrelProp sheet;
    auto* tabs = new QTabWidget(&sheet);
    auto* colors = new quorrel::editors::CPropsColors;
    auto* shapes = new quorrel::editors::CPropsShapes;
    auto* edit = new QLineEdit(colors);
    tabs->addTab(colors, " Colors");
    tabs->addTab(shapes, "Shapes");
    auto* ok = new QWidget(&sheet);
    (new QVBoxLayout(&sheet))->addWidget(tabs);

    EXPECT_EQ(HelpSystem::TopicFor(edit), "properties.html#colors");
    // On the sheet's own buttons, the page on show decides.
    EXPECT_EQ(HelpSystem::TopicFor(ok), "properties.html#colors");
    tabs->setCurrentIndex(1);
    EXPECT_EQ(HelpSystem::TopicFor(ok), "properties.html#shapes");
    // Object names work as well as classes; anything else gets the contents.
    QWidget about;
    about.setObjectName("CAboutDlg");
    EXPECT_EQ(HelpSystem::TopicFor(&about), "index.html");
    QWidget plain;
    EXPECT_EQ(HelpSystem::TopicFor(&plain), "index.html");
    EXPECT_EQ(HelpSystem::TopicFor(nullptr), "index.html");

    ASSERT_TRUE(m_help->ShowHelpForContext(ok));
    EXPECT_EQ(ShownPage(), "properties.html#shapes");
    ASSERT_TRUE(m_help->ShowHelpForContext(edit));
    EXPECT_EQ(ShownPage(), "properties.html#colors");
}

TEST_F(HelpSystemTest, F1OnASheetWithItsOwnTabBarOpensThePageOnShowScrolledToIt)
{
    // The sheet's own layout: a tab bar over a stack of pages, then buttons.
    quorrel::editors::CQuorrelProp sheet;
    auto* bar = new QTabBar;
    auto* stack = new QStackedWidget;
    stack->addWidget(new quorrel::editors::CPropsColors);
    stack->addWidget(new quorrel::editors::CPropsShapes);
    bar->addTab("Colors");
    bar->addTab("Shapes");
    QObject::connect(bar, &QTabBar::currentChanged, stack, &QStackedWidget::setCurrentIndex);
    auto* ok = new QPushButton("OK");
    auto* layout = new QVBoxLayout(&sheet);
    layout->addWidget(bar);
    layout->addWidget(stack);
    layout->addWidget(ok);

    EXPECT_EQ(HelpSystem::TopicFor(ok), "properties.html#colors");
    EXPECT_EQ(HelpSystem::TopicFor(bar), "properties.html#colors");
    bar->setCurrentIndex(1);
    EXPECT_EQ(HelpSystem::TopicFor(ok), "properties.html#shapes");

    // Opened at that page's part, scrolled to it once shown.
    sheet.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
    ASSERT_TRUE(m_help->ShowHelpForContext(ok));
    EXPECT_EQ(ShownPage(), "properties.html#shapes");
    QTextBrowser* browser = m_help->Window()->Browser();
    QApplication::processEvents();
    EXPECT_GT(browser->verticalScrollBar()->value(), 0) << "the page shows its top, not the part";

    // Esc closes it.
    m_help->Window()->activateWindow();
    QTest::keyClick(browser, Qt::Key_Escape);
    EXPECT_FALSE(m_help->Window()->isVisible());
}

// Where the help window opens: on the parent's screen, over the parent.
struct Placement {
    const char* name;
    QRect available, parent;
    QSize preferred;
    QRect expected;
};

class HelpWindowPlacements : public ::testing::TestWithParam<Placement> {};

TEST_P(HelpWindowPlacements, StayWhollyOnTheParentsScreen)
{
    const Placement& c = GetParam();
    const QRect placed = quorrel::desktop::HelpWindowPlacement(c.available, c.parent, c.preferred);
    EXPECT_EQ(placed, c.expected) << c.name;
    EXPECT_TRUE(c.available.contains(placed)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Screens, HelpWindowPlacements,
    ::testing::Values(
        // Centred over the parent.
        Placement{"centred", {0, 0, 1920, 1080}, {400, 200, 600, 400}, {820, 640}, {290, 80, 820, 640}},
        // A dialog low at the right of a 1000 px screen: pulled in.
        Placement{"pulled in", {0, 0, 1600, 1000}, {1200, 700, 400, 300}, {820, 640}, {780, 360, 820, 640}},
        // The second screen of two side by side.
        Placement{"second screen", {1920, 0, 1280, 1024}, {2000, 100, 300, 200}, {820, 640}, {1920, 0, 820, 640}},
        // A small screen: nine tenths of it.
        Placement{"small screen", {0, 0, 800, 600}, {0, 0, 800, 600}, {820, 640}, {40, 30, 720, 540}},
        // No parent on show: the screen's centre, below a panel.
        Placement{"no parent", {0, 30, 1280, 994}, {}, {820, 640}, {230, 207, 820, 640}}),
    [](const ::testing::TestParamInfo<Placement>& info) { return std::to_string(info.index); });

TEST_F(HelpSystemTest, F1AndShiftF1WorkInsideModalDialogs)
{
    m_help->InstallApplicationHooks();
    QDialog dialog;
    dialog.setObjectName("CCoeffsMainDlg");
    auto* field = new QLineEdit(&dialog);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    field->setFocus();
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);

    QTest::keyClick(field, Qt::Key_F1);
    ASSERT_NE(m_help->Window(), nullptr);
    EXPECT_EQ(ShownPage(), "coefficients.html");
    // The help window belongs to the dialog, so the dialog's modality does
    // not block it.
    EXPECT_EQ(m_help->Window()->parentWidget(), &dialog);
    EXPECT_TRUE(m_help->Window()->isWindow());

    QTest::keyClick(field, Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
    QWhatsThis::leaveWhatsThisMode();
    dialog.hide();
}

TEST_F(HelpSystemTest, DialogControlsAnswerWhatsThisByTheirId)
{
    m_help->InstallApplicationHooks();
    QWidget page;
    auto* width = new QLineEdit(&page);
    width->setObjectName("2011");
    auto* unknown = new QLineEdit(&page);
    unknown->setObjectName("notAControl");
    auto* own = new QLineEdit(&page);
    own->setObjectName("2012");
    own->setWhatsThis("my own text");

    const auto asks = [](QWidget* w) {
        QHelpEvent query(QEvent::QueryWhatsThis, QPoint(1, 1), w->mapToGlobal(QPoint(1, 1)));
        query.ignore();
        QApplication::sendEvent(w, &query);
        return query.isAccepted();
    };
    EXPECT_TRUE(asks(width));
    EXPECT_FALSE(asks(unknown));
    asks(own);
    EXPECT_EQ(own->whatsThis(), "my own text");

    // Without the hooks the id alone says nothing.
    m_help.reset();
    EXPECT_FALSE(asks(width));
}

namespace {

// Whether Qt's "what's this" bubble is on show.
bool BubbleShown()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && QByteArray(w->metaObject()->className()) == "QWhatsThat")
            return true;
    }
    return false;
}

} // namespace

TEST(HelpCommands, ClickingAToolbarButtonInWhatsThisModeExplainsIt)
{
    QMainWindow window;
    auto* bar = window.addToolBar("Main");
    QAction* generate = bar->addAction(quorrel::desktop::ToolbarIcon(510), "Random Generation");
    HelpSystem::SetCommandWhatsThis(generate, 510);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QWidget* button = bar->widgetForAction(generate);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->whatsThis(), quorrel::desktop::WhatsThisForCommand(510));

    int triggered = 0;
    QObject::connect(generate, &QAction::triggered, [&triggered] { ++triggered; });
    HelpSystem::EnterWhatsThisMode();
    QTest::mouseClick(button, Qt::LeftButton);
    // The click explains instead of generating.
    EXPECT_EQ(triggered, 0);
    EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
    EXPECT_TRUE(BubbleShown());
    QWhatsThis::hideText();
}

TEST(HelpCommands, ActionsGetTheirCommandsText)
{
    QAction action;
    HelpSystem::SetCommandWhatsThis(&action, 510);
    EXPECT_EQ(action.whatsThis(), quorrel::desktop::WhatsThisForCommand(510));
    HelpSystem::EnterWhatsThisMode();
    EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
    QWhatsThis::leaveWhatsThisMode();
}

#include "tst_helpsystem.moc"
