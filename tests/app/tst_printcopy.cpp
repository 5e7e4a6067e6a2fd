// Copy, Print, Print Preview, Print Setup and printing from the command
// line. Printers here are PDF files in a temporary folder.

#include "EditorFixture.h"

#include "app/PrintLayout.h"

#include "platform/Document.h"
#include "platform/PrintDialogs.h"
#include "platform/printing/PrintPreviewDialog.h"
#include "support/FakePrintSystem.h"
#include "support/StalledPrintServer.h"
#include "support/Watchdog.h"
#include "platform/SettingsLocation.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QtEndian>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <set>

using namespace quorrel;
using namespace quorrel::app;
using quorrel::test::EditorFixture;
using quorrel::test::TileOf;

namespace {

int PdfPageCount(const QByteArray& pdf)
{
    return int(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page>") +
               pdf.count("/Type /Page "));
}

// Runs `act` on the modal window of type T once it shows (the commands ask
// the print server first, events running meanwhile), looking for 10 s.
template <typename T>
void WhenModalShows(std::function<void(T&)> act)
{
    auto* poll = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(poll, &QTimer::timeout, [poll, clock, act] {
        auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!modal && clock->elapsed() < 10000)
            return;
        poll->stop();
        poll->deleteLater();
        delete clock;
        if (modal)
            act(*modal);
    });
    poll->start(10);
}

class PrintCopyTest : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        platform::SetPrintDialogHandler([this](platform::PrintDialogKind kind, QPrinter&) {
            dialogs.push_back(kind);
            return confirm;
        });
    }
    void TearDown() override
    {
        platform::SetPrintDialogHandler({});
        CQuorrelView::SetPropertySheetRunner({});
        EditorFixture::TearDown();
    }
    // Sends the application's printer into a PDF file.
    QString PrintToPdf(const QString& name)
    {
        const QString path = TempPath(name);
        m_app->Printer().setOutputFormat(QPrinter::PdfFormat);
        m_app->Printer().setOutputFileName(path);
        return path;
    }

    std::vector<platform::PrintDialogKind> dialogs;
    bool confirm = true;
};

TEST_F(PrintCopyTest, CopyPutsTheImageAtItsOwnSizeOnTheClipboardWhateverTheZoom)
{
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    ActiveDoc()->m_params.m_nWidth = 200;
    ActiveDoc()->m_params.m_nHeight = 150;
    Press(Qt::Key_F5);
    Press(Qt::Key_Plus, Qt::KeypadModifier);
    Press(Qt::Key_Plus, Qt::KeypadModifier);
    ASSERT_EQ(view->ZoomFactor(), 3);
    QApplication::clipboard()->clear();

    Press(Qt::Key_C, Qt::ControlModifier);
    const QImage copied = QApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), QSize(200, 150));
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32), TileOf(view).convertToFormat(QImage::Format_RGB32));

    // Ctrl+Insert is the other key of Copy.
    QApplication::clipboard()->clear();
    Press(Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(200, 150));
}

TEST_F(PrintCopyTest, WithoutATileNothingIsCopiedPrintedOrWrittenAndTheCommandsSayWhy)
{
    // A cancelled first sheet leaves the placeholder and a blank bitmap:
    // no command may hand that out as the tile.
    CQuorrelView::SetPropertySheetRunner([](CQuorrelView&, bool, bool&) { return false; });
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    ASSERT_FALSE(view->IsRendered());
    const int outputs[] = {ID_EDIT_COPY,           ID_FILE_PRINT,       ID_FILE_PRINT_PREVIEW, ID_EXPORT_IMAGE,
                           ID_EXPORT_SCREEN_IMAGE, ID_SET_AS_WALLPAPER, ID_EXPORT_ANIMATION,   ID_VIEW_ANIMATE};
    QApplication::processEvents();
    for (int id : outputs) {
        QAction* action = Frame()->Action(id);
        ASSERT_NE(action, nullptr) << id;
        EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
        EXPECT_TRUE(action->statusTip().startsWith(FindCommand(id)->prompt)) << id;
        EXPECT_TRUE(action->statusTip().contains("no tile yet")) << action->statusTip().toStdString();
        EXPECT_TRUE(action->toolTip().contains("no tile yet")) << action->toolTip().toStdString();
    }
    QApplication::clipboard()->setText("kept");
    Press(Qt::Key_C, Qt::ControlModifier);
    Frame()->Action(ID_EDIT_COPY)->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "kept") << "the blank bitmap went to the clipboard";
    EXPECT_TRUE(QApplication::clipboard()->image().isNull());

    // The first generation makes a tile: the commands and their own texts return.
    Press(Qt::Key_F5);
    ASSERT_TRUE(view->IsRendered());
    QApplication::processEvents();
    for (int id : outputs) {
        QAction* action = Frame()->Action(id);
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
        EXPECT_EQ(action->statusTip(), FindCommand(id)->prompt);
        EXPECT_EQ(action->toolTip(), FindCommand(id)->tooltip);
    }
    Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
              TileOf(view).convertToFormat(QImage::Format_RGB32));
}

