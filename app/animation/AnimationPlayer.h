#pragma once
// Live play of a loop in a view: a worker thread renders the frames at the
// loop's pace and hands each finished image to the GUI thread, which only
// paints it. A frame the GUI has not taken yet is not followed by another
// (the worker skips ahead in time instead), so a busy GUI never piles up
// images, and menus, scrolling and dialogs stay responsive.

#include "render/animation/AnimationLoop.h"

#include <QImage>
#include <QObject>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace quorrel::app {

class CAnimationPlayer final : public QObject {
    Q_OBJECT
public:
    explicit CAnimationPlayer(QObject* parent = nullptr);
    ~CAnimationPlayer() override;

    // Plays `loop` from its first frame (a running play stops first).
    void Start(std::shared_ptr<const render::animation::CAnimationLoop> loop);
    // Stops and waits for the worker (at most the time of one frame).
    void Stop();
    bool IsPlaying() const { return m_worker.joinable(); }
    // Frames handed to the GUI since Start.
    uint64_t FramesShown() const { return m_shown; }

signals:
    // A finished frame (RGB32, the loop's tile size), on the GUI thread.
    void FrameReady(const QImage& frame, quint64 index);

private:
    void Run(std::shared_ptr<const render::animation::CAnimationLoop> loop);

    std::thread m_worker;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::atomic<bool> m_pending = false;   // a frame is on its way to the GUI
    uint64_t m_shown = 0;
    uint64_t m_generation = 0;   // frames of an earlier play are dropped
};

} // namespace quorrel::app
