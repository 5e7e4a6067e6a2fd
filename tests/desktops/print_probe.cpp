// Prints the editor's tile through the real print dialogs and whatever
// print system the session has (the desktop test stage gives it a private
// CUPS server), answering the dialogs as a user would, and reports what the
// user saw.
//   quorrel-print-probe [--printer NAME] [--zoom N] [--tile FILE] [--shots DIR]
//                       [--before-print SHELL-COMMAND] [--while-dialog SHELL-COMMAND]
//                       [--preview FILE] [--stalled yes]
// --printer is chosen in Print Setup (kept as offered when NAME is not
// there); without it Print Setup is not shown;
// --tile saves the tile as the view shows it at zoom 1 (PNG); --shots keeps
// a picture of every message box. --before-print runs (sh -c) between Print
// Setup and Print, --while-dialog while the Print dialog is open, before it
// is confirmed. Each command gets 20 s. --preview opens Print Preview first
// and keeps a picture of it (PNG), then closes it. --stalled: the print
// server is not expected to answer, so the probe itself asks it nothing
// (no "printed:" line).
// Prints "setup: NAME", "dialog: NAME" (the printer the Print dialog
// offers), "message: TEXT" (each box, line breaks as " | "), "zoom: N", "screen-dpi: N",
// "took: COMMAND MS" (how long each command held the window's thread, with
// a tick count of a 20 ms timer on it: "took: print 5012 ms, 248 ticks")
// and "printed: WxH" (the tile's size on the page in printer dots).
// Exit status 0 unless the editor could not start or the arguments are bad.

#include "app/MainFrame.h"
#include "app/PrintLayout.h"
#include "app/QuorrelApp.h"
#include "app/QuorrelDoc.h"
#include "app/QuorrelView.h"
#include "platform/CommandIds.h"
#include "platform/printing/PrintPreviewDialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>

using namespace quorrel;

namespace {

struct Options {
    QString printer;
    int zoom = 1;
    QString tile;
    QString shots;
    QString beforePrint;
    QString whileDialog;
    QString preview;
    bool stalled = false;
};


void Say(const QString& key, const QString& value)
{
    QString line = value;
    line.replace('\n', QStringLiteral(" | "));
    std::printf("%s: %s\n", qPrintable(key), line.toUtf8().constData());
    std::fflush(stdout);
}

// Runs a command and reports how long it held the window's thread, and
// how often a timer on that thread ticked meanwhile.
void Timed(const char* name, const std::function<void()>& command)
{
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
    tick.start(20);
    QElapsedTimer clock;
    clock.start();
    command();
    Say("took", QStringLiteral("%1 %2 ms, %3 ticks").arg(QLatin1String(name)).arg(clock.elapsed()).arg(ticks));
}

bool RunShell(const QString& command)
{
    if (command.isEmpty())
        return true;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(QStringLiteral("sh"), {QStringLiteral("-c"), command});
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished(2000);
        Say("command", "timed out: " + command);
        return false;
    }
    const bool ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    Say("command", (ok ? "ok: " : "failed: ") + command);
    return ok;
}

// Answers every modal window as it shows: message boxes are kept as
// pictures, reported and confirmed; print dialogs get `onDialog` and are
// confirmed.
class CAnswerer final : public QObject {
public:
    CAnswerer(const Options& options) : m_options(options)
    {
        connect(&m_poll, &QTimer::timeout, this, [this] { Answer(); });
        m_poll.start(50);
    }
    std::function<void(QPrintDialog&)> onDialog;

private:
    void Answer()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == m_answered)
            return;
        m_answered = modal;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            Say("message", box->text());
            if (!m_options.shots.isEmpty())
                box->grab().save(QDir(m_options.shots).filePath(QStringLiteral("message-%1.png").arg(++m_boxes)));
            box->accept();
        } else if (auto* dialog = qobject_cast<QPrintDialog*>(modal)) {
            if (onDialog)
                onDialog(*dialog);
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            if (buttons && buttons->button(QDialogButtonBox::Ok))
                buttons->button(QDialogButtonBox::Ok)->click();
            else
                dialog->accept();
        } else if (auto* preview = qobject_cast<platform::CPrintPreviewDialog*>(modal)) {
            // Once the page is drawn.
            QTimer::singleShot(500, preview, [this, preview] {
                Say("preview", preview->windowTitle());
                preview->grab().save(m_options.preview);
                preview->CloseAction()->trigger();
            });
        } else {
            Say("unexpected window", modal->windowTitle());
            modal->close();
        }
    }

    const Options& m_options;
    QTimer m_poll;
    QWidget* m_answered = nullptr;
    int m_boxes = 0;
};