TEST_F(PrintCopyTest, ThePrintedImageIsScaledByPrinterOverScreenResolutionAtTheTopLeft)
{
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    ASSERT_EQ(ActiveDoc()->m_params.m_nWidth, 125u);
    ASSERT_EQ(ActiveDoc()->m_params.m_nHeight, 125u);
    Press(Qt::Key_Plus, Qt::KeypadModifier);
    ASSERT_EQ(view->ZoomFactor(), 2);

    // A 600 dpi page; a colour the image does not use marks what is left blank.
    QImage page(2200, 2000, QImage::Format_RGB32);
    page.setDotsPerMeterX(qRound(600 / 0.0254));
    page.setDotsPerMeterY(qRound(600 / 0.0254));
    ASSERT_EQ(page.logicalDpiX(), 600);
    const QImage tile = TileOf(view);
    std::set<QRgb> used;
    for (int y = 0; y < tile.height(); ++y)
        for (int x = 0; x < tile.width(); ++x)
            used.insert(tile.pixel(x, y) | 0xFF000000u);
    QRgb blank = qRgb(255, 0, 255);
    while (used.contains(blank))
        --blank;
    page.fill(blank);
    {
        QPainter painter(&page);
        view->OnDraw(painter, true);
    }
    const QSize expected = PrintedTileSize(QSize(250, 250), 600, 600, view->logicalDpiX(), view->logicalDpiY());
    if (view->logicalDpiX() == 96 && view->logicalDpiY() == 96) {
        EXPECT_EQ(expected, QSize(1562, 1562));
    }
    // The covered area is exactly that rectangle.
    int right = -1, bottom = -1;
    for (int y = 0; y < page.height(); y += 7)
        for (int x = 0; x < page.width(); ++x)
            if (page.pixel(x, y) != blank)
                right = std::max(right, x);
    for (int x = 0; x < page.width(); x += 7)
        for (int y = 0; y < page.height(); ++y)
            if (page.pixel(x, y) != blank)
                bottom = std::max(bottom, y);
    EXPECT_EQ(right + 1, expected.width());
    EXPECT_EQ(bottom + 1, expected.height());
    EXPECT_NE(page.pixel(0, 0), blank);
    EXPECT_NE(page.pixel(expected.width() - 1, expected.height() - 1), blank);
    // Pixels are repeated, not smoothed: the page's top-left block is the
    // image's top-left pixel.
    EXPECT_EQ(page.pixel(3, 3), tile.pixel(0, 0) | 0xFF000000u);
}

TEST_F(PrintCopyTest, PrintAsksThenPrintsOnePageAndACancelledDialogPrintsNothing)
{
    ASSERT_TRUE(Start());
    const QString cancelled = PrintToPdf("cancelled.pdf");
    confirm = false;
    Press(Qt::Key_P, Qt::ControlModifier);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0], platform::PrintDialogKind::Print);
    EXPECT_FALSE(QFile::exists(cancelled));

    const QString path = PrintToPdf("page.pdf");
    confirm = true;
    Frame()->Action(ID_FILE_PRINT)->trigger();   // the toolbar button
    EXPECT_EQ(dialogs.size(), 2u);
    ASSERT_TRUE(QFile::exists(path));
    const QByteArray pdf = quorrel::test::ReadFile(path);
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(PdfPageCount(pdf), 1);
    EXPECT_EQ(m_app->Printer().docName(), "Quorrel1");
    EXPECT_TRUE(messages.isEmpty());

    // A job that cannot start is reported with the framework's text.
    m_app->Printer().setOutputFileName(TempPath("no-such-folder/page.pdf"));
    Press(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(messages, QStringList{"Could not start print job."});
}

