#include "QuorrelApp.h"

#include "ChildFrame.h"
#include "CommandTable.h"
#include "MainFrame.h"
#include "QuorrelDoc.h"
#include "QuorrelView.h"

#include "platform/DocTemplate.h"
#include "platform/SettingsRegistry.h"

#include <QApplication>
#include <QScreen>

// Resources live in a static library: register them by hand.
static void InitQuorrelResources()
{
    static bool done = false;
    if (!done)
        Q_INIT_RESOURCE(quorrel);
    done = true;
}

namespace quorrel::app {

int32_t g_nOpenDocs = 0;

namespace {
const QString kDocString = QStringLiteral("\nQuorrel\nQuorrel\nQuorrel Files (*.wpp)\n.wpp\nQuorrel.Document\nQuorrel.Document");
}

CQuorrelApp::CQuorrelApp(QStringList arguments)
    : platform::CWinApp(QStringLiteral("Quorrel")), m_arguments(std::move(arguments))
{
    g_nOpenDocs = 0;

    OnCommand(ID_FILE_NEW, [this] { OnFileNew(); });
    OnCommand(ID_FILE_OPEN, [this] { OnFileOpen(); });
    OnCommand(ID_APP_EXIT, [this] { OnAppExit(); });
    for (int id = ID_FILE_MRU_FILE1; id <= ID_FILE_MRU_FILE4; ++id) {
        const int index = id - ID_FILE_MRU_FILE1;
        OnCommand(id, [this, index] { OnOpenRecentFile(index); });
        OnUpdateCommand(id, [this, index](platform::CCmdUI& ui) {
            const platform::CRecentFileList* list = GetRecentFileList();
            ui.Enable(g_nOpenDocs < kMaxOpenDocs && list && index < list->Entries().size());
        });
    }
}

CQuorrelApp::~CQuorrelApp()
{
    // Each document stores the defaults as it goes.
    CloseAllDocuments();
}

CMainFrame* CQuorrelApp::MainFrame() const { return static_cast<CMainFrame*>(GetMainWnd()); }

bool CQuorrelApp::InitInstance()
{
    InitQuorrelResources();
    platform::InstallSettingsRegistry();

    SetRegistryKey(QStringLiteral("Local AppWizard-Generated Applications"));
    LoadStdProfileSettings(kRecentFiles);

    AddDocTemplate(std::make_unique<platform::CMultiDocTemplate>(
        IDR_QUORRELTYPE, kDocString, [] { return std::make_unique<CQuorrelDoc>(); },
        [] { return new CChildFrame(); }, [] { return new CQuorrelView(); }));

    SetMainWnd(std::make_unique<CMainFrame>());
    // Dropped files open as documents (the main frame accepts them).

    if (!ProcessShellCommand())
        return false;

    // Cover the screen first as well: without a window manager nothing
    // would act on the maximised state.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        GetMainWnd()->setGeometry(screen->availableGeometry());
    GetMainWnd()->showMaximized();
    GetMainWnd()->repaint();
    return true;
}

bool CQuorrelApp::ProcessShellCommand()
{
    // No argument: a new document. A file name: open it. Switches of the
    // platform's print requests are not offered here.
    static const QStringList kSwitches = {QStringLiteral("/p"), QStringLiteral("/pt"), QStringLiteral("/dde"),
                                          QStringLiteral("/Embedding"), QStringLiteral("/Automation")};
    QString file;
    for (const QString& argument : m_arguments) {
        if (!kSwitches.contains(argument, Qt::CaseInsensitive))
            file = argument;
    }
    if (file.isEmpty())
        return OnFileNew() != nullptr;
    return OpenDocumentFile(file) != nullptr;
}

} // namespace quorrel::app
