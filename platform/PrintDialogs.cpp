#include "PrintDialogs.h"

#include "printing/PrintPreviewDialog.h"
#include "printing/PrinterChoice.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace quorrel::platform {

namespace {
PrintDialogHandler& Handler()
{
    static PrintDialogHandler handler;
    return handler;
}
} // namespace

void SetPrintDialogHandler(PrintDialogHandler handler) { Handler() = std::move(handler); }

bool RunPrintDialog(QWidget* parent, QPrinter& printer)
{
    // The job is one page.
    printer.setFromTo(1, 1);
    if (!PreparePrinter(printer))
        return false;
    if (Handler())
        return Handler()(PrintDialogKind::Print, printer);
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, 1);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    return dialog.exec() == QDialog::Accepted;
}

bool RunPrintSetupDialog(QWidget* parent, QPrinter& printer)
{
    if (Handler())
        return Handler()(PrintDialogKind::PrintSetup, printer);
    // The printer and its options (paper, orientation, the printer's own
    // settings), stored on `printer` for the next Print; nothing is printed.
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QCoreApplication::translate("MessageBox", "Print Setup"));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintShowPageSize, true);
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("OK"));
    return dialog.exec() == QDialog::Accepted;
}

bool RunPrintPreview(QWidget* parent, QPrinter& printer, const std::function<void(QPrinter&)>& paint, int& pages)
{
    CPrintPreviewDialog dialog(&printer, parent, pages);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&paint](QPrinter* target) {
        paint(*target);
    });
    dialog.exec();
    pages = dialog.PagesShown();
    return dialog.PrintRequested();
}

} // namespace quorrel::platform
