#pragma once
// The framework's scrolling view: attached to one document, drawn through
// OnDraw in scrolled logical coordinates, with a total size, page and line
// steps; scroll bars show only where the total exceeds the client area. The
// bars page by the visible client area, so their thumbs show the visible
// share; the page size given is kept for those who ask.

#include "CmdTarget.h"

#include <QAbstractScrollArea>
#include <QPoint>
#include <QSize>

class QPainter;

namespace quorrel::platform {

class CDocument;
class CMDIChildWnd;

class CScrollView : public QAbstractScrollArea, public CCmdTarget {
    Q_OBJECT
public:
    CScrollView();
    ~CScrollView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    CMDIChildWnd* GetParentFrame() const { return m_pFrame; }

    // First display, once the window exists and is attached to its document.
    virtual void OnInitialUpdate();
    // The document's update notification: base sets nothing.
    virtual void OnUpdate(CScrollView* sender);
    // Added to the window's caption after the document's title (how the
    // view shows it, say); empty by default.
    virtual QString TitleNote() const { return {}; }
    // Paints the client area (or, later, a printer page).
    virtual void OnDraw(QPainter& painter, bool printing) = 0;

    void SetScrollSizes(QSize total, QSize page, QSize line);
    QSize GetTotalSize() const { return m_total; }
    QSize GetPageSize() const { return m_page; }
    QSize GetLineSize() const { return m_line; }
    QPoint GetScrollPosition() const;
    QSize GetClientSize() const;
    void Invalidate();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    friend class CDocument;
    friend class CMDIChildWnd;
    void UpdateBars();

    CDocument* m_pDocument = nullptr;
    CMDIChildWnd* m_pFrame = nullptr;
    QSize m_total{100, 100};
    QSize m_page{10, 10};
    QSize m_line{1, 1};
};

} // namespace quorrel::platform
