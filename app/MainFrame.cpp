#include "MainFrame.h"

#include "CommandTable.h"
#include "QuorrelApp.h"

#include "platform/MDIChildWnd.h"
#include "platform/desktop/Artwork.h"
#include "platform/desktop/HelpSystem.h"
#include "platform/RecentFileList.h"
#include "platform/WinApp.h"

#include <QAction>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>

namespace quorrel::app {

namespace {

constexpr int kRecentMarker = -1;   // where the recent files go in the File menu
constexpr QSize kButtonImage(16, 15);

} // namespace

CMainFrame::CMainFrame()
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

    // New and Open stay available while fewer than five documents are open.
    for (int id : {ID_FILE_NEW, ID_FILE_OPEN})
        OnUpdateCommand(id, [](platform::CCmdUI& ui) { ui.Enable(g_nOpenDocs < kMaxOpenDocs); });

    CreateToolBar();
    CreateStatusBar();
    BuildMenus(false);
    SetIdleMessage(QStringLiteral("For Help, press F1"));
    Router().UpdateActions();
}

void CMainFrame::CreateToolBar()
{
    m_pToolBar = addToolBar(QStringLiteral("Standard"));
    m_pToolBar->setObjectName(QStringLiteral("MainToolBar"));
    m_pToolBar->setIconSize(kButtonImage);
    m_pToolBar->setMovable(true);
    for (int id : ToolbarLayout()) {
        if (id == 0)
            m_pToolBar->addSeparator();
        else
            m_pToolBar->addAction(Action(id));
    }
    SetControlBars(m_pToolBar);
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setMinimumHeight(21);
    // Fixed widths 120, 90 and 60 pixels for panes 1 to 3, then the key states.
    const std::array<QString, 7> initial = {QString(), QString(10, QLatin1Char(' ')), QStringLiteral("0, 0"),
                                            QStringLiteral("RGB(0, 0, 0)"), QString(), QString(), QString()};
    for (int pane = 1; pane < 7; ++pane) {
        auto* label = new QLabel(initial[pane], bar);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        if (pane <= 3)
            label->setFixedWidth(120 - 30 * (pane - 1));
        else
            label->setMinimumWidth(36);
        bar->addPermanentWidget(label);
        m_panes[pane] = label;
    }
    m_panes[2]->setObjectName(QStringLiteral("PositionPane"));
    m_panes[3]->setObjectName(QStringLiteral("ColorPane"));
}

void CMainFrame::SetPaneText(int pane, const QString& text)
{
    if (pane == 0)
        statusBar()->showMessage(text);
    else if (pane > 0 && pane < 7)
        m_panes[pane]->setText(text);
}

QString CMainFrame::GetPaneText(int pane) const
{
    if (pane == 0)
        return statusBar()->currentMessage();
    return pane > 0 && pane < 7 ? m_panes[pane]->text() : QString();
}

void CMainFrame::SetProgress(int percent)
{
    if (!m_pProgress) {
        m_pProgress = new QProgressBar(m_panes[1]);
        m_pProgress->setObjectName(QStringLiteral("ProgressIndicator"));
        m_pProgress->setRange(0, 100);
        m_pProgress->setValue(0);
        m_pProgress->setTextVisible(false);
        m_pProgress->setGeometry(m_panes[1]->contentsRect());
        m_pProgress->show();
        return;
    }
    m_pProgress->setGeometry(m_panes[1]->contentsRect());
    m_pProgress->setValue(percent);
}

void CMainFrame::ShowPixelColor(uint32_t color)
{
    const int r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    const QString text = QStringLiteral("#%1%2%3")
                             .arg(r, 2, 16, QLatin1Char('0'))
                             .arg(g, 2, 16, QLatin1Char('0'))
                             .arg(b, 2, 16, QLatin1Char('0'))
                             .toUpper();
    const QColor back(r, g, b);
    const QColor fore((r + 128) % 255, (g + 128) % 255, (b + 128) % 255);
    m_panes[3]->setText(text);
    m_panes[3]->setAutoFillBackground(true);
    QPalette palette = m_panes[3]->palette();
    palette.setColor(QPalette::Window, back);
    palette.setColor(QPalette::WindowText, fore);
    m_panes[3]->setPalette(palette);
}

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
        AddMenu(QStringLiteral("&File"), {ID_FILE_NEW, ID_FILE_OPEN, 0, ID_FILE_PRINT_SETUP, 0, kRecentMarker, 0,
                                          ID_FILE_CLOSE, ID_APP_EXIT});
        AddMenu(QStringLiteral("&View"), {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR});
        AddMenu(QStringLiteral("&Help"), {ID_HELP_FINDER, 0, ID_APP_ABOUT});
        return;
    }
    AddMenu(QStringLiteral("&File"),
            {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_EXPORT_IMAGE, 0,
             ID_SET_AS_WALLPAPER, 0, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP, 0, kRecentMarker, 0,
             ID_APP_EXIT});
    AddMenu(QStringLiteral("&Edit"), {ID_EDIT_UNDO, ID_EDIT_REDO, 0, ID_EDIT_COPY, 0, ID_PROPERTIES, ID_COEFFICIENTS,
                                      0, ID_RANDOM_GENERATION, ID_SLIDE_SHOW, ID_RANDOM_DESKTOP});
    AddMenu(QStringLiteral("&View"), {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, 0, ID_ZOOM_IN, ID_ZOOM_OUT, ID_ZOOM_NORMAL,
                                      0, ID_FULL_SCREEN});
    QMenu* window = AddMenu(QStringLiteral("&Window"),
                            {ID_WINDOW_NEW, ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ, ID_WINDOW_ARRANGE});
    connect(window, &QMenu::aboutToShow, this, [this, window] { FillWindowList(window); });
    AddMenu(QStringLiteral("&Help"), {ID_HELP_FINDER, 0, ID_APP_ABOUT});
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
            action->setText(QStringLiteral("Recent File"));
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
}

} // namespace quorrel::app
