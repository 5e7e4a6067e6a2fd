#pragma once
// A document window inside the main window's MDI area: holds one view and
// shows the document's title. Closing the last window of a document closes
// the document (after asking to save it).

#include "CmdTarget.h"

#include <QMdiSubWindow>

namespace quorrel::platform {

class CDocument;
class CScrollView;

class CMDIChildWnd : public QMdiSubWindow, public CCmdTarget {
    Q_OBJECT
public:
    CMDIChildWnd();
    ~CMDIChildWnd() override;

    CScrollView* GetActiveView() const { return m_pView; }
    CDocument* GetActiveDocument() const;
    void SetView(CScrollView* view);

    // Caption: the title, with ":n" when the document has several windows.
    void OnUpdateFrameTitle();

    // Called by the document while it closes: the window goes without asking.
    void DestroyFromDocument();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CScrollView* m_pView = nullptr;
    bool m_bDestroying = false;
};

} // namespace quorrel::platform
