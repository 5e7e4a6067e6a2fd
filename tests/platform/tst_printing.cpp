// Printing's own rules: which printer a Print goes to when the chosen one is
// gone, the preview window's bar, and the machine's print system against a
// server that takes connections and never answers. (Jobs against a real
// CUPS server are checked in tests/desktops.)

#include "platform/MessageBox.h"
#include "platform/printing/PrintPreviewDialog.h"
#include "platform/printing/PrinterChoice.h"
#include "platform/printing/PrintSystem.h"
#include "output/QtPrinting.h"
#include "support/FakePrintSystem.h"
#include "support/StalledPrintServer.h"
#include "support/Watchdog.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace quorrel::platform;

namespace {

struct ChoiceCase {
    const char* name;
    QString chosen;
    QStringList available;
    QString defaultPrinter;
    QString expectedPrinter;
    QString expectedMessage;   // empty: nothing is said
};

class PrinterChoiceTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(PrinterChoiceTest, UsesTheChosenPrinterOrSaysWhatIsUsedInstead)
{
    const ChoiceCase& c = GetParam();
    const PrinterChoice choice = ChoosePrinter(c.chosen, c.available, c.defaultPrinter);
    EXPECT_EQ(choice.printer, c.expectedPrinter);
    EXPECT_EQ(choice.message, c.expectedMessage);
}

const QString kFileHint =
    "Nothing was printed. To print into a PDF file, choose \"Print to File (PDF)\" in Print Setup.";

INSTANTIATE_TEST_SUITE_P(
    Printers, PrinterChoiceTest,
    ::testing::Values(
        ChoiceCase{"ChosenIsThere", "Office", {"PDF", "Office"}, "PDF", "Office", ""},
        ChoiceCase{"ChosenGoneDefaultUsed", "Office", {"PDF", "Laser"}, "Laser", "Laser",
                   "The printer \"Office\" is no longer available.\n\"Laser\" is used instead."},
        ChoiceCase{"ChosenGoneNoDefaultFirstUsed", "Office", {"PDF", "Laser"}, "", "PDF",
                   "The printer \"Office\" is no longer available.\n\"PDF\" is used instead."},
        ChoiceCase{"ChosenWasTheDefaultAndIsGone", "Office", {"Laser"}, "Office", "Laser",
                   "The printer \"Office\" is no longer available.\n\"Laser\" is used instead."},
        ChoiceCase{"ChosenGoneNoneLeft", "Office", {}, "", "",
                   "The printer \"Office\" is no longer available, and there is no other printer.\n" + kFileHint},
        ChoiceCase{"NoneChosenDefaultUsedQuietly", "", {"PDF", "Laser"}, "Laser", "Laser", ""},
        ChoiceCase{"NoneChosenFirstUsedQuietly", "", {"PDF"}, "", "PDF", ""},
        ChoiceCase{"NoPrinterAtAll", "", {}, "", "", "There is no printer.\n" + kFileHint},
        ChoiceCase{"UnicodeNameKept", "Büro ☃", {"PDF", "Büro ☃"}, "PDF", "Büro ☃", ""}),
    [](const ::testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name); });

class PreparePrinterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMessageHandler([this](const MessageRequest& request) {
            messages << request.text;
            return MsgResult::Ok;
        });
    }
    void TearDown() override
    {
        SetMessageHandler({});
    }
    quorrel::test::CFakePrintSystem system;
    QStringList messages;
    QTemporaryDir dir;
};

TEST_F(PreparePrinterTest, WithNoPrinterAndNoFileChosenNothingGoesAnywhereAndTheUserIsTold)
{
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);   // what Qt falls back to without printers
    ASSERT_TRUE(printer.outputFileName().isEmpty());
    EXPECT_FALSE(PreparePrinter(printer));
    EXPECT_EQ(messages, QStringList{"There is no printer.\n" + kFileHint});
    EXPECT_TRUE(printer.outputFileName().isEmpty()) << "a file the user did not ask for";
}

TEST_F(PreparePrinterTest, AFileTheUserNamedIsPrintedIntoWithoutAskingForPrinters)
{
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("chosen.pdf"));
    EXPECT_TRUE(PreparePrinter(printer));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(system.asked, 0);
    EXPECT_EQ(printer.outputFileName(), dir.filePath("chosen.pdf"));
}

// The preview of one page that `paint` draws, as the editor opens it.
class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("preview.pdf"));
    }
    std::unique_ptr<CPrintPreviewDialog> Open(int pages)
    {
        auto dialog = std::make_unique<CPrintPreviewDialog>(&printer, nullptr, pages);
        QObject::connect(dialog.get(), &QPrintPreviewDialog::paintRequested, [](QPrinter* target) {
            QPainter painter(target);
            painter.fillRect(QRect(0, 0, 400, 300), Qt::darkGreen);
        });
        dialog->show();
        QApplication::processEvents();
        return dialog;
    }
    QTemporaryDir dir;
    QPrinter printer;
};

