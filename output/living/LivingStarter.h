#pragma once
// Making a loop the living wallpaper, as quorrel-render and the editor both
// do it: the desktop's way found (or the reason it has none), a desktop
// rotation or the living wallpaper set up before stopped (and said), the
// loop written into the living folder as the way needs it (the player's
// frames or slow living's slides), and the way set up. Nothing waits: the
// outcome comes through the callback; only writing the loop runs in the
// caller's thread.

#include "DesktopLiving.h"
#include "LoopFiles.h"

#include "output/rotation/DesktopRotation.h"

namespace quorrel::output::living {

struct CLivingRequest {
    const render::animation::CAnimationLoop* loop = nullptr;
    CLoopSize size;
    int fps = 30;
    int periodSeconds = 3600;   // slow living's
    QString source;
    std::function<void(int percent)> progress;
};

// The outcome, and what was done on the way that the user should hear
// ("the desktop rotation was stopped: a living wallpaper replaces it").
using LivingStarted = std::function<void(const CLivingOutcome& outcome, const QStringList& said)>;

class CLivingStarter final {
public:
    CLivingStarter(CDesktopLiving& living, rotation::CDesktopRotation& rotation)
        : m_living(living), m_rotation(rotation) {}

    void Start(const CLivingRequest& request, LivingStarted done);

private:
    void StopLiving();
    void Write();
    void Finish(const CLivingOutcome& outcome);

    CDesktopLiving& m_living;
    rotation::CDesktopRotation& m_rotation;
    CLivingRequest m_request;
    EWay m_way = EWay::X11Player;
    QStringList m_said;
    LivingStarted m_done;
};

} // namespace quorrel::output::living
