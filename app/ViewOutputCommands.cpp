// The view's output commands: Export Image writes the rendered tile to an
// image file, Export Screen-Sized Image the tile repeated to a screen's
// size; Set As Wallpaper makes it the tiled desktop wallpaper.

#include "QuorrelView.h"

#include "CommandTable.h"
#include "MainFrame.h"
#include "ModalScope.h"
#include "QuorrelApp.h"
#include "QuorrelDoc.h"

#include "output/DesktopWallpaper.h"
#include "output/ErrorMessage.h"
#include "output/ExportDialog.h"
#include "output/ImageSaver.h"
#include "output/RgbImageView.h"
#include "output/ScreenImageDialog.h"
#include "output/WallpaperResult.h"
#include "platform/MessageBox.h"
#include "render/continuous/TileLook.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QScreen>
#include <QStandardPaths>

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
    OnCommand(ID_EXPORT_SCREEN_IMAGE, [this] { OnExportScreenImage(); });
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

QSize CQuorrelView::ScreenSize() const
{
    const QScreen* screen = window()->screen();
    return screen ? (QSizeF(screen->geometry().size()) * screen->devicePixelRatio()).toSize() : QSize();
}

QImage CQuorrelView::ViewTile(int scale, int factor, const std::function<void(int)>& progress) const
{
    const CQuorrelDoc* doc = GetDocument();
    render::RenderSettings settings;
    settings.width = doc->m_params.m_nWidth * uint32_t(scale);
    settings.height = doc->m_params.m_nHeight * uint32_t(scale);
    render::CRgbImage rgb(settings.width, settings.height);
    render::RenderTileAs(m_bContinuous, doc->m_params, rgb, settings, uint32_t(factor), progress);
    return output::ImageView(rgb).copy();
}

void CQuorrelView::OnExportScreenImage()
{
    const CQuorrelDoc* doc = GetDocument();
    output::CFileDialogChooser fileDialog;
    output::IExportFileChooser& browse = InjectedChooser() ? *InjectedChooser() : fileDialog;
    output::CScreenImageSetup setup;
    setup.size = ScreenSize();
    setup.tile = QSize(int(doc->m_params.m_nWidth), int(doc->m_params.m_nHeight));
    setup.smooth = m_nScreenSmooth;
    setup.scale = m_nScreenScale;
    setup.filterIndex = m_nScreenFilterIndex;
    setup.documentTitle = doc->GetTitle();
    setup.path = m_strScreenImagePath;
    if (setup.path.isEmpty()) {
        QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        if (folder.isEmpty() || !QFileInfo(folder).isDir())
            folder = QDir::homePath();
        setup.path = output::ProposedScreenImagePath(folder, doc->GetTitle());
    }
    std::optional<output::CScreenImageChoice> choice;
    {
        const CModalScope modal;
        output::CScreenImageDialog dialog(this, setup, browse);
        if (dialog.exec() == QDialog::Accepted)
            choice = dialog.Choice();
    }
    if (!choice)
        return;
    m_nScreenSmooth = choice->smooth;
    m_nScreenScale = choice->scale;
    m_strScreenImagePath = choice->path;
    m_nScreenFilterIndex = choice->filterIndex;

    // One bar for the whole job: a smooth tile's rendering takes its first
    // half, the writing the rest.
    CMainFrame* frame = MainFrame();
    int shown = 0;
    auto report = [frame, &shown](int percent) {
        if (percent > shown && frame)
            frame->SetProgress(shown = percent);
    };
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // A smooth or scaled tile is rendered again; otherwise the view's own.
    const bool smooth = choice->smooth > 1 || choice->scale > 1;
    const QImage tile = smooth ? ViewTile(choice->scale, choice->smooth, [&report](int percent) { report(percent / 2); })
                               : RenderedTile();
    const uint32_t code = output::SaveFilledImage(tile, choice->size.width(), choice->size.height(), choice->path,
                                                  [&](int percent) {
                                                      report(smooth ? 50 + percent / 2 : percent);
                                                  });
    if (frame)
        frame->SetProgress(0);
    QApplication::restoreOverrideCursor();
    if (code != output::kStatusOk)
        ReportSaveFailure(code);
    Invalidate();
}

void CQuorrelView::OnSetAsWallpaper()
{
    CQuorrelApp* app = App();
    if (!app)
        return;
    // The screen the main window is on, in device pixels: setters that
    // cannot tile get the tile repeated to its size.
    const QSize screenSize = ScreenSize();
    const bool fromRandomDesktop = m_bRandomDesktop;
    const QPointer<CQuorrelView> view(this);
    // The file is written and handed to the desktop even when an earlier
    // step failed. A failed save is reported every time; a wallpaper that
    // could not be set once per run of random desktop.
    const QImage tile = m_nWallpaperScale > 1 ? ViewTile(m_nWallpaperScale, 1, {}) : RenderedTile();
    app->DesktopWallpaper().Set({tile, screenSize}, [view, fromRandomDesktop](
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
