// The view's output commands: Export Image writes the rendered tile to an
// image file, Export Screen-Sized Image the tile repeated to a screen's
// size; Set As Wallpaper makes it the tiled desktop wallpaper.

#include "QuorrelView.h"

#include "CommandTable.h"
#include "ExportProgress.h"
#include "MainFrame.h"
#include "ModalScope.h"
#include "QuorrelApp.h"
#include "QuorrelDoc.h"

#include "output/DesktopWallpaper.h"
#include "output/ErrorMessage.h"
#include "output/ExportDialog.h"
#include "output/ExportFileTypes.h"
#include "output/ImageSaver.h"
#include "output/RgbImageView.h"
#include "output/ScreenImageDialog.h"
#include "output/WallpaperResult.h"
#include "platform/FileDialogs.h"
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

QString WallpaperSetText(const output::CWallpaperResult& result)
{
    return CQuorrelView::tr("Wallpaper set on %1: %2")
        .arg(output::DesktopName(result.session.desktop), result.imagePath);
}

} // namespace

void CQuorrelView::SetExportFileChooser(output::IExportFileChooser* chooser) { InjectedChooser() = chooser; }

void CQuorrelView::AddImageFileCommands()
{
    OnCommand(ID_EXPORT_IMAGE, [this] { OnExportImage(); });
    OnCommand(ID_EXPORT_SCREEN_IMAGE, [this] { OnExportScreenImage(); });
    OnCommand(ID_SET_AS_WALLPAPER, [this] { OnSetAsWallpaper(); });
    // Until the first rendering the bitmap holds no tile: none of these
    // may write it out as one.
    for (int id : {ID_EXPORT_IMAGE, ID_EXPORT_SCREEN_IMAGE, ID_SET_AS_WALLPAPER})
        OnUpdateCommand(id, [this](platform::CCmdUI& ui) {
            if (!m_bRendered)
                ui.Disable(kNoTileYet);
        });
}

QImage CQuorrelView::RenderedTile() const
{
    // The tile's own corner of the bitmap, whatever the zoom.
    const CQuorrelDoc* doc = GetDocument();
    return m_bitmap.copy(0, 0, static_cast<int>(doc->m_params.m_nWidth), static_cast<int>(doc->m_params.m_nHeight));
}

void CQuorrelView::OnExportImage()
{
    if (!m_bRendered)
        return;
    output::CFileDialogChooser fileDialog;
    output::IExportFileChooser& chooser = InjectedChooser() ? *InjectedChooser() : fileDialog;
    std::optional<QString> path;
    {
        const CModalScope modal;
        path = output::ChooseExportPath(this, GetDocument()->GetTitle(), m_nExportFilterIndex, chooser);
    }
    if (!path)
        return;
    if (SaveImage(*path)) {
        if (CMainFrame* frame = MainFrame())
            frame->ShowNotice(tr("Image written to %1").arg(*path));
    }
    Invalidate();
}

bool CQuorrelView::SaveImage(const QString& path)
{
    const uint32_t code = output::SaveImage(RenderedTile(), path);
    if (code != output::kStatusOk)
        ReportSaveFailure(code);
    return code == output::kStatusOk;
}

QSize CQuorrelView::ScreenSize() const
{
    const QScreen* screen = window()->screen();
    return screen ? (QSizeF(screen->geometry().size()) * screen->devicePixelRatio()).toSize() : QSize();
}

namespace {

// The tile at `scale` times its size, `factor` x `factor` samples a pixel,
// rendered the way the view renders. Takes its own copy of the parameters,
// so a worker thread can run it while the editor goes on.
QImage TileOf(const model::CTileParams& params, bool continuous, int scale, int factor,
              const std::function<void(int)>& progress)
{
    render::RenderSettings settings;
    settings.width = params.m_nWidth * uint32_t(scale);
    settings.height = params.m_nHeight * uint32_t(scale);
    render::CRgbImage rgb(settings.width, settings.height);
    render::RenderTileAs(continuous, params, rgb, settings, uint32_t(factor), progress);
    return output::ImageView(rgb).copy();
}

} // namespace

QImage CQuorrelView::ViewTile(int scale, int factor, const std::function<void(int)>& progress) const
{
    return TileOf(GetDocument()->m_params, m_bContinuous, scale, factor, progress);
}

void CQuorrelView::OnExportScreenImage()
{
    if (!m_bRendered)
        return;
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
    // The folder last used by any file dialog of this run; the name this
    // view wrote last, else one from the document's title.
    const QString folder =
        platform::StartFolder(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation));
    setup.path = m_strScreenImagePath.isEmpty()
                     ? output::ProposedScreenImagePath(folder, doc->GetTitle())
                     : QDir(folder).filePath(QFileInfo(m_strScreenImagePath).fileName());
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
    platform::RememberFolderOf(choice->path);
    output::RememberExportFilterIndex(output::ExportFilterIndexOfPath(choice->path));

    // One bar for the whole job, in the status bar and in the dialog of a
    // long one: a smooth tile's rendering takes its first half, the writing
    // the rest. The job works on copies: the document may not change meanwhile.
    CMainFrame* frame = MainFrame();
    int shown = 0;
    auto report = [frame, &shown](int percent) {
        if (percent > shown && frame)
            frame->SetProgress(shown = percent);
    };
    const int factor = choice->smooth;
    const int scale = choice->scale;
    const bool continuous = m_bContinuous;
    const QSize size = choice->size;
    const QString path = choice->path;
    const model::CTileParams params = GetDocument()->m_params;
    // A smooth or scaled tile is rendered again; otherwise the view's own.
    const bool again = factor > 1 || scale > 1;
    const QImage viewTile = again ? QImage() : RenderedTile();
    const QString label = tr("Writing %1 (%2 × %3 pixels)...")
                              .arg(QFileInfo(path).fileName())
                              .arg(size.width())
                              .arg(size.height());
    const uint32_t code = CExportProgress::Run(
        this, label,
        [&](const std::function<void(int)>& progress, const std::atomic<bool>& cancel) {
            const QImage tile =
                again ? TileOf(params, continuous, scale, factor, [&](int p) { progress(p / 2); }) : viewTile;
            if (cancel)
                return output::kStatusCancelled;
            return output::SaveFilledImage(tile, size.width(), size.height(), path,
                                           [&](int p) { progress(again ? 50 + p / 2 : p); }, &cancel);
        },
        report);
    if (frame)
        frame->SetProgress(0);
    if (code == output::kStatusCancelled) {
        if (frame)
            frame->ShowNotice(tr("Export cancelled: %1 was not written.").arg(path));
    } else if (code != output::kStatusOk) {
        ReportSaveFailure(code);
    } else if (frame) {
        frame->ShowNotice(
            tr("Image written to %1 (%2 × %3 pixels)").arg(path).arg(size.width()).arg(size.height()));
    }
    Invalidate();
}

void CQuorrelView::OnSetAsWallpaper()
{
    CQuorrelApp* app = App();
    if (!app || !m_bRendered)
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
        if (result.WallpaperSet()) {
            // Random Desktop changes it every few seconds: only the command says so.
            if (!fromRandomDesktop && view && view->MainFrame())
                view->MainFrame()->ShowNotice(WallpaperSetText(result));
            return;
        }
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
