#include "PrintDialogs.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

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
    QPageSetupDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void RunPrintPreview(QWidget* parent, QPrinter& printer, const std::function<void(QPrinter&)>& paint, int& pages)
{
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&paint](QPrinter* target) {
        paint(*target);
    });
    auto* preview = dialog.findChild<QPrintPreviewWidget*>();
    if (preview)
        preview->setViewMode(pages >= 2 ? QPrintPreviewWidget::FacingPagesView
                                        : QPrintPreviewWidget::SinglePageView);
    dialog.exec();
    if (preview)
        pages = preview->viewMode() == QPrintPreviewWidget::FacingPagesView ? 2 : 1;
}

} // namespace quorrel::platform