TEST_F(PreviewTest, TheBarHoldsExactlyTheLabelledButtonsInOrder)
{
    printer.setDocName("Quorrel1");
    auto dialog = Open(1);
    // One title, whatever document is previewed.
    EXPECT_EQ(dialog->windowTitle(), "Print Preview");
    const auto bars = dialog->findChildren<QToolBar*>();
    ASSERT_EQ(bars.size(), 1);
    QStringList shown;
    for (QAction* action : bars[0]->actions()) {
        if (!action->isVisible())
            continue;
        // Each shows its whole text, not an icon alone.
        auto* button = qobject_cast<QToolButton*>(bars[0]->widgetForAction(action));
        ASSERT_NE(button, nullptr) << action->text().toStdString();
        shown << button->text();
        EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextOnly);
        EXPECT_TRUE(button->isVisible());
    }
    EXPECT_EQ(shown, (QStringList{"&Print...", "&Next Page", "Pre&v Page", "&Two Page", "Zoom &In", "Zoom &Out",
                                  "&Close"}));
    // One page: nowhere to step to; the whole page is in view.
    auto* preview = dialog->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->pageCount(), 1);
    EXPECT_FALSE(dialog->NextPageAction()->isEnabled());
    EXPECT_FALSE(dialog->PrevPageAction()->isEnabled());
    EXPECT_TRUE(dialog->ZoomInAction()->isEnabled());
    EXPECT_FALSE(dialog->ZoomOutAction()->isEnabled());
}

struct ToggleCase {
    int openedWith;
    QPrintPreviewWidget::ViewMode mode;
    const char* toggleText;
    QPrintPreviewWidget::ViewMode afterClick;
    const char* textAfterClick;
};

class PreviewToggleTest : public PreviewTest, public ::testing::WithParamInterface<ToggleCase> {};

TEST_P(PreviewToggleTest, TheToggleMatchesThePagesShownWhenOpenedAndAfterEachClick)
{
    const ToggleCase& c = GetParam();
    auto dialog = Open(c.openedWith);
    auto* preview = dialog->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->viewMode(), c.mode);
    EXPECT_EQ(dialog->PagesAction()->text(), c.toggleText);
    auto* button = qobject_cast<QToolButton*>(dialog->findChild<QToolBar*>()->widgetForAction(dialog->PagesAction()));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), c.toggleText);
    button->click();
    EXPECT_EQ(preview->viewMode(), c.afterClick);
    EXPECT_EQ(dialog->PagesAction()->text(), c.textAfterClick);
    EXPECT_EQ(button->text(), c.textAfterClick);
    EXPECT_EQ(dialog->PagesShown(), c.afterClick == QPrintPreviewWidget::FacingPagesView ? 2 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PreviewToggleTest,
    ::testing::Values(ToggleCase{1, QPrintPreviewWidget::SinglePageView, "&Two Page",
                                 QPrintPreviewWidget::FacingPagesView, "&One Page"},
                      ToggleCase{2, QPrintPreviewWidget::FacingPagesView, "&One Page",
                                 QPrintPreviewWidget::SinglePageView, "&Two Page"}));

TEST_F(PreviewTest, ZoomStepsInTwiceAndBackToTheWholePage)
{
    auto dialog = Open(1);
    auto* preview = dialog->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(preview, nullptr);
    const qreal whole = preview->zoomFactor();
    dialog->ZoomInAction()->trigger();
    EXPECT_NEAR(preview->zoomFactor(), whole * 2, whole * 0.01);
    dialog->ZoomInAction()->trigger();
    EXPECT_NEAR(preview->zoomFactor(), whole * 4, whole * 0.01);
    EXPECT_FALSE(dialog->ZoomInAction()->isEnabled());
    dialog->ZoomOutAction()->trigger();
    dialog->ZoomOutAction()->trigger();
    EXPECT_NEAR(preview->zoomFactor(), whole, whole * 0.01);
    EXPECT_FALSE(dialog->ZoomOutAction()->isEnabled());
    EXPECT_TRUE(dialog->ZoomInAction()->isEnabled());
}

struct CloseCase {
    const char* name;
    std::function<void(CPrintPreviewDialog&)> close;
    bool printRequested;
};