// The first image of a PDF as Qt writes it: its size, its filter and its
// stream's bytes.
struct PdfImage {
    int width = 0;
    int height = 0;
    QByteArray filter;
    QByteArray stream;
};

PdfImage FirstImageIn(const QByteArray& pdf)
{
    PdfImage image;
    const qsizetype at = pdf.indexOf("/Subtype /Image");
    const qsizetype dictEnd = pdf.indexOf(">>", at);
    if (at < 0 || dictEnd < 0)
        return image;
    const QString dict = QString::fromLatin1(pdf.mid(at, dictEnd - at));
    image.width = QRegularExpression(R"(/Width (\d+))").match(dict).captured(1).toInt();
    image.height = QRegularExpression(R"(/Height (\d+))").match(dict).captured(1).toInt();
    image.filter = QRegularExpression(R"(/Filter /(\w+))").match(dict).captured(1).toLatin1();
    const qsizetype begin = pdf.indexOf("stream\n", dictEnd) + 7;
    const qsizetype end = pdf.indexOf("endstream", begin);
    if (begin < 7 || end < 0)
        return image;
    image.stream = pdf.mid(begin, end - begin);
    if (image.stream.endsWith('\n'))
        image.stream.chop(1);
    return image;
}

class PrintedImageTest : public PrintCopyTest, public ::testing::WithParamInterface<int> {};

TEST_P(PrintedImageTest, TheDocumentSentToThePrinterHoldsTheTilesOwnPixels)
{
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    for (int zoom = 1; zoom < GetParam(); ++zoom)
        Press(Qt::Key_Plus, Qt::KeypadModifier);
    ASSERT_EQ(view->ZoomFactor(), GetParam());
    const QString path = PrintToPdf("lossless.pdf");
    Press(Qt::Key_P, Qt::ControlModifier);
    ASSERT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
    const QByteArray pdf = quorrel::test::ReadFile(path);
    EXPECT_FALSE(pdf.contains("/DCTDecode")) << "the printed image is JPEG-compressed";

    // The image once, at its own size (the page scales it), compressed
    // without loss: its bytes are the tile's, row by row.
    const PdfImage image = FirstImageIn(pdf);
    const QImage tile = TileOf(view).convertToFormat(QImage::Format_RGB888);
    ASSERT_EQ(QSize(image.width, image.height), tile.size());
    ASSERT_EQ(image.filter, "FlateDecode");
    const qsizetype size = qsizetype(tile.width()) * tile.height() * 3;
    QByteArray framed(4, '\0');
    qToBigEndian(quint32(size), framed.data());
    const QByteArray pixels = qUncompress(framed + image.stream);
    ASSERT_EQ(pixels.size(), size);
    int differing = 0;
    for (int y = 0; y < tile.height(); ++y)
        differing += int(std::memcmp(pixels.constData() + qsizetype(y) * tile.width() * 3, tile.constScanLine(y),
                                     size_t(tile.width()) * 3) != 0);
    EXPECT_EQ(differing, 0) << "rows that differ from the tile";
}

INSTANTIATE_TEST_SUITE_P(Zoom, PrintedImageTest, ::testing::Values(1, 3));

