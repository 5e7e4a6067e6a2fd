#include "QuorrelView.h"

#include "BitmapSurface.h"
#include "CommandTable.h"
#include "MainFrame.h"
#include "PrintLayout.h"
#include "QuorrelDoc.h"
#include "TileLayout.h"
#include "animation/ViewAnimation.h"

#include "output/ExportFileTypes.h"
#include "platform/WinApp.h"
#include "render/continuous/TileLook.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>


namespace quorrel::app {

CQuorrelView::CQuorrelView()
{
    OnCommand(ID_RANDOM_GENERATION, [this] { OnRandomGeneration(); });
    OnCommand(ID_EDIT_UNDO, [this] { OnEditUndo(); });
    OnUpdateCommand(ID_EDIT_UNDO, [this](platform::CCmdUI& ui) { ui.Enable(m_history.CanUndo()); });
    OnCommand(ID_EDIT_REDO, [this] { OnEditRedo(); });
    OnUpdateCommand(ID_EDIT_REDO, [this](platform::CCmdUI& ui) { ui.Enable(m_history.CanRedo()); });
    OnCommand(ID_REFRESH, [this] { OnRefresh(); });
    OnCommand(ID_ZOOM_IN, [this] { OnZoomIn(); });
    OnCommand(ID_ZOOM_OUT, [this] { OnZoomOut(); });
    OnUpdateCommand(ID_ZOOM_OUT, [this](platform::CCmdUI& ui) { ui.Enable(m_nZoom > 1); });
    OnCommand(ID_ZOOM_NORMAL, [this] { OnZoomNormal(); });
    OnUpdateCommand(ID_ZOOM_NORMAL, [this](platform::CCmdUI& ui) { ui.Enable(m_nZoom > 1); });
    AddEditingCommands();
    AddOutputCommands();
    AddImageFileCommands();
    AddTimerCommands();
    AddRenderWayCommands();
    AddAnimationCommands();
    // A new window offers the file type last chosen in this run.
    m_nExportFilterIndex = output::LastExportFilterIndex();
}

CQuorrelView::~CQuorrelView() = default;

CQuorrelDoc* CQuorrelView::GetDocument() const
{
    return static_cast<CQuorrelDoc*>(platform::CScrollView::GetDocument());
}

CMainFrame* CQuorrelView::MainFrame() const
{
    platform::CWinApp* app = platform::CWinApp::Instance();
    return app ? dynamic_cast<CMainFrame*>(app->GetMainWnd()) : nullptr;
}

void CQuorrelView::OnInitialUpdate()
{
    const CQuorrelDoc* doc = GetDocument();
    const QSize image(static_cast<int>(doc->m_params.m_nWidth), static_cast<int>(doc->m_params.m_nHeight));
    SetScrollSizes(image, image / 10, image / 100);
    OnUpdate(nullptr);
    // The bitmap is made once and kept for the view's life; a rendering
    // of any size up to 1024 x 1024 fits its top-left corner.
    m_bitmap = QImage(kBitmapWidth, kBitmapHeight, QImage::Format_RGB32);
    m_bitmap.fill(Qt::black);
    SetScrollSizesFromZoom();
    UpdateAccessibleText();
    if (GetDocument()->m_bFromFile || GetDocument()->m_bFromPreset)
        RenderView();
    else
        DoFirstDisplay();
}

void CQuorrelView::OnUpdate(platform::CScrollView*)
{
    const CQuorrelDoc* doc = GetDocument();
    if (!doc)
        return;
    const QSize image(static_cast<int>(doc->m_params.m_nWidth), static_cast<int>(doc->m_params.m_nHeight));
    SetScrollSizes(image, image / 10, image / 100);
    Invalidate();
}

void CQuorrelView::SetScrollSizesFromZoom()
{
    const CQuorrelDoc* doc = GetDocument();
    if (!doc)
        return;
    const ScrollSizes sizes =
        ComputeScrollSizes(doc->m_params.m_nWidth, doc->m_params.m_nHeight, m_nZoom, DevicePixelRatio());
    SetScrollSizes(sizes.total, sizes.page, sizes.line);
}

void CQuorrelView::RenderView()
{
    CQuorrelDoc* doc = GetDocument();
    if (!doc || m_bitmap.isNull())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CBitmapSurface surface(m_bitmap);
    CMainFrame* frame = MainFrame();
    render::RenderTileAs(m_bContinuous, doc->m_params, surface, render::RenderSettings{}, 1, [frame](int percent) {
        if (frame)
            frame->SetProgress(percent);
    });
    SetScrollSizesFromZoom();
    QApplication::restoreOverrideCursor();
    m_bRendered = true;
    UpdateAccessibleText();
    if (m_animation)
        m_animation->DocumentChanged();
    Invalidate();
}

void CQuorrelView::OnDraw(QPainter& painter, bool printing)
{
    const CQuorrelDoc* doc = GetDocument();
    if (!doc)
        return;
    // Source: the placeholder at scale 1 until the first rendering, then the
    // image corner of the bitmap at the zoom factor (read in place).
    const QImage* image = &m_bitmap;
    QRect sourceRect(0, 0, static_cast<int>(doc->m_params.m_nWidth), static_cast<int>(doc->m_params.m_nHeight));
    int scale = m_nZoom;
    // A playing loop shows its latest frame in the still's place.
    if (m_animation && m_animation->IsPlaying() && m_animation->Frame().size() == sourceRect.size() && !printing) {
        image = &m_animation->Frame();
    } else if (!m_bRendered) {
        // Decoded once, not on every paint.
        static const QImage placeholder(QStringLiteral(":/images/placeholder.png"));
        image = &placeholder;
        sourceRect = placeholder.rect();
        scale = 1;
    }
    if (image->isNull() || sourceRect.isEmpty() || !image->rect().contains(sourceRect))
        return;
    // Integer enlargement repeats pixels: no smoothing, ever.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (printing) {
        // Once, at the page's top-left corner, as large on paper as on the
        // screen: scaled by the printer's over the screen's resolution.
        const QSize tile = sourceRect.size() * scale;
        const QPaintDevice* page = painter.device();
        const QSize size = PrintedTileSize(tile, page->logicalDpiX(), page->logicalDpiY(), logicalDpiX(),
                                           logicalDpiY());
        painter.drawImage(QRect(QPoint(0, 0), size), *image, sourceRect);
        return;
    }
    // The tile is laid in device pixels, as the desktop lays a wallpaper:
    // at zoom 1 one image pixel is one device pixel on a dense screen too.
    // The placeholder logo keeps its logical size.
    const qreal ratio = m_bRendered ? DevicePixelRatio() : 1.0;
    painter.save();
    painter.scale(1.0 / ratio, 1.0 / ratio);
    // Only what the client area shows, straight from the bitmap: the cost
    // of a paint follows the window's size, whatever the zoom.
    for (const TilePart& part : VisibleTileParts(ToDeviceSize(GetClientSize(), ratio),
                                                 ToDevicePoint(GetScrollPosition(), ratio), sourceRect.size(), scale)) {
        const QRect source = part.source.translated(sourceRect.topLeft());
        if (scale == 1)
            painter.drawImage(part.target.topLeft(), *image, source);
        else
            painter.drawImage(part.target, *image, source);
    }
    painter.restore();
}

