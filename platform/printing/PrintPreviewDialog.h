#pragma once
// The print preview window: the page as it will print, under a bar of
// labelled buttons: "&Print...", "&Next Page", "Pre&v Page", the one-page /
// two-page toggle ("&One Page" / "&Two Page"), "Zoom &In", "Zoom &Out" and
// "&Close". Page Down and Page Up step pages; Esc closes it.

#include <QPrintPreviewDialog>

class QAction;
class QPrintPreviewWidget;

namespace quorrel::platform {

class CPrintPreviewDialog final : public QPrintPreviewDialog {
    Q_OBJECT
public:
    // Shows `pages` (1 or 2) pages side by side at first.
    CPrintPreviewDialog(QPrinter* printer, QWidget* parent, int pages);

    // How many pages it shows side by side now (1 or 2).
    int PagesShown() const;
    // True once the user chose "&Print..." (the preview is closed then).
    bool PrintRequested() const { return m_printRequested; }

    QAction* PrintAction() const { return m_print; }
    QAction* NextPageAction() const { return m_next; }
    QAction* PrevPageAction() const { return m_prev; }
    QAction* PagesAction() const { return m_pages; }
    QAction* ZoomInAction() const { return m_zoomIn; }
    QAction* ZoomOutAction() const { return m_zoomOut; }
    QAction* CloseAction() const { return m_close; }

private:
    void SetPagesShown(int pages);
    void StepZoom(int step);
    void UpdateButtons();

    QPrintPreviewWidget* m_preview = nullptr;
    QAction* m_print = nullptr;
    QAction* m_next = nullptr;
    QAction* m_prev = nullptr;
    QAction* m_pages = nullptr;
    QAction* m_zoomIn = nullptr;
    QAction* m_zoomOut = nullptr;
    QAction* m_close = nullptr;
    int m_zoomLevel = 0;   // 0: the whole page in view, then each step twice as large
    bool m_printRequested = false;
};

} // namespace quorrel::platform
