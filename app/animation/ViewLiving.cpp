// File > Set As Living Wallpaper: the view's loop (its length, rate,
// keyframes and size as Export Animation last had them) made the desktop's
// moving wallpaper through output/living, the same way quorrel-render
// --animate --set-wallpaper does. The loop is written in this thread with
// the progress in the status bar (a tile-sized loop takes a few seconds at
// most); the desktop's helpers answer from the event loop.

#include "ViewAnimation.h"

#include "app/MainFrame.h"
#include "app/ModalScope.h"
#include "app/QuorrelDoc.h"
#include "app/QuorrelView.h"

#include "platform/MessageBox.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>

namespace quorrel::app {

void CViewAnimation::SetAsLivingWallpaper()
{
    const CQuorrelDoc* doc = m_view.GetDocument();
    if (!doc || m_starter)
        return;
    QString error;
    m_livingLoop = MakeLoop(m_settings.seconds, m_settings.fps, m_settings.keyframes, error);
    auto fail = [this](const QString& why) {
        const CModalScope modal;
        platform::AfxMessageBox(tr("The living wallpaper could not be set.\n\n%1").arg(why), platform::MsgButtons::Ok,
                                platform::MsgIcon::Warning, QStringLiteral("Quorrel"));
    };
    if (!m_livingLoop) {
        fail(error);
        return;
    }
    output::living::CLivingRequest request;
    request.loop = m_livingLoop.get();
    // The tile at the export's scale; a screen-sized fill does not apply.
    const uint32_t scale = m_settings.fill ? 1 : uint32_t(m_settings.scale);
    request.size.width = doc->m_params.m_nWidth * scale;
    request.size.height = doc->m_params.m_nHeight * scale;
    request.fps = int(m_settings.fps);
    request.source = doc->GetTitle();
    const QPointer<CMainFrame> frame = m_view.MainFrameWindow();
    request.progress = [frame](int percent) {
        if (frame)
            frame->SetProgress(std::min(percent, 99));
    };

    m_living = std::make_unique<output::living::CDesktopLiving>();
    m_rotation = std::make_unique<output::rotation::CDesktopRotation>();
    m_starter = std::make_unique<output::living::CLivingStarter>(*m_living, *m_rotation);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_starter->Start(request, [this, frame, fail](const output::living::CLivingOutcome& outcome,
                                                  const QStringList& said) {
        QApplication::restoreOverrideCursor();
        if (frame)
            frame->SetProgress(0);
        const QString where = m_living->Where();
        QString way;
        QString ignored;
        if (const auto state = m_living->Installed(ignored))
            way = output::living::WayName(state->way);
        // Gone from the event loop, not from within the starter's callback.
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_starter.reset();
                m_rotation.reset();
                m_living.reset();
                m_livingLoop.reset();
            },
            Qt::QueuedConnection);
        if (!outcome.Ok()) {
            fail(output::living::LivingFailureLine(tr("Set As Living Wallpaper"), where, outcome));
            return;
        }
        QString notice = tr("Living wallpaper on %1: %2").arg(where, way);
        if (!said.isEmpty())
            notice += QStringLiteral(" (") + said.join(QStringLiteral("; ")) + u')';
        if (frame)
            frame->ShowNotice(notice);
    });
}

void CViewAnimation::OfferToStopLiving()
{
    output::living::CDesktopLiving living;
    QString error;
    if (!living.Installed(error) && error.isEmpty())
        return;
    const QString text = tr("A living wallpaper is set up:\n\n%1\n\nStop it and put the previous wallpaper back? "
                            "(A desktop rotation also stops it.)")
                             .arg(living.Status());
    if (platform::AfxMessageBox(text, platform::MsgButtons::YesNo, platform::MsgIcon::Question,
                                QStringLiteral("Quorrel")) != platform::MsgResult::Yes)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QEventLoop wait;
    output::living::CLivingOutcome stopped;
    living.Stop([&](const output::living::CLivingOutcome& outcome) {
        stopped = outcome;
        wait.quit();
    });
    wait.exec();
    QApplication::restoreOverrideCursor();
    if (!stopped.Ok()) {
        platform::AfxMessageBox(tr("The living wallpaper could not be stopped.\n\n%1")
                                    .arg(output::living::LivingFailureLine(tr("Stopping"), living.Where(), stopped)),
                                platform::MsgButtons::Ok, platform::MsgIcon::Warning, QStringLiteral("Quorrel"));
    }
}

} // namespace quorrel::app
