// Slide show and random desktop: one periodic timer per view makes a new
// random image on every tick; in random desktop mode each one also becomes
// the wallpaper. The timer belongs to the view, so it ends with its window
// and keeps running while the view is inactive, full screen or minimised.

#include "QuorrelView.h"

#include "CommandTable.h"
#include "ModalScope.h"
#include "QuorrelDoc.h"

#include "model/WppFile.h"
#include "output/rotation/RotationDialog.h"
#include "animation/ViewAnimation.h"

namespace quorrel::app {

namespace {

int& TimerInterval()
{
    static int interval = CQuorrelView::kTimerInterval;
    return interval;
}

// How often a held-back tick looks whether the modal window has closed.
constexpr int kHeldTickPollMs = 100;

} // namespace

void CQuorrelView::SetTimerInterval(int milliseconds) { TimerInterval() = milliseconds; }

void CQuorrelView::AddTimerCommands()
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CQuorrelView::OnTimerTick);
    m_heldTick.setSingleShot(true);
    connect(&m_heldTick, &QTimer::timeout, this, &CQuorrelView::OnHeldTickCheck);

    OnCommand(ID_SLIDE_SHOW, [this] { OnSlideShow(); });
    OnUpdateCommand(ID_SLIDE_SHOW, [this](platform::CCmdUI& ui) {
        ui.Enable(!m_bRandomDesktop);
        ui.SetCheck(m_bSlideShow);
    });
    OnCommand(ID_RANDOM_DESKTOP, [this] { OnRandomDesktop(); });
    OnUpdateCommand(ID_RANDOM_DESKTOP, [this](platform::CCmdUI& ui) { ui.SetCheck(m_bRandomDesktop); });
    OnCommand(ID_DESKTOP_ROTATION, [this] { OnDesktopRotation(); });
}

void CQuorrelView::OnDesktopRotation()
{
    // The timers wait while it is open, as under every dialog.
    const CModalScope modal;
    CViewAnimation::OfferToStopLiving();
    // The images look as the view shows the tile, at the wallpaper's scale.
    const output::rotation::CRotationLook look{IsContinuous(), WallpaperScale(), ScreenSize()};
    output::rotation::CRotationDialog dialog(GetDocument()->m_params, this, GetDocument()->GetTitle(), look);
    dialog.exec();
}

void CQuorrelView::StartTimer()
{
    // Starting a running timer restarts it with the full interval.
    m_timer.start(TimerInterval());
}

void CQuorrelView::StopTimer()
{
    m_timer.stop();
    m_heldTick.stop();
}

void CQuorrelView::OnSlideShow()
{
    // Disabled while random desktop runs, also when it comes as a key.
    if (m_bRandomDesktop)
        return;
    m_bSlideShow = !m_bSlideShow;
    if (m_bSlideShow)
        StartTimer();
    else
        StopTimer();
}

void CQuorrelView::OnRandomDesktop()
{
    m_bRandomDesktop = !m_bRandomDesktop;
    if (m_bRandomDesktop) {
        // Takes over a running slide show on the same timer.
        m_bWallpaperFailureShown = false;
        StartTimer();
        m_bSlideShow = false;
    } else {
        StopTimer();
    }
}

void CQuorrelView::OnTimerTick()
{
    if (!m_bSlideShow && !m_bRandomDesktop)
        return;
    if (CModalScope::IsModalOpen()) {
        // Hold the tick back: at most one waits, and none runs under an
        // open editor or on top of a message box.
        if (!m_heldTick.isActive())
            m_heldTick.start(kHeldTickPollMs);
        return;
    }
    m_heldTick.stop();
    // The desktop is still taking the last image: no new one before it has.
    if (m_bRandomDesktop && IsWallpaperUpdating())
        return;
    ++m_nTimerTicks;
    OnRandomGeneration();
    if (m_bRandomDesktop)
        OnSetAsWallpaper();
}

void CQuorrelView::OnHeldTickCheck()
{
    if (!m_timer.isActive())
        return;
    if (CModalScope::IsModalOpen()) {
        m_heldTick.start(kHeldTickPollMs);
        return;
    }
    // The held tick becomes the next regular one, a full interval after the
    // modal window closed: the user gets time to stop the mode before the
    // next image (or the next failure message) comes.
    StartTimer();
}

} // namespace quorrel::app
