#include "MainFrame.h"

#include "CommandTable.h"
#include "FullScreen.h"
#include "MainStatusBar.h"
#include "QuorrelApp.h"
#include "QuorrelView.h"

#include "platform/MDIChildWnd.h"
#include "platform/desktop/Artwork.h"
#include "platform/desktop/HelpSystem.h"
#include "platform/RecentFileList.h"
#include "platform/WinApp.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QRegularExpression>
#include <QToolBar>

#include <initializer_list>

namespace quorrel::app {

namespace {

constexpr int kRecentMarker = -1;   // where the recent files go in the File menu
constexpr QSize kButtonImage(16, 15);

} // namespace

CMainFrame::CMainFrame() : m_pFullScreen(std::make_unique<CFullScreen>(*this))
{
    setWindowTitle(QStringLiteral("Quorrel"));
    setWindowIcon(desktop::ApplicationIcon());
    AddCommands(CommandTable());

    // Images painted at any size, so the toolbar stays crisp on dense screens.
    for (const platform::CommandInfo& info : CommandTable()) {
        if (QAction* action = Action(info.id)) {
            action->setIcon(desktop::ToolbarIcon(info.id));
            action->setIconVisibleInMenu(false);
            desktop::HelpSystem::SetCommandWhatsThis(action, info.id);
        }
    }

    // New and Open stay available while fewer than five documents are open;
    // a new document from a preset counts like New.
    for (const int id : std::initializer_list<int>{ID_FILE_NEW, ID_FILE_NEW_FROM_PRESET, ID_FILE_OPEN})
        OnUpdateCommand(id, [](platform::CCmdUI& ui) { ui.Enable(g_nOpenDocs < kMaxOpenDocs); });

    // Full Screen is checked while the mode is on.
    OnCommand(ID_FULL_SCREEN, [this] { OnFullScreen(); });
    OnUpdateCommand(ID_FULL_SCREEN, [this](platform::CCmdUI& ui) { ui.SetCheck(IsFullScreen()); });

    CreateToolBar();
    CreateStatusBar();
    // The zoom pane follows the active view whenever the commands' states do.
    connect(&Router(), &platform::CCommandRouter::actionsUpdated, this, [this] {
        const auto* view = qobject_cast<const CQuorrelView*>(GetActiveView());
        m_pStatusBar->ShowZoom(view ? view->ZoomFactor() : 0);
        m_pStatusBar->ShowRenderWay(view && view->IsContinuous());
        if (m_pFullScreen)
            m_pFullScreen->ShowRenderWay(view && view->IsContinuous());
    });
    BuildMenus(false);
    SetIdleMessage(tr("For Help, press F1"));
    Router().UpdateActions();
}

void CMainFrame::CreateToolBar()
{
    m_pToolBar = addToolBar(tr("Standard"));
    m_pToolBar->setObjectName(QStringLiteral("MainToolBar"));
    m_pToolBar->setIconSize(kButtonImage);
    m_pToolBar->setMovable(true);
    for (int id : ToolbarLayout()) {
        if (id == 0)
            m_pToolBar->addSeparator();
        else
            m_pToolBar->addAction(Action(id));
    }
    // A screen reader speaks a button's tooltip as its description: the
    // tooltip's words, without the "&" a menu text may carry.
    for (QAction* action : m_pToolBar->actions()) {
        QWidget* button = m_pToolBar->widgetForAction(action);
        if (!button || action->isSeparator())
            continue;
        const auto describe = [action, button] {
            const QString spoken = QString(action->toolTip()).remove(QRegularExpression(QStringLiteral("&(?!&)")));
            if (button->accessibleDescription() != spoken)
                button->setAccessibleDescription(spoken);
        };
        describe();
        connect(action, &QAction::changed, button, describe);
    }
    SetControlBars(m_pToolBar);
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::CreateStatusBar()
{
    m_pStatusBar = new CMainStatusBar(this);
    setStatusBar(m_pStatusBar);
}

void CMainFrame::SetPaneText(int pane, const QString& text) { m_pStatusBar->SetPaneText(pane, text); }

QString CMainFrame::GetPaneText(int pane) const { return m_pStatusBar->GetPaneText(pane); }

QProgressBar* CMainFrame::ProgressIndicator() const { return m_pStatusBar->ProgressIndicator(); }

void CMainFrame::SetProgress(int percent) { m_pStatusBar->SetProgress(percent); }

void CMainFrame::ShowPixelColor(uint32_t color) { m_pStatusBar->ShowPixelColor(color); }

void CMainFrame::OnFullScreen()
{
    m_pFullScreen->Toggle();
    Router().RequestIdleUpdate();
}

bool CMainFrame::IsFullScreen() const { return m_pFullScreen->IsActive(); }

QMenu* CMainFrame::AddMenu(const QString& title, std::initializer_list<int> ids)
{
    QMenu* menu = menuBar()->addMenu(title);
    for (int id : ids) {
        if (id == kRecentMarker) {
            for (int mru = ID_FILE_MRU_FILE1; mru <= ID_FILE_MRU_FILE4; ++mru)
                menu->addAction(Action(mru));
        } else {
            AddMenuItems(menu, {id});
        }
    }
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        UpdateRecentFileItems();
        Router().UpdateMenu(menu);
    });
    return menu;
}