TEST_F(PrintCopyTest, WithNoPrinterPrintSaysSoAndWritesNoFileTheUserDidNotAskFor)
{
    quorrel::test::CFakePrintSystem none;
    ASSERT_TRUE(Start());
    // What Qt leaves the printer at when the print server is down: a PDF
    // file with no name yet.
    m_app->Printer().setOutputFormat(QPrinter::PdfFormat);
    m_app->Printer().setOutputFileName({});
    Press(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(messages, QStringList{"There is no printer.\nNothing was printed. To print into a PDF file, choose "
                                    "\"Print to File (PDF)\" in Print Setup."});
    EXPECT_TRUE(dialogs.empty()) << "a print dialog offered only a file";
    EXPECT_GE(none.asked, 1);
    for (const QString& folder : {QDir::homePath(), TempPath({})}) {
        QDirIterator it(folder, {"*.pdf"}, QDir::Files, QDirIterator::Subdirectories);
        EXPECT_FALSE(it.hasNext()) << it.next().toStdString();
    }

    // Print Setup is where a file is chosen; Print then writes it.
    const QString path = PrintToPdf("asked-for.pdf");
    Press(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(messages.size(), 1);
    EXPECT_TRUE(QFile::exists(path));
}

TEST_F(PrintCopyTest, ThePreviewsPrintButtonClosesItAndRunsPrint)
{
    ASSERT_TRUE(Start());
    const QString path = PrintToPdf("from-preview.pdf");
    bool clicked = false;
    WhenModalShows<platform::CPrintPreviewDialog>([&clicked](platform::CPrintPreviewDialog& shown) {
        auto* preview = &shown;
        // Printing is left to the Print command, not done by the preview.
        EXPECT_FALSE(QFile::exists(preview->printer()->outputFileName()));
        clicked = true;
        preview->PrintAction()->trigger();
    });
    Frame()->Action(ID_FILE_PRINT_PREVIEW)->trigger();
    ASSERT_TRUE(clicked);
    EXPECT_EQ(dialogs, std::vector<platform::PrintDialogKind>{platform::PrintDialogKind::Print});
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_EQ(PdfPageCount(quorrel::test::ReadFile(path)), 1);
    EXPECT_EQ(m_app->Printer().docName(), "Quorrel1");
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(PrintCopyTest, PrintSetupShowsTheSetupDialogOnTheApplicationsPrinter)
{
    ASSERT_TRUE(Start());
    QPrinter* seen = nullptr;
    platform::SetPrintDialogHandler([&seen](platform::PrintDialogKind kind, QPrinter& printer) {
        EXPECT_EQ(kind, platform::PrintDialogKind::PrintSetup);
        seen = &printer;
        return true;
    });
    Frame()->Action(ID_FILE_PRINT_SETUP)->trigger();
    EXPECT_EQ(seen, &m_app->Printer());
}

// Runs `inspect` on the modal dialog once it shows, then closes it with OK.
template <typename Inspect>
void WhenPrintDialogShows(Inspect inspect, bool& seen)
{
    WhenModalShows<QPrintDialog>([inspect, &seen](QPrintDialog& shown) {
        auto* dialog = &shown;
        seen = true;
        inspect(*dialog);
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        if (buttons && buttons->button(QDialogButtonBox::Ok))
            buttons->button(QDialogButtonBox::Ok)->click();
        else
            dialog->reject();
    });
}

TEST_F(PrintCopyTest, PrintSetupChoosesThePrinterAndItsOptionsAndPrintUsesThemNext)
{
    ASSERT_TRUE(Start());
    platform::SetPrintDialogHandler({});   // the real dialogs
    const QString path = TempPath("chosen.pdf");
    const QString toFile = "Print to File (PDF)";

    bool seen = false;
    WhenPrintDialogShows([&](QPrintDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Print Setup");
        auto* printers = dialog.findChild<QComboBox*>("printers");
        ASSERT_NE(printers, nullptr) << "no choice of printer";
        QStringList offered;
        for (int i = 0; i < printers->count(); ++i)
            offered << printers->itemText(i);
        for (const QString& name : QPrinterInfo::availablePrinterNames())
            EXPECT_TRUE(offered.contains(name)) << name.toStdString();
        ASSERT_TRUE(offered.contains(toFile));
        // The printer's own options are there too.
        auto* properties = dialog.findChild<QPushButton*>("properties");
        ASSERT_NE(properties, nullptr);
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        EXPECT_EQ(buttons->button(QDialogButtonBox::Ok)->text(), "OK");

        printers->setCurrentIndex(offered.indexOf(toFile));
        EXPECT_TRUE(properties->isEnabled());
        auto* file = dialog.findChild<QLineEdit*>("filename");
        ASSERT_NE(file, nullptr);
        file->setText(path);
        auto* copies = dialog.findChild<QSpinBox*>("copies");
        ASSERT_NE(copies, nullptr);
        copies->setValue(2);
    }, seen);
    Frame()->Action(ID_FILE_PRINT_SETUP)->trigger();
    ASSERT_TRUE(seen) << "Print Setup showed no print dialog";
    EXPECT_EQ(m_app->Printer().outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(m_app->Printer().outputFileName(), path);
    EXPECT_EQ(m_app->Printer().copyCount(), 2);
    EXPECT_FALSE(QFile::exists(path)) << "Print Setup printed";

    // Print offers that printer and its options first, and prints on it.
    seen = false;
    WhenPrintDialogShows([&](QPrintDialog& dialog) {
        auto* printers = dialog.findChild<QComboBox*>("printers");
        ASSERT_NE(printers, nullptr);
        EXPECT_EQ(printers->currentText(), toFile);
        auto* file = dialog.findChild<QLineEdit*>("filename");
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->text(), path);
        auto* copies = dialog.findChild<QSpinBox*>("copies");
        ASSERT_NE(copies, nullptr);
        EXPECT_EQ(copies->value(), 2);
    }, seen);
    Frame()->Action(ID_FILE_PRINT)->trigger();
    ASSERT_TRUE(seen);
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_TRUE(quorrel::test::ReadFile(path).startsWith("%PDF"));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(PrintCopyTest, PrintPreviewShowsOnePageAndRemembersOneOrTwoPagesAcrossRuns)
{
    ASSERT_TRUE(Start());
    PrintToPdf("preview.pdf");
    int shown = 0;
    auto inspect = [&shown](QPrintPreviewWidget::ViewMode expected, QPrintPreviewWidget::ViewMode leaveAt) {
        WhenModalShows<QPrintPreviewDialog>([=, &shown](QPrintPreviewDialog& opened) {
            auto* dialog = &opened;
            auto* preview = dialog->findChild<QPrintPreviewWidget*>();
            ASSERT_NE(preview, nullptr);
            preview->updatePreview();
            EXPECT_EQ(preview->pageCount(), 1);
            EXPECT_EQ(preview->viewMode(), expected);
            // The bar's toggle agrees with the pages shown, and switches them.
            auto* ours = qobject_cast<platform::CPrintPreviewDialog*>(dialog);
            ASSERT_NE(ours, nullptr);
            EXPECT_EQ(ours->windowTitle(), "Print Preview");
            EXPECT_EQ(ours->PagesAction()->text(),
                      expected == QPrintPreviewWidget::FacingPagesView ? "&One Page" : "&Two Page");
            if (expected != leaveAt)
                ours->PagesAction()->trigger();
            EXPECT_EQ(preview->viewMode(), leaveAt);
            ++shown;
            dialog->reject();
        });
    };
    inspect(QPrintPreviewWidget::SinglePageView, QPrintPreviewWidget::FacingPagesView);
    Frame()->Action(ID_FILE_PRINT_PREVIEW)->trigger();
    ASSERT_EQ(shown, 1);
    EXPECT_EQ(quorrel::platform::OpenSettings("Local AppWizard-Generated Applications", "Quorrel")->value("Settings/PreviewPages").toInt(),
              2);
    m_app.reset();

    ASSERT_TRUE(Start());
    PrintToPdf("preview2.pdf");
    inspect(QPrintPreviewWidget::FacingPagesView, QPrintPreviewWidget::SinglePageView);
    Frame()->Action(ID_FILE_PRINT_PREVIEW)->trigger();
    ASSERT_EQ(shown, 2);
    EXPECT_EQ(m_app->GetProfileInt("Settings", "PreviewPages", 0), 1);
}

TEST_F(PrintCopyTest, TheCommandLinePrintSwitchPrintsTheDocumentWithoutShowingTheEditor)
{
    ASSERT_TRUE(Start());
    const QString wpp = TempPath("printed.wpp");
    chosenFiles = {wpp};
    Press(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(QFile::exists(wpp));
    m_app.reset();

    m_app = std::make_unique<CQuorrelApp>();
    const QString pdf = PrintToPdf("printed.pdf");
    EXPECT_TRUE(m_app->PrintDocumentFile(wpp));
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_EQ(PdfPageCount(quorrel::test::ReadFile(pdf)), 1);
    EXPECT_EQ(m_app->Printer().docName(), "printed.wpp");
    ASSERT_NE(Frame(), nullptr);
    EXPECT_FALSE(Frame()->isVisible());
    EXPECT_EQ(DocumentCount(), 0);   // closed again
    EXPECT_TRUE(dialogs.empty());    // no dialog on the way
    EXPECT_TRUE(messages.isEmpty());

    // A printer that does not exist, and a file that does not open, print
    // nothing and say so.
    const QString none = PrintToPdf("none.pdf");
    EXPECT_FALSE(m_app->PrintDocumentFile(wpp, "No Such Printer 42"));
    EXPECT_EQ(messages.size(), 1);
    EXPECT_FALSE(m_app->PrintDocumentFile(TempPath("missing.wpp")));
    EXPECT_EQ(messages.size(), 2);
    EXPECT_FALSE(QFile::exists(none));
    EXPECT_EQ(DocumentCount(), 0);
}

// Every print command while the print server takes connections and never
// answers: after its five seconds the user is told the server does not
// answer, by name; no dialog shows, and the window keeps painting meanwhile.
class StalledServerCommandTest;
struct StalledCommandCase {
    const char* name;
    std::function<void(StalledServerCommandTest&)> run;
    QString expected;   // %1: the server's "host:port"
};

class StalledServerCommandTest : public PrintCopyTest, public ::testing::WithParamInterface<StalledCommandCase> {
public:
    void Trigger(int id) { Frame()->Action(id)->trigger(); }
    bool PrintFromCommandLine() { return m_app->PrintDocumentFile(TempPath("printed.wpp"), "PDF"); }
};

TEST_P(StalledServerCommandTest, NamesTheServerWithinItsTimeAndKeepsTheWindowRunning)
{
    const StalledCommandCase& c = GetParam();
    ASSERT_TRUE(Start());
    quorrel::test::CStalledPrintServer server;
    ASSERT_TRUE(server.Listening());
    int ticks = 0;
    QStringList windows;   // any modal window that shows, closed at once
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        ++ticks;
        if (QWidget* modal = QApplication::activeModalWidget()) {
            windows << modal->windowTitle();
            modal->close();
        }
    });
    tick.start(20);
    QElapsedTimer clock;
    clock.start();
    {
        quorrel::test::CWatchdog watchdog(std::chrono::seconds(60), c.name);
        c.run(*this);
    }
    const qint64 elapsed = clock.elapsed();
    EXPECT_EQ(messages, QStringList{c.expected.arg(server.Name())});
    EXPECT_TRUE(dialogs.empty());
    EXPECT_TRUE(windows.isEmpty()) << windows.join(", ").toStdString();
    EXPECT_GE(server.Accepted(), 1) << "the server was never asked";
    EXPECT_LT(elapsed, 20000);
    // At 20 ms a tick, about 250 in five seconds.
    EXPECT_GE(ticks, 100) << "the window's thread was held";
}

const QString kSilence = QStringLiteral("The print server %1 does not answer.");

INSTANTIATE_TEST_SUITE_P(
    Commands, StalledServerCommandTest,
    ::testing::Values(
        StalledCommandCase{"PrintSetup", [](StalledServerCommandTest& t) {
                               t.Trigger(ID_FILE_PRINT_SETUP);
                           }, kSilence},
        StalledCommandCase{"Print", [](StalledServerCommandTest& t) {
                               t.Trigger(ID_FILE_PRINT);
                           }, kSilence},
        StalledCommandCase{"PrintPreview", [](StalledServerCommandTest& t) {
                               t.Trigger(ID_FILE_PRINT_PREVIEW);
                           }, kSilence},
        StalledCommandCase{"CommandLine", [](StalledServerCommandTest& t) {
                               EXPECT_FALSE(t.PrintFromCommandLine());
                           }, "Could not start print job.\n" + kSilence}),
    [](const ::testing::TestParamInfo<StalledCommandCase>& info) { return std::string(info.param.name); });

// Nothing of a silent server is kept: once it is gone, Print Setup asks
// again and shows its dialog.
TEST_F(PrintCopyTest, AServerThatDidNotAnswerIsAskedAgainNextTime)
{
    ASSERT_TRUE(Start());
    {
        quorrel::test::CStalledPrintServer server;
        ASSERT_TRUE(server.Listening());
        quorrel::test::CWatchdog watchdog(std::chrono::seconds(60), "Print Setup");
        Frame()->Action(ID_FILE_PRINT_SETUP)->trigger();
        EXPECT_EQ(messages, QStringList{"The print server " + server.Name() + " does not answer."});
        EXPECT_TRUE(dialogs.empty());
    }
    Frame()->Action(ID_FILE_PRINT_SETUP)->trigger();
    EXPECT_EQ(dialogs, std::vector<platform::PrintDialogKind>{platform::PrintDialogKind::PrintSetup});
    EXPECT_EQ(messages.size(), 1);
}

} // namespace
