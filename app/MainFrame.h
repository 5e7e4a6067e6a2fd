#pragma once
// The main window: both menu bars (no document / document active), the main
// toolbar, the status bar with its panes, and the main frame's commands.

#include "platform/MDIFrameWnd.h"

#include <QPointer>

#include <cstdint>
#include <memory>

class QMenu;
class QProgressBar;
class QToolBar;

namespace quorrel::app {

class CFullScreen;
class CMainStatusBar;

class CMainFrame final : public platform::CMDIFrameWnd {
    Q_OBJECT
public:
    CMainFrame();
    ~CMainFrame() override;

    // Progress of a rendering in percent. The first call only creates the
    // indicator on pane 1; later calls move it.
    void SetProgress(int percent);
    // The colour under the pointer (0x00BBGGRR) in pane 3.
    void ShowPixelColor(uint32_t color);

    // Panes: 0 message, 1 progress, 2 position, 3 colour, 4-6 key states.
    void SetPaneText(int pane, const QString& text);
    QString GetPaneText(int pane) const;

    QToolBar* ToolBar() const { return m_pToolBar; }
    CMainStatusBar* StatusBar() const { return m_pStatusBar; }
    QProgressBar* ProgressIndicator() const;

    // Full Screen (command 524): toggles the mode.
    void OnFullScreen();
    bool IsFullScreen() const;
    const CFullScreen& FullScreen() const { return *m_pFullScreen; }
    bool HasDocumentMenus() const { return m_bDocumentMenus; }

protected:
    void OnActiveChildChanged() override;

private:
    void CreateToolBar();
    void CreateStatusBar();
    void BuildMenus(bool documentActive);
    void AddWallpaperScaleMenu(QMenu* file);
    QMenu* AddMenu(const QString& title, std::initializer_list<int> ids);
    void UpdateRecentFileItems();

    QToolBar* m_pToolBar = nullptr;
    CMainStatusBar* m_pStatusBar = nullptr;
    std::unique_ptr<CFullScreen> m_pFullScreen;
    QPointer<QWidget> m_pReadoutView;   // the view the colour read-out belongs to
    bool m_bDocumentMenus = false;
    bool m_bMenusBuilt = false;
};

} // namespace quorrel::app
