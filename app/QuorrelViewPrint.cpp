// The view's commands that send the image elsewhere: Copy to the clipboard,
// Print and Print Preview (one page, the image at the top-left corner).

#include "QuorrelView.h"

#include "CommandTable.h"
#include "QuorrelApp.h"
#include "QuorrelDoc.h"

#include "platform/PrintDialogs.h"
#include "platform/printing/PrintJob.h"
#include "platform/printing/PrinterChoice.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>

namespace quorrel::app {

namespace {
const QString kPreviewSection = QStringLiteral("Settings");
const QString kPreviewPages = QStringLiteral("PreviewPages");

CQuorrelApp* App() { return dynamic_cast<CQuorrelApp*>(platform::CWinApp::Instance()); }
} // namespace

void CQuorrelView::AddOutputCommands()
{
    OnCommand(ID_EDIT_COPY, [this] { OnEditCopy(); });
    OnCommand(ID_FILE_PRINT, [this] { OnFilePrint(); });
    OnCommand(ID_FILE_PRINT_PREVIEW, [this] { OnFilePrintPreview(); });
    // Nothing to copy or print before the first rendering.
    for (int id : {ID_EDIT_COPY, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW})
        OnUpdateCommand(id, [this](platform::CCmdUI& ui) {
            if (!m_bRendered)
                ui.Disable(kNoTileYet);
        });
}

void CQuorrelView::OnEditCopy()
{
    const CQuorrelDoc* doc = GetDocument();
    if (!doc || m_bitmap.isNull() || !m_bRendered)
        return;
    // The image corner of the bitmap, pixel for pixel, whatever the zoom.
    const QImage image = m_bitmap.copy(0, 0, static_cast<int>(doc->m_params.m_nWidth),
                                       static_cast<int>(doc->m_params.m_nHeight));
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setImage(image);
}

bool CQuorrelView::PrintTo(QPrinter& printer)
{
    if (const CQuorrelDoc* doc = GetDocument())
        printer.setDocName(doc->GetTitle());
    // Every way the job can fail is reported by the job itself.
    platform::CPrintJob job(printer);
    QPainter* painter = job.Begin();
    if (!painter)
        return false;
    OnDraw(*painter, true);
    return job.Finish();
}

void CQuorrelView::OnFilePrint()
{
    CQuorrelApp* app = App();
    // A print server that does not answer would hold the window in Qt's
    // printer and dialog: ask it first (it says so when it does not answer).
    if (!app || !platform::PrintServerAnswers())
        return;
    QPrinter& printer = app->Printer();
    if (!platform::RunPrintDialog(window(), printer))
        return;
    PrintTo(printer);
}

void CQuorrelView::OnFilePrintPreview()
{
    CQuorrelApp* app = App();
    if (!app || !platform::PrintServerAnswers())
        return;
    // One page or two side by side, as the preview was left last time.
    int pages = app->GetProfileInt(kPreviewSection, kPreviewPages, 1);
    const bool print = platform::RunPrintPreview(
        window(), app->Printer(),
        [this](QPrinter& printer) {
            QPainter painter(&printer);
            painter.setRenderHint(QPainter::LosslessImageRendering, true);
            OnDraw(painter, true);
        },
        pages);
    app->WriteProfileInt(kPreviewSection, kPreviewPages, pages);
    // The preview's Print button: the Print command, dialog and all.
    if (print)
        OnFilePrint();
}

} // namespace quorrel::app