QComboBox* PrinterList(QPrintDialog& dialog)
{
    return dialog.findChild<QComboBox*>(QStringLiteral("printers"));
}

int Run(const Options& options)
{
    app::CQuorrelView::SetPropertySheetRunner([](app::CQuorrelView&, bool, bool&) { return true; });
    app::CQuorrelApp editor;
    if (!editor.InitInstance())
        return 1;
    app::CMainFrame* frame = editor.MainFrame();
    if (frame) {
        // Commands go to the active window's view, as for a user.
        frame->activateWindow();
        QTest::qWaitForWindowActive(frame);
    }
    auto* view = frame ? dynamic_cast<app::CQuorrelView*>(frame->GetActiveView()) : nullptr;
    if (!view) {
        Say("error", "no view");
        return 1;
    }
    const auto& params = view->GetDocument()->m_params;
    const QSize size(int(params.m_nWidth), int(params.m_nHeight));
    if (!options.tile.isEmpty() && !view->RenderedBitmap().copy(QRect(QPoint(0, 0), size)).save(options.tile))
        Say("error", "could not save the tile");
    for (int zoom = 1; zoom < options.zoom; ++zoom)
        frame->Action(platform::ID_ZOOM_IN)->trigger();
    Say("zoom", QString::number(view->ZoomFactor()));
    Say("screen-dpi", QString::number(view->logicalDpiX()));

    CAnswerer answerer(options);
    if (!options.preview.isEmpty())
        Timed("preview", [frame] { frame->Action(platform::ID_FILE_PRINT_PREVIEW)->trigger(); });
    // Print Setup: the printer the user picks.
    answerer.onDialog = [&options](QPrintDialog& dialog) {
        if (QComboBox* printers = PrinterList(dialog)) {
            const int index = printers->findText(options.printer);
            if (index >= 0)
                printers->setCurrentIndex(index);
            Say("setup", printers->currentText());
        }
    };
    if (!options.printer.isEmpty())
        Timed("setup", [frame] { frame->Action(platform::ID_FILE_PRINT_SETUP)->trigger(); });
    RunShell(options.beforePrint);

    // Print: what it offers, then what the print system says.
    answerer.onDialog = [&options](QPrintDialog& dialog) {
        if (QComboBox* printers = PrinterList(dialog))
            Say("dialog", printers->currentText());
        RunShell(options.whileDialog);
    };
    Timed("print", [frame] { frame->Action(platform::ID_FILE_PRINT)->trigger(); });
    if (options.stalled)
        return 0;
    QPrinter& printer = editor.Printer();
    const QSize printed = app::PrintedTileSize(size * view->ZoomFactor(), printer.logicalDpiX(),
                                               printer.logicalDpiY(), view->logicalDpiX(), view->logicalDpiY());
    Say("printed", QStringLiteral("%1x%2 at %3 dpi").arg(printed.width()).arg(printed.height()).arg(printer.logicalDpiX()));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorrel"));
    Options options;
    const QStringList args = QApplication::arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        const QString& key = args[i];
        const QString& value = args[i + 1];
        if (key == "--printer")
            options.printer = value;
        else if (key == "--zoom")
            options.zoom = std::clamp(value.toInt(), 1, 8);
        else if (key == "--tile")
            options.tile = value;
        else if (key == "--shots")
            options.shots = value;
        else if (key == "--before-print")
            options.beforePrint = value;
        else if (key == "--while-dialog")
            options.whileDialog = value;
        else if (key == "--preview")
            options.preview = value;
        else if (key == "--stalled")
            options.stalled = value == "yes";
        else {
            std::fprintf(stderr, "quorrel-print-probe: unknown option %s\n", qPrintable(key));
            return 2;
        }
    }
    if (args.size() % 2 == 0) {
        std::fprintf(stderr, "usage: quorrel-print-probe [--printer NAME] [--zoom N] [--tile FILE] [--shots DIR] "
                             "[--before-print CMD] [--while-dialog CMD] [--preview FILE] [--stalled yes]\n");
        return 2;
    }
    return Run(options);
}
