#include "QuorrelApp.h"

#include "AboutDlg.h"
#include "ChildFrame.h"
#include "CommandTable.h"
#include "MainFrame.h"
#include "QuorrelDoc.h"
#include "QuorrelView.h"

#include "controls/accessible/Accessibility.h"
#include "output/DesktopWallpaper.h"
#include "platform/DocTemplate.h"
#include "platform/Document.h"
#include "platform/MessageBox.h"
#include "platform/PrintDialogs.h"
#include "platform/SettingsLocation.h"
#include "platform/SettingsRegistry.h"
#include "platform/desktop/CommandLine.h"
#include "platform/desktop/HelpSystem.h"
#include "platform/printing/PrintSystem.h"
#include "platform/printing/PrinterChoice.h"

#include <QApplication>
#include <QPrinter>
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
    : platform::CWinApp(QStringLiteral("Quorrel")), m_arguments(std::move(arguments)),
      m_help(std::make_unique<desktop::HelpSystem>())
{
    g_nOpenDocs = 0;

    m_help->SetMessageSink([](QWidget*, const QString& text) {
        platform::AfxMessageBox(text, platform::MsgButtons::Ok, platform::MsgIcon::Warning);
    });
    OnCommand(ID_HELP_FINDER, [this] { m_help->ShowHelpTopics(HelpParent()); });
    OnCommand(ID_HELP, [this] {
        QWidget* focus = QApplication::focusWidget();
        m_help->ShowHelpForContext(focus ? focus : HelpParent());
    });
    OnCommand(ID_CONTEXT_HELP, [] { desktop::HelpSystem::EnterWhatsThisMode(); });

    OnCommand(ID_FILE_NEW, [this] { OnFileNew(); });
    OnCommand(ID_FILE_NEW_FROM_PRESET, [this] { OnFileNewFromPreset(); });
    OnCommand(ID_FILE_OPEN, [this] { OnFileOpen(); });
    OnCommand(ID_APP_EXIT, [this] { OnAppExit(); });
    OnCommand(ID_FILE_PRINT_SETUP, [this] { OnFilePrintSetup(); });
    OnCommand(ID_APP_ABOUT, [this] { OnAppAbout(); });
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

QWidget* CQuorrelApp::HelpParent() const
{
    return GetMainWnd();
}

void CQuorrelApp::OpenRequestedFiles(const QStringList& paths)
{
    for (const QString& path : paths)
        OpenDocumentFile(path);
    if (QWidget* frame = GetMainWnd()) {
        frame->raise();
        frame->activateWindow();
    }
}

output::CDesktopWallpaper& CQuorrelApp::DesktopWallpaper()
{
    if (!m_pWallpaper)
        m_pWallpaper = std::make_unique<output::CDesktopWallpaper>();
    return *m_pWallpaper;
}

void CQuorrelApp::SetDesktopWallpaper(std::unique_ptr<output::CDesktopWallpaper> wallpaper)
{
    m_pWallpaper = std::move(wallpaper);
}

bool CQuorrelApp::InitInstance()
{
    if (!InitFramework())
        return false;
    // Before the first window, so that every control answers screen
    // readers through its own interface.
    controls::InstallControlAccessibility();

    // A new document opens its Properties sheet at once, as a dialog of the
    // main window: the window is on screen first, so the sheet has a window
    // to stand over (and a tiling compositor floats it there).
    const bool newDocument = desktop::ParseEditorCommandLine(m_arguments).action ==
                             desktop::EditorCommandLine::Action::NewDocument;
    if (newDocument)
        ShowMainWindow();
    if (!ProcessShellCommand())
        return false;
    if (!newDocument)
        ShowMainWindow();
    else
        GetMainWnd()->activateWindow();
    return true;
}

void CQuorrelApp::ShowMainWindow()
{
    // Cover the screen first as well: without a window manager nothing
    // would act on the maximised state.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        GetMainWnd()->setGeometry(screen->availableGeometry());
    GetMainWnd()->showMaximized();
    // Window managers activate a new window themselves; without one the
    // keys would reach no window until the user clicked.
    GetMainWnd()->activateWindow();
    GetMainWnd()->repaint();
}

bool CQuorrelApp::InitFramework()
{
    InitQuorrelResources();
    platform::InstallSettingsRegistry();
    m_help->InstallApplicationHooks();

    SetRegistryKey(QStringLiteral("Local AppWizard-Generated Applications"));
    // Settings an earlier version left in a folder per root move into the
    // program's own folder before anything reads them.
    platform::MoveEarlierSettings({GetRegistryKey(), platform::CSettingsRegistry::Map(kDefaultsKey).organisation},
                                  GetAppTitle());
    LoadStdProfileSettings(kRecentFiles);

    AddDocTemplate(std::make_unique<platform::CMultiDocTemplate>(
        IDR_QUORRELTYPE, kDocString, [] { return std::make_unique<CQuorrelDoc>(); },
        [] { return new CChildFrame(); }, [] { return new CQuorrelView(); }));

    SetMainWnd(std::make_unique<CMainFrame>());
    // Dropped files open as documents (the main frame accepts them).
    return true;
}

QPrinter& CQuorrelApp::Printer()
{
    if (!m_pPrinter)
        m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_pPrinter;
}

void CQuorrelApp::OnFilePrintSetup()
{
    // The setup dialog lists the server's printers on the window's thread:
    // only when the server answers (it says so when it does not).
    if (platform::PrintServerAnswers())
        platform::RunPrintSetupDialog(GetMainWnd(), Printer());
}

void CQuorrelApp::OnMainWindowClosed()
{
    m_help->CloseWindow();
    platform::CWinApp::OnMainWindowClosed();
}

void CQuorrelApp::OnAppAbout()
{
    CAboutDlg dialog(GetMainWnd());
    dialog.exec();
}

bool CQuorrelApp::PrintDocumentFile(const QString& path, const QString& printerName)
{
    if (!GetMainWnd() && !InitFramework())
        return false;
    // The server first: one that does not answer is named, and nothing waits
    // on it.
    const platform::PrintersNow printers = platform::PrintSystem().Printers();
    if (!printers.silentServer.isEmpty()) {
        platform::AfxMessageBox(QStringLiteral("Could not start print job.\n%1")
                                    .arg(platform::ServerSilenceMessage(printers.silentServer)));
        return false;
    }
    QPrinter& printer = Printer();
    if (!printerName.isEmpty()) {
        // A printer that is not there prints nothing: say so, rather than
        // let the job go to some other output.
        if (!printers.names.contains(printerName)) {
            platform::AfxMessageBox(tr("Could not start print job."));
            return false;
        }
        printer.setPrinterName(printerName);
    }
    platform::CDocument* doc = OpenDocumentFile(path);
    if (!doc)
        return false;
    auto* view = doc->GetViews().empty() ? nullptr : dynamic_cast<CQuorrelView*>(doc->GetViews().front());
    const bool printed = view && view->PrintTo(printer);
    doc->OnCloseDocument();
    return printed;
}

bool CQuorrelApp::ProcessShellCommand()
{
    // No argument: a new document. File names: open each; a file that cannot
    // be opened (its message already shown) ends the start-up.
    using Action = desktop::EditorCommandLine::Action;
    const desktop::EditorCommandLine commandLine = desktop::ParseEditorCommandLine(m_arguments);
    switch (commandLine.action) {
    case Action::NewDocument:
        return OnFileNew() != nullptr;
    case Action::Open:
        for (const QString& file : commandLine.files) {
            if (!OpenDocumentFile(file))
                return false;
        }
        return true;
    case Action::Print:
    case Action::PrintTo:
        // Printing is all such a start does: the application ends after it.
        PrintDocumentFile(commandLine.files.value(0), commandLine.printer);
        return false;
    default:
        // Help, version and malformed command lines are answered before the
        // application starts.
        return false;
    }
}

} // namespace quorrel::app