class PreviewCloseTest : public PreviewTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(PreviewCloseTest, ClosesAndTellsWhetherToPrint)
{
    const CloseCase& c = GetParam();
    CPrintPreviewDialog dialog(&printer, nullptr, 1);
    bool ran = false;
    QTimer::singleShot(0, [&] {
        ran = true;
        c.close(dialog);
    });
    QTimer::singleShot(5000, &dialog, &QDialog::reject);   // bounded, should the close fail
    QElapsedTimer clock;
    clock.start();
    dialog.exec();
    EXPECT_TRUE(ran);
    EXPECT_LT(clock.elapsed(), 4000) << "the preview did not close";
    EXPECT_EQ(dialog.PrintRequested(), c.printRequested);
    EXPECT_FALSE(QFile::exists(dir.filePath("preview.pdf"))) << "the preview printed by itself";
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, PreviewCloseTest,
    ::testing::Values(CloseCase{"Close", [](CPrintPreviewDialog& d) { d.CloseAction()->trigger(); }, false},
                      CloseCase{"Escape", [](CPrintPreviewDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, false},
                      CloseCase{"Print", [](CPrintPreviewDialog& d) { d.PrintAction()->trigger(); }, true}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

// The machine's print system while the server takes connections and never
// answers: each way of asking it gives up after its five seconds, names the
// server, and the window's thread keeps running meanwhile.
struct SilenceCase {
    const char* name;
    // Run before the server stalls (what asks the server on this thread).
    std::function<void()> prepare;
    // Asks; returns what the caller is told (a reason, or the messages shown).
    std::function<QString(const QStringList& messages)> ask;
    // What is told, with %1 for the server's "host:port".
    QString expected;
};

QPrinter& SharedPrinter()
{
    static QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName({});
    return printer;
}

class StalledServerTest : public PreparePrinterTest, public ::testing::WithParamInterface<SilenceCase> {};

TEST_P(StalledServerTest, SaysTheServerDoesNotAnswerAfterFiveSecondsWhileTheWindowThreadRuns)
{
    const SilenceCase& c = GetParam();
    SetPrintSystem(nullptr);   // the machine's, not the fixture's
    if (c.prepare)
        c.prepare();
    quorrel::test::CStalledPrintServer server;
    ASSERT_TRUE(server.Listening());
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
    tick.start(20);
    QElapsedTimer clock;
    clock.start();
    QString told;
    {
        quorrel::test::CWatchdog watchdog(std::chrono::seconds(60), c.name);
        told = c.ask(messages);
    }
    const qint64 elapsed = clock.elapsed();
    EXPECT_EQ(told, c.expected.arg(server.Name()));
    EXPECT_GE(server.Accepted(), 1) << "the server was never asked";
    EXPECT_GE(elapsed, 4500) << "the server was not given its five seconds";
    EXPECT_LT(elapsed, 20000);
    // At 20 ms a tick, about 250 in five seconds.
    EXPECT_GE(ticks, 100) << "the window's thread was held";
}

INSTANTIATE_TEST_SUITE_P(
    Requests, StalledServerTest,
    ::testing::Values(
        SilenceCase{"PrinterList", {},
                    [](const QStringList&) {
                        const PrintersNow now = PrintSystem().Printers();
                        return now.names.join(',') + now.defaultPrinter + "|" + now.silentServer;
                    },
                    "|%1"},
        SilenceCase{"ServerAnswers", {},
                    [](const QStringList& messages) {
                        const QString answers = PrintServerAnswers() ? "answers: " : "";
                        return answers + messages.join('/');
                    },
                    "The print server %1 does not answer."},
        // The printer made before (making one asks the server on this thread).
        SilenceCase{"PreparePrinter", [] { SharedPrinter(); },
                    [](const QStringList& messages) {
                        const QString prepared = PreparePrinter(SharedPrinter()) ? "prepared: " : "";
                        return prepared + messages.join('/');
                    },
                    "The print server %1 does not answer."},
        SilenceCase{"JobStarting", {},
                    [](const QStringList&) { return PrintSystem().JobStarting("PDF").value_or("taken"); },
                    "the print server %1 does not answer."},
        SilenceCase{"HandOver", {},
                    [](const QStringList&) {
                        auto folder = std::make_shared<QTemporaryDir>();
                        QFile file(folder->filePath("job.pdf"));
                        if (!file.open(QIODevice::WriteOnly) || file.write("%PDF-1.4\n%%EOF\n") <= 0)
                            return QString("no job file");
                        file.close();
                        const PrintJobFile job{"PDF", "Quorrel1", folder, file.fileName(), {std::pair<QByteArray, QByteArray>("media", "A4")}};
                        return PrintSystem().HandOver(job).value_or("taken");
                    },
                    "the print server %1 does not answer."}),
    [](const ::testing::TestParamInfo<SilenceCase>& info) { return std::string(info.param.name); });

TEST_F(PreparePrinterTest, WithNoServerAtAllThereAreNoPrintersAndNothingIsSaidAboutAServer)
{
    SetPrintSystem(nullptr);
    const QByteArray before = qgetenv("CUPS_SERVER");
    setenv("CUPS_SERVER", dir.filePath("no-such.sock").toLocal8Bit().constData(), 1);
    QElapsedTimer clock;
    clock.start();
    const PrintersNow now = PrintSystem().Printers();
    const bool answers = PrintServerAnswers();
    if (before.isEmpty())
        unsetenv("CUPS_SERVER");
    else
        setenv("CUPS_SERVER", before.constData(), 1);
    EXPECT_TRUE(now.names.isEmpty());
    EXPECT_TRUE(now.silentServer.isEmpty());
    EXPECT_TRUE(answers);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_LT(clock.elapsed(), 4000);
}

} // namespace
