// How the view renders: exactly (the document's own tile, the default) or
// with continuous colours, and the scale Set As Wallpaper renders at. The
// caption says when a view is continuous, so that nobody takes its tile
// for the exact one.

#include "QuorrelView.h"

#include "CommandTable.h"

#include "platform/MDIChildWnd.h"

namespace quorrel::app {

namespace {

// What the last choice of any view was: a new view starts that way.
struct LastChoice {
    bool continuous = false;
    int wallpaperScale = 1;
};

LastChoice& Last()
{
    static LastChoice last;
    return last;
}

} // namespace

void CQuorrelView::AddRenderWayCommands()
{
    m_bContinuous = Last().continuous;
    m_nWallpaperScale = Last().wallpaperScale;
    OnCommand(ID_VIEW_CONTINUOUS, [this] { OnContinuousColours(); });
    OnUpdateCommand(ID_VIEW_CONTINUOUS, [this](platform::CCmdUI& ui) { ui.SetCheck(m_bContinuous); });
    for (int scale = 1; scale <= 4; ++scale) {
        const int id = ID_WALLPAPER_SCALE_1 + scale - 1;
        OnCommand(id, [this, scale] { m_nWallpaperScale = Last().wallpaperScale = scale; });
        OnUpdateCommand(id, [this, scale](platform::CCmdUI& ui) { ui.SetCheck(m_nWallpaperScale == scale); });
    }
}

void CQuorrelView::OnContinuousColours()
{
    m_bContinuous = Last().continuous = !m_bContinuous;
    if (platform::CMDIChildWnd* frame = GetParentFrame())
        frame->OnUpdateFrameTitle();
    if (IsRendered())
        RenderView();
}

QString CQuorrelView::TitleNote() const { return m_bContinuous ? kContinuousNote : QString(); }

} // namespace quorrel::app
