#pragma once
// The scrolling view of a document window: its own 3000 x 2000 off-screen
// bitmap that the renderer draws into, painted repeated edge to edge at an
// integer zoom; its own edit history; the commands that work on the image.

#include "EditHistory.h"

#include "platform/ScrollView.h"

#include <QImage>
#include <QPoint>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>

class QPrinter;

namespace quorrel::output { class IExportFileChooser; }

namespace quorrel::app {

class CMainFrame;
class CQuorrelDoc;
class CViewAnimation;

class CQuorrelView final : public platform::CScrollView {
    Q_OBJECT
public:
    static constexpr int kBitmapWidth = 3000;
    static constexpr int kBitmapHeight = 2000;
    static constexpr QSize kPlaceholderSize{343, 125};

    CQuorrelView();
    ~CQuorrelView() override;

    CQuorrelDoc* GetDocument() const;

    void OnInitialUpdate() override;
    void OnUpdate(platform::CScrollView* sender) override;
    void OnDraw(QPainter& painter, bool printing) override;
    QString TitleNote() const override;

    void RenderView();
    void PushHistory();
    void OnRandomGeneration();
    // The property sheet; for a new document it opens in its new-document
    // form. True when the user confirmed it.
    bool DoProperties(bool bNewDocument);
    // A new document's first display: the sheet in its new-document form,
    // and one more rendering when it is confirmed. Cancel keeps the
    // placeholder.
    bool DoFirstDisplay();

    // The editing commands: the property sheet (F4) and the coefficient
    // tables (Shift+F4).
    void OnProperties();
    void OnCoefficients();
    // Reset to Built-in Defaults: once the user agrees, the built-in settings
    // replace the document's and a Random Generation follows (one history
    // entry). Nothing changes when the user declines.
    void OnResetToDefaults();
    static inline const QString kResetDefaultsQuestion =
        QStringLiteral(QT_TR_NOOP("Put the built-in default settings back into this document?\n\n"
                       "A new tile is generated with them."));

    // Why Copy, Print, the exports and the wallpaper commands wait: a new
    // document whose sheet was cancelled has no tile, only the placeholder.
    static inline const QString kNoTileYet =
        QStringLiteral("no tile yet: Random Generation (F5) or Properties... (F4) makes one");

    // Writes the rendered tile (at its own width x height) to an image file;
    // a failure is reported in a message box.
    void OnExportImage();
    // True when the file was written.
    bool SaveImage(const QString& path);
    // Export Screen-Sized Image: the tile (smoothed on request) repeated to
    // the size chosen in its dialog, written as an image file with progress
    // in the status bar; a failure is reported like Export Image's.
    void OnExportScreenImage();
    // The size of the screen the window is on, in device pixels (empty
    // when there is none).
    QSize ScreenSize() const;
    // Starts making the tile the wallpaper and returns; failures are
    // reported when the desktop has answered.
    void OnSetAsWallpaper();
    // Whether the application's wallpaper is still being updated.
    bool IsWallpaperUpdating() const;

    // Slide show and random desktop: a new image on every tick of the
    // view's timer; random desktop also makes it the wallpaper.
    void OnSlideShow();
    void OnRandomDesktop();
    void OnDesktopRotation();
    void OnTimerTick();

    void OnEditUndo();
    void OnEditRedo();
    void OnRefresh();
    void OnZoomIn();
    void OnZoomOut();
    void OnZoomNormal();

    // Continuous Colours (ViewRenderWay.cpp): the view rendered with the
    // continuous renderer instead of the exact one, per view; a new view
    // starts the way the last choice left it. Copy, Print, the exports and
    // the wallpaper take what the view shows.
    void OnContinuousColours();
    bool IsContinuous() const { return m_bContinuous; }
    static inline const QString kContinuousNote = QStringLiteral(" (Continuous Colours)");
    // The scale Set As Wallpaper renders the tile at (1 to 4).
    int WallpaperScale() const { return m_nWallpaperScale; }

    // Copy, Print and Print Preview (QuorrelViewPrint.cpp).
    void OnEditCopy();
    void OnFilePrint();
    void OnFilePrintPreview();
    // One page on `printer` without a dialog; false (after the framework's
    // message) when the job cannot start.
    bool PrintTo(QPrinter& printer);

