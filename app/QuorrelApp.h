#pragma once
// The application object: start-up, the one document template, and the
// count of open documents that limits New and Open.

#include "platform/WinApp.h"

#include <QStringList>

#include <cstdint>
#include <memory>

namespace quorrel::desktop {
class HelpSystem;
}
namespace quorrel::model { class CTileParams; }
namespace quorrel::output { class CDesktopWallpaper; }

class QPrinter;

namespace quorrel::app {

class CMainFrame;
class CQuorrelDoc;

// Open documents, counted by the documents themselves. Set to 0 when the
// application object is constructed.
extern int32_t g_nOpenDocs;

class CQuorrelApp final : public platform::CWinApp {
    Q_OBJECT
public:
    // `arguments`: the command line without the program name.
    explicit CQuorrelApp(QStringList arguments = {});
    ~CQuorrelApp() override;

    bool InitInstance() override;

    CMainFrame* MainFrame() const;

    // Files handed over by a later start of the editor (or dropped on the
    // window): opened as documents whatever the count of open ones.
    void OpenRequestedFiles(const QStringList& paths);

    desktop::HelpSystem& Help() const { return *m_help; }

    // The printer that Print Setup configures and Print and Print Preview
    // use; made on first use.
    QPrinter& Printer();

    void OnFilePrintSetup();
    void OnAppAbout();
    // The help window goes with the main window.
    void OnMainWindowClosed() override;

    // New from Preset: the gallery of presets; the choice opens as a new
    // document (counted like New) with the preset's settings and tile,
    // rendered at once, its state the first entry of its window's history.
    void OnFileNewFromPreset();
    CQuorrelDoc* OpenPresetDocument(const model::CTileParams& params);

    // Prints the document at `path` without showing the editor: on the
    // default printer, or on `printerName` when given. The application need
    // not have started; false (after a message) when nothing was printed.
    bool PrintDocumentFile(const QString& path, const QString& printerName = {});

    // The desktop wallpaper, one for all views; made on first use.
    output::CDesktopWallpaper& DesktopWallpaper();
    void SetDesktopWallpaper(std::unique_ptr<output::CDesktopWallpaper> wallpaper);

private:
    // Start-up up to the command line: settings, template, main window.
    bool InitFramework();
    void ShowMainWindow();
    bool ProcessShellCommand();
    QWidget* HelpParent() const;

    QStringList m_arguments;
    std::unique_ptr<desktop::HelpSystem> m_help;
    std::unique_ptr<QPrinter> m_pPrinter;
    std::unique_ptr<output::CDesktopWallpaper> m_pWallpaper;
};

} // namespace quorrel::app