void CMainFrame::BuildMenus(bool documentActive)
{
    if (m_bMenusBuilt && documentActive == m_bDocumentMenus)
        return;
    m_bMenusBuilt = true;
    m_bDocumentMenus = documentActive;
    // The old menus may still be open (Close from the File menu switches
    // the bars), so they go at the next pass of the event loop.
    for (QMenu* old : menuBar()->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly))
        old->deleteLater();
    menuBar()->clear();
    if (!documentActive) {
        AddMenu(tr("&File"), {ID_FILE_NEW, ID_FILE_NEW_FROM_PRESET, ID_FILE_OPEN, 0, ID_FILE_PRINT_SETUP,
                                          0, kRecentMarker, 0, ID_FILE_CLOSE, ID_APP_EXIT});
        AddMenu(tr("&View"), {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR});
        AddMenu(tr("&Help"), {ID_HELP_FINDER, 0, ID_APP_ABOUT});
        return;
    }
    QMenu* file = AddMenu(tr("&File"),
            {ID_FILE_NEW, ID_FILE_NEW_FROM_PRESET, ID_FILE_OPEN, ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_SAVE_AS,
             ID_EXPORT_IMAGE, ID_EXPORT_SCREEN_IMAGE, ID_EXPORT_ANIMATION, 0, ID_SET_AS_WALLPAPER, ID_SET_AS_LIVING_WALLPAPER, 0, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP, 0,
             kRecentMarker, 0, ID_APP_EXIT});
    AddWallpaperScaleMenu(file);
    AddMenu(tr("&Edit"), {ID_EDIT_UNDO, ID_EDIT_REDO, 0, ID_EDIT_COPY, 0, ID_PROPERTIES, ID_COEFFICIENTS,
                                      0, ID_RANDOM_GENERATION, ID_SLIDE_SHOW, ID_RANDOM_DESKTOP, ID_DESKTOP_ROTATION, 0,
                                      ID_EDIT_RESET_DEFAULTS});
    AddMenu(tr("&View"), {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, 0, ID_ZOOM_IN, ID_ZOOM_OUT, ID_ZOOM_NORMAL,
                                      0, ID_VIEW_CONTINUOUS, ID_VIEW_ANIMATE, 0, ID_FULL_SCREEN});
    QMenu* window = AddMenu(tr("&Window"),
                            {ID_WINDOW_NEW, ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ, ID_WINDOW_ARRANGE});
    connect(window, &QMenu::aboutToShow, this, [this, window] { FillWindowList(window); });
    AddMenu(tr("&Help"), {ID_HELP_FINDER, 0, ID_APP_ABOUT});
}

void CMainFrame::AddWallpaperScaleMenu(QMenu* file)
{
    // Right after Set As Wallpaper: the scale it renders the tile at.
    auto* scales = new QMenu(tr("Wallpaper Sc&ale"), file);
    scales->setObjectName(QStringLiteral("WallpaperScale"));
    for (int id = ID_WALLPAPER_SCALE_1; id <= ID_WALLPAPER_SCALE_4; ++id)
        AddMenuItems(scales, {id});
    const QList<QAction*> items = file->actions();
    const auto wallpaper = std::find(items.begin(), items.end(), Action(ID_SET_AS_WALLPAPER));
    QAction* before = wallpaper != items.end() && wallpaper + 1 != items.end() ? *(wallpaper + 1) : nullptr;
    file->insertMenu(before, scales);
    connect(scales, &QMenu::aboutToShow, this, [this, scales] { Router().UpdateMenu(scales); });
}

void CMainFrame::UpdateRecentFileItems()
{
    const platform::CWinApp* app = platform::CWinApp::Instance();
    const platform::CRecentFileList* list = app ? app->GetRecentFileList() : nullptr;
    const int count = list ? static_cast<int>(list->Entries().size()) : 0;
    for (int i = 0; i < kRecentFiles; ++i) {
        QAction* action = Action(ID_FILE_MRU_FILE1 + i);
        if (count == 0) {
            // An empty list shows the placeholder item (disabled by its rule).
            action->setText(tr("Recent File"));
            action->setVisible(i == 0);
        } else {
            action->setVisible(i < count);
            if (i < count)
                action->setText(list->MenuText(i));
        }
    }
}

void CMainFrame::OnActiveChildChanged()
{
    platform::CMDIFrameWnd::OnActiveChildChanged();
    BuildMenus(MDIGetActive() != nullptr);
    // Another view's read-out is not this one's: back to the start's until
    // the pointer moves over it.
    if (QWidget* view = GetActiveView(); view && view != m_pReadoutView) {
        m_pStatusBar->ResetReadout();
        m_pReadoutView = view;
    }
}

} // namespace quorrel::app
