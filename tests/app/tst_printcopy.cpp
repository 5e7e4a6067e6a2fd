// Copy, Print, Print Preview, Print Setup and printing from the command
// line. Printers here are PDF files in a temporary folder.

#include "EditorFixture.h"

#include "app/PrintLayout.h"

#include "platform/Document.h"
#include "platform/PrintDialogs.h"
#include "platform/SettingsLocation.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
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

TEST_F(PrintCopyTest, CopyBeforeTheFirstRenderingTakesTheBlankBitmapNotThePlaceholder)
{
    CQuorrelView::SetPropertySheetRunner([](CQuorrelView&, bool, bool&) { return false; });
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    ASSERT_FALSE(view->IsRendered());
    QApplication::clipboard()->clear();
    Frame()->Action(ID_EDIT_COPY)->trigger();
    const QImage copied = QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    const auto& params = ActiveDoc()->m_params;
    ASSERT_EQ(copied.size(), QSize(int(params.m_nWidth), int(params.m_nHeight)));
    EXPECT_EQ(copied, TileOf(view).convertToFormat(QImage::Format_RGB32));
    const QImage placeholder = QImage(":/images/placeholder.png").convertToFormat(QImage::Format_RGB32);
    EXPECT_NE(copied.pixel(40, 40), placeholder.pixel(40, 40));
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
    QTimer::singleShot(0, [inspect, &seen] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            if (QApplication::activeModalWidget())
                QApplication::activeModalWidget()->close();
            return;
        }
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
        QTimer::singleShot(0, [=, &shown] {
            auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            auto* preview = dialog->findChild<QPrintPreviewWidget*>();
            ASSERT_NE(preview, nullptr);
            preview->updatePreview();
            EXPECT_EQ(preview->pageCount(), 1);
            EXPECT_EQ(preview->viewMode(), expected);
            preview->setViewMode(leaveAt);
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

} // namespace