    // Shows the property sheet on the document's parameter set and returns
    // whether it was confirmed, setting `regenerate` when an accepted change
    // needs new coefficients. Replaceable, so tests can answer the sheet.
    using PropertySheetRunner = std::function<bool(CQuorrelView& view, bool bNewDocument, bool& regenerate)>;
    static void SetPropertySheetRunner(PropertySheetRunner runner);
    // The same for the coefficients dialog: true when confirmed.
    using CoefficientsRunner = std::function<bool(CQuorrelView& view)>;
    static void SetCoefficientsRunner(CoefficientsRunner runner);
    // The export dialog; nullptr: the platform's save dialog.
    static void SetExportFileChooser(output::IExportFileChooser* chooser);
    // The timer modes' interval (3000 ms); shorter in tests.
    static void SetTimerInterval(int milliseconds);
    static constexpr int kTimerInterval = 3000;

    // Living wallpapers (animation/ViewAnimation): View > Animate and
    // File > Export Animation...
    CViewAnimation& Animation() const { return *m_animation; }
    CMainFrame* MainFrameWindow() const { return MainFrame(); }

    const QImage& RenderedBitmap() const { return m_bitmap; }
    int ZoomFactor() const { return m_nZoom; }
    bool IsRendered() const { return m_bRendered; }
    const CEditHistory& History() const { return m_history; }
    QPoint PointerPosition() const { return m_ptPointer; }
    uint32_t ExportFilterIndex() const { return m_nExportFilterIndex; }
    bool IsSlideShow() const { return m_bSlideShow; }
    bool IsRandomDesktop() const { return m_bRandomDesktop; }
    bool IsTimerRunning() const { return m_timer.isActive(); }
    // Ticks that generated a new image since the view was made.
    uint64_t TimerTicks() const { return m_nTimerTicks; }

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    // Ctrl+wheel zooms in and out, a step a notch; without Ctrl it scrolls.
    void wheelEvent(QWheelEvent* event) override;

private:
    void AddOutputCommands();
    CMainFrame* MainFrame() const;
    void SetScrollSizesFromZoom();
    // Device pixels per logical pixel of the screen the view is on.
    qreal DevicePixelRatio() const;
    void RefreshStatusReadout();
    void ZoomChanged();
    void UpdateAccessibleText();
    void AddEditingCommands();
    void AddImageFileCommands();
    void AddTimerCommands();
    void AddRenderWayCommands();
    void AddAnimationCommands();
    void StartTimer();
    void StopTimer();
    void OnHeldTickCheck();
    QImage RenderedTile() const;
    // The tile as the view renders it (exact or continuous) at `scale`
    // times its size, with factor x factor samples a pixel.
    QImage ViewTile(int scale, int factor, const std::function<void(int)>& progress) const;

    QImage m_bitmap;
    int32_t m_nZoom = 1;
    int m_nWheelZoom = 0;   // Ctrl+wheel turned short of a notch (fine wheels, touchpads)
    CEditHistory m_history;
    // Slide show and random desktop: one periodic timer for both; a tick that
    // falls due while a modal window is open is held back (m_heldTick polls
    // until it closes).
    QTimer m_timer;
    QTimer m_heldTick;
    bool m_bSlideShow = false;
    bool m_bRandomDesktop = false;
    // The wallpaper failure of this run of random desktop has been shown.
    bool m_bWallpaperFailureShown = false;
    bool m_bRendered = false;
    uint64_t m_nTimerTicks = 0;
    QPoint m_ptPointer{0, 0};
    uint32_t m_nExportFilterIndex = 1;   // the file type Export Image offers first
    // What Export Screen-Sized Image offers again: smoothing, file, type.
    int m_nScreenSmooth = 1;
    int m_nScreenScale = 1;
    bool m_bContinuous = false;
    int m_nWallpaperScale = 1;
    QString m_strScreenImagePath;
    uint32_t m_nScreenFilterIndex = 3;
    // Last: it stops its worker threads before the rest of the view goes.
    std::unique_ptr<CViewAnimation> m_animation;
};

} // namespace quorrel::app