qreal CQuorrelView::DevicePixelRatio() const
{
    const qreal ratio = viewport()->devicePixelRatioF();
    return ratio > 0 ? ratio : 1.0;
}

void CQuorrelView::PushHistory()
{
    if (const CQuorrelDoc* doc = GetDocument())
        m_history.Push(doc->m_params);
}

void CQuorrelView::OnRandomGeneration()
{
    CQuorrelDoc* doc = GetDocument();
    doc->m_params.GenerateRandom();
    PushHistory();
    doc->SetModifiedFlag();
    RenderView();
}

void CQuorrelView::OnEditUndo()
{
    if (!m_history.CanUndo())
        return;
    GetDocument()->m_params = m_history.Undo();
    RenderView();
}

void CQuorrelView::OnEditRedo()
{
    if (!m_history.CanRedo())
        return;
    GetDocument()->m_params = m_history.Redo();
    RenderView();
}

void CQuorrelView::OnRefresh() { RenderView(); }

void CQuorrelView::ZoomChanged()
{
    SetScrollSizesFromZoom();
    RefreshStatusReadout();
    Invalidate();
    UpdateAccessibleText();
}

void CQuorrelView::UpdateAccessibleText()
{
    // What a screen reader says for the picture area (it has no text).
    const QString description =
        m_bRendered ? QStringLiteral("The tile repeated edge to edge at %1 %").arg(qint64(m_nZoom) * 100)
                    : QStringLiteral("No tile yet: Random Generation (F5) or Properties (F4) makes one");
    for (QWidget* widget : {static_cast<QWidget*>(this), viewport()}) {
        widget->setAccessibleName(QStringLiteral("Tile view"));
        widget->setAccessibleDescription(description);
    }
}

void CQuorrelView::OnZoomIn()
{
    ++m_nZoom;
    ZoomChanged();
}

void CQuorrelView::OnZoomOut()
{
    if (m_nZoom < 2)
        return;
    --m_nZoom;
    ZoomChanged();
}

void CQuorrelView::OnZoomNormal()
{
    if (m_nZoom < 2)
        return;
    m_nZoom = 1;
    ZoomChanged();
}

void CQuorrelView::RefreshStatusReadout()
{
    CMainFrame* frame = MainFrame();
    if (!frame)
        return;
    frame->SetPaneText(2, QStringLiteral("%1, %2").arg(m_ptPointer.x()).arg(m_ptPointer.y()));
    if (m_bitmap.valid(m_ptPointer)) {
        const QRgb rgb = m_bitmap.pixel(m_ptPointer);
        frame->ShowPixelColor(static_cast<uint32_t>(qRed(rgb)) | static_cast<uint32_t>(qGreen(rgb)) << 8 |
                              static_cast<uint32_t>(qBlue(rgb)) << 16);
    }
}

void CQuorrelView::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        m_nWheelZoom = 0;
        platform::CScrollView::wheelEvent(event);
        return;
    }
    constexpr int kNotch = 120;
    m_nWheelZoom += event->angleDelta().y();
    for (; m_nWheelZoom >= kNotch; m_nWheelZoom -= kNotch)
        OnZoomIn();
    for (; m_nWheelZoom <= -kNotch; m_nWheelZoom += kNotch)
        OnZoomOut();
    if (CMainFrame* frame = MainFrame())
        frame->Router().RequestIdleUpdate();
    event->accept();
}

void CQuorrelView::mouseMoveEvent(QMouseEvent* event)
{
    // While a button is held the moves go on outside the view: they show
    // nothing, as where the platform sends no moves outside the window.
    const QPoint point = event->position().toPoint();
    const CQuorrelDoc* doc = GetDocument();
    if (doc && viewport()->rect().contains(point) && doc->m_params.m_nWidth > 0 && doc->m_params.m_nHeight > 0) {
        m_ptPointer = PointerToImage(event->position(), GetScrollPosition(), m_nZoom, doc->m_params.m_nWidth,
                                     doc->m_params.m_nHeight, DevicePixelRatio());
        RefreshStatusReadout();
    }
    platform::CScrollView::mouseMoveEvent(event);
}

} // namespace quorrel::app
