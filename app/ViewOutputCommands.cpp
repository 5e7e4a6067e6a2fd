// The view's output commands: Export Image writes the rendered tile to an
// image file; Set As Wallpaper makes it the tiled desktop wallpaper.

#include "QuorrelView.h"

#include "CommandTable.h"
#include "ModalScope.h"
#include "QuorrelApp.h"
#include "QuorrelDoc.h"

#include "output/DesktopWallpaper.h"
#include "output/ErrorMessage.h"
#include "output/ExportDialog.h"
#include "output/ImageSaver.h"
#include "output/WallpaperResult.h"
#include "platform/MessageBox.h"

#include <QPointer>
#include <QScreen>

namespace quorrel::app {

namespace {

output::IExportFileChooser*& InjectedChooser()
{
    static output::IExportFileChooser* chooser = nullptr;
    return chooser;
}

void ReportSaveFailure(uint32_t code)
{
    const CModalScope modal;
    platform::AfxMessageBox(output::SaveImageFailedText(code), platform::MsgButtons::Ok, platform::MsgIcon::Warning,
                            QStringLiteral("Quorrel"));
}

void ReportWallpaperFailure(const output::CWallpaperResult& result)
{
    const CModalScope modal;
    platform::AfxMessageBox(output::WallpaperFailureText(result), platform::MsgButtons::Ok,
                            platform::MsgIcon::Warning, QStringLiteral("Quorrel"));
}

CQuorrelApp* App() { return dynamic_cast<CQuorrelApp*>(platform::CWinApp::Instance()); }

} // namespace

void CQuorrelView::SetExportFileChooser(output::IExportFileChooser* chooser) { InjectedChooser() = chooser; }

void CQuorrelView::AddImageFileCommands()
{
    OnCommand(ID_EXPORT_IMAGE, [this] { OnExportImage(); });
    OnCommand(ID_SET_AS_WALLPAPER, [this] { OnSetAsWallpaper(); });
}

QImage CQuorrelView::RenderedTile() const
{
    // The tile's own corner of the bitmap, whatever the zoom.
    const CQuorrelDoc* doc = GetDocument();
    return m_bitmap.copy(0, 0, static_cast<int>(doc->m_params.m_nWidth), static_cast<int>(doc->m_params.m_nHeight));
}

void CQuorrelView::OnExportImage()
{
    output::CFileDialogChooser fileDialog;
    output::IExportFileChooser& chooser = InjectedChooser() ? *InjectedChooser() : fileDialog;
    std::optional<QString> path;
    {
        const CModalScope modal;
        path = output::ChooseExportPath(this, GetDocument()->GetTitle(), m_nExportFilterIndex, chooser);
    }
    if (!path)
        return;
    SaveImage(*path);
    Invalidate();
}

void CQuorrelView::SaveImage(const QString& path)
{
    const uint32_t code = output::SaveImage(RenderedTile(), path);
    if (code != output::kStatusOk)
        ReportSaveFailure(code);
}

void CQuorrelView::OnSetAsWallpaper()
{
    CQuorrelApp* app = App();
    if (!app)
        return;
    // The screen the main window is on, in device pixels: setters that
    // cannot tile get the tile repeated to its size.
    QSize screenSize;
    if (const QScreen* screen = window()->screen())
        screenSize = (QSizeF(screen->geometry().size()) * screen->devicePixelRatio()).toSize();
    const bool fromRandomDesktop = m_bRandomDesktop;
    const QPointer<CQuorrelView> view(this);
    // The file is written and handed to the desktop even when an earlier
    // step failed. A failed save is reported every time; a wallpaper that
    // could not be set once per run of random desktop.
    app->DesktopWallpaper().Set({RenderedTile(), screenSize}, [view, fromRandomDesktop](
                                                                  const output::CWallpaperResult& result) {
        if (result.superseded)
            return;
        if (result.saveStatus != output::kStatusOk)
            ReportSaveFailure(result.saveStatus);
        if (result.WallpaperSet())
            return;
        if (fromRandomDesktop) {
            if (!view || !view->m_bRandomDesktop || view->m_bWallpaperFailureShown)
                return;
            view->m_bWallpaperFailureShown = true;
        }
        ReportWallpaperFailure(result);
    });
}

bool CQuorrelView::IsWallpaperUpdating() const
{
    CQuorrelApp* app = App();
    return app && app->DesktopWallpaper().IsBusy();
}

} // namespace quorrel::app
