#include "LivingStarter.h"

namespace quorrel::output::living {

void CLivingStarter::Start(const CLivingRequest& request, LivingStarted done)
{
    m_request = request;
    m_done = std::move(done);
    m_said.clear();
    QString why;
    const std::optional<EWay> way = m_living.Way(why);
    if (!way) {
        Finish({{}, why, {}});
        return;
    }
    m_way = *way;
    if (!CDesktopLiving::SlowLiving(m_way) && CDesktopLiving::PlayerProgram().isEmpty()) {
        Finish({{}, QStringLiteral("quorrel-living-player was not found beside this program or on PATH"), {}});
        return;
    }
    // A rotation and a living wallpaper exclude each other.
    QString rotationError;
    if (m_rotation.Installed(rotationError) || !rotationError.isEmpty()) {
        m_rotation.Stop([this](const rotation::CRotationOutcome& stopped) {
            if (!stopped.Ok()) {
                Finish({stopped.tried,
                        rotation::RotationFailureLine(QStringLiteral("stopping the desktop rotation"),
                                                      m_rotation.Session(), stopped),
                        {}});
                return;
            }
            m_said << QStringLiteral("the desktop rotation was stopped: a living wallpaper replaces it");
            StopLiving();
        });
        return;
    }
    StopLiving();
}

void CLivingStarter::StopLiving()
{
    QString error;
    if (!m_living.Installed(error) && error.isEmpty()) {
        Write();
        return;
    }
    m_living.Stop([this](const CLivingOutcome& stopped) {
        if (!stopped.Ok()) {
            Finish(stopped);
            return;
        }
        m_said << QStringLiteral("the living wallpaper set up before was stopped");
        Write();
    });
}

void CLivingStarter::Write()
{
    QString error;
    if (!m_living.PrepareFolder(error)) {
        Finish({{}, error, {}});
        return;
    }
    CLivingSetup setup;
    setup.fps = m_request.fps;
    setup.periodSeconds = CDesktopLiving::SlowLiving(m_way) ? m_request.periodSeconds : 0;
    setup.player = CDesktopLiving::PlayerProgram();
    const auto& loop = *m_request.loop;
    const bool written = CDesktopLiving::SlowLiving(m_way)
                             ? WriteSlides(loop, m_request.size, m_living.SlidesFolder(), setup.slides, error,
                                           m_request.progress)
                             : WriteFramesFile(loop, m_request.size, m_living.Folder(), error, m_request.progress);
    if (!written) {
        m_living.DiscardPrepared();
        Finish({{}, error, {}});
        return;
    }
    CLivingState state;
    state.width = int(m_request.size.width ? m_request.size.width : loop.Settings().m_nWidth);
    state.height = int(m_request.size.height ? m_request.size.height : loop.Settings().m_nHeight);
    state.frames = int(loop.Timing().Frames());
    state.source = m_request.source;
    m_living.Start(setup, state, [this](const CLivingOutcome& started) {
        if (!started.Ok())
            m_living.DiscardPrepared();
        Finish(started);
    });
}

void CLivingStarter::Finish(const CLivingOutcome& outcome)
{
    const LivingStarted done = std::move(m_done);
    if (done)
        done(outcome, m_said);
}

} // namespace quorrel::output::living
