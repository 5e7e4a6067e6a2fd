#include "PrintPreviewDialog.h"

#include <QAction>
#include <QKeySequence>
#include <QPrintPreviewWidget>
#include <QToolBar>

namespace quorrel::platform {

namespace {
constexpr int kMaxZoomLevel = 2;
constexpr qreal kZoomStep = 2.0;
} // namespace

CPrintPreviewDialog::CPrintPreviewDialog(QPrinter* printer, QWidget* parent, int pages)
    : QPrintPreviewDialog(printer, parent)
{
    // One title, whatever the document's name is.
    setWindowTitle(tr("Print Preview"));
    m_preview = findChild<QPrintPreviewWidget*>();
    auto* bar = findChild<QToolBar*>();
    if (bar) {
        // The bar of icon-only buttons becomes the bar of labelled ones.
        bar->clear();
        bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    } else {
        bar = new QToolBar(this);
    }
    m_print = bar->addAction(tr("&Print..."));
    m_next = bar->addAction(tr("&Next Page"));
    m_prev = bar->addAction(tr("Pre&v Page"));
    m_pages = bar->addAction(tr("&Two Page"));
    m_zoomIn = bar->addAction(tr("Zoom &In"));
    m_zoomOut = bar->addAction(tr("Zoom &Out"));
    m_close = bar->addAction(tr("&Close"));
    // Buttons show their whole text, "..." and mnemonic included.
    for (QAction* action : {m_print, m_next, m_prev, m_pages, m_zoomIn, m_zoomOut, m_close})
        action->setIconText(action->text());
    m_next->setShortcut(QKeySequence(Qt::Key_PageDown));
    m_prev->setShortcut(QKeySequence(Qt::Key_PageUp));

    connect(m_print, &QAction::triggered, this, [this] {
        m_printRequested = true;
        accept();
    });
    connect(m_close, &QAction::triggered, this, &QDialog::reject);
    connect(m_pages, &QAction::triggered, this, [this] { SetPagesShown(PagesShown() == 2 ? 1 : 2); });
    connect(m_zoomIn, &QAction::triggered, this, [this] { StepZoom(1); });
    connect(m_zoomOut, &QAction::triggered, this, [this] { StepZoom(-1); });
    if (m_preview) {
        connect(m_next, &QAction::triggered, m_preview,
                [this] { m_preview->setCurrentPage(m_preview->currentPage() + PagesShown()); });
        connect(m_prev, &QAction::triggered, m_preview,
                [this] { m_preview->setCurrentPage(m_preview->currentPage() - PagesShown()); });
        connect(m_preview, &QPrintPreviewWidget::previewChanged, this, [this] { UpdateButtons(); });
        m_preview->fitInView();
    }
    SetPagesShown(pages);
}

int CPrintPreviewDialog::PagesShown() const
{
    return m_preview && m_preview->viewMode() == QPrintPreviewWidget::FacingPagesView ? 2 : 1;
}

void CPrintPreviewDialog::SetPagesShown(int pages)
{
    if (m_preview)
        m_preview->setViewMode(pages >= 2 ? QPrintPreviewWidget::FacingPagesView : QPrintPreviewWidget::SinglePageView);
    UpdateButtons();
}

void CPrintPreviewDialog::StepZoom(int step)
{
    const int level = std::clamp(m_zoomLevel + step, 0, kMaxZoomLevel);
    if (level == m_zoomLevel || !m_preview)
        return;
    m_zoomLevel = level;
    if (level == 0)
        m_preview->fitInView();
    else if (step > 0)
        m_preview->zoomIn(kZoomStep);
    else
        m_preview->zoomOut(kZoomStep);
    UpdateButtons();
}

void CPrintPreviewDialog::UpdateButtons()
{
    // The toggle names what it switches to.
    const QString pages = PagesShown() == 2 ? tr("&One Page") : tr("&Two Page");
    m_pages->setText(pages);
    m_pages->setIconText(pages);
    const int current = m_preview ? m_preview->currentPage() : 1;
    const int count = m_preview ? m_preview->pageCount() : 1;
    m_next->setEnabled(current + PagesShown() <= count);
    m_prev->setEnabled(current > 1);
    m_zoomIn->setEnabled(m_zoomLevel < kMaxZoomLevel);
    m_zoomOut->setEnabled(m_zoomLevel > 0);
}

} // namespace quorrel::platform
