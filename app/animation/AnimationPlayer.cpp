#include "AnimationPlayer.h"

#include "output/RgbImageView.h"

#include <QMetaObject>

#include <chrono>

namespace quorrel::app {

CAnimationPlayer::CAnimationPlayer(QObject* parent)
    : QObject(parent)
{
}

CAnimationPlayer::~CAnimationPlayer() { Stop(); }

void CAnimationPlayer::Start(std::shared_ptr<const render::animation::CAnimationLoop> loop)
{
    Stop();
    m_stop = false;
    m_pending = false;
    m_shown = 0;
    ++m_generation;
    m_worker = std::thread([this, loop = std::move(loop)] { Run(loop); });
}

void CAnimationPlayer::Stop()
{
    if (!m_worker.joinable())
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_worker.join();
    m_pending = false;
}

void CAnimationPlayer::Run(std::shared_ptr<const render::animation::CAnimationLoop> loop)
{
    using Clock = std::chrono::steady_clock;
    const uint32_t frames = loop->Timing().Frames();
    const auto period = std::chrono::duration<double>(1.0 / loop->Timing().Fps());
    const model::CTileParams& settings = loop->Settings();
    render::CRgbImage tile(settings.m_nWidth, settings.m_nHeight);
    const Clock::time_point start = Clock::now();
    const uint64_t generation = m_generation;
    uint64_t f = 0;
    for (;;) {
        loop->RenderFrame(f % frames, tile, render::RenderSettings{});
        QImage frame = output::ImageView(tile).convertToFormat(QImage::Format_RGB32);
        const auto due = start + std::chrono::duration_cast<Clock::duration>(period * double(f));
        {
            std::unique_lock lock(m_mutex);
            if (m_wake.wait_until(lock, due, [this] { return m_stop; }))
                return;
        }
        // One frame on its way at a time; a late GUI makes the worker skip.
        if (!m_pending.exchange(true)) {
            QMetaObject::invokeMethod(
                this,
                [this, frame = std::move(frame), index = f, generation] {
                    m_pending = false;
                    if (!IsPlaying() || generation != m_generation)
                        return;
                    ++m_shown;
                    emit FrameReady(frame, index);
                },
                Qt::QueuedConnection);
        }
        // The next frame due, skipping those whose time has passed.
        const double elapsed = std::chrono::duration<double>(Clock::now() - start) / period;
        f = std::max<uint64_t>(f + 1, uint64_t(elapsed) + 1);
    }
}

} // namespace quorrel::app
