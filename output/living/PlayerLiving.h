#pragma once
// X11 window managers and wlroots compositors: Quorrel's own player,
// started now and at each login through an XDG autostart entry. The player
// keeps what it covers: on X11 it puts the root window's previous
// background back when it stops; on wlroots it stops the compositor's own
// background (swaybg) while it plays and starts it again when it ends.
// It records its process in player.pid in the living folder, so off can
// end exactly that process.

#include "LivingWay.h"

namespace quorrel::output::living {

class CPlayerLiving final : public ILivingWay {
public:
    CPlayerLiving(IProcessRunner& runner, EWay way) : m_runner(runner), m_way(way) {}

    EWay Way() const override { return m_way; }
    void Install(const CLivingSetup& setup, CLivingState& state, StepDone done) override;
    void Remove(const CLivingSetup& setup, const CLivingState& state, StepDone done) override;

    // The player recorded in `folder`/player.pid when it runs as this user;
    // 0 otherwise.
    static int RunningPlayer(const QString& folder);

private:
    void AwaitStart(const CLivingSetup& setup, QStringList tried, int pollsLeft, StepDone done);
    void AwaitEnd(int pid, QStringList tried, QString problem, int pollsLeft, StepDone done);

    IProcessRunner& m_runner;
    EWay m_way;
    QObject m_context;   // last: gone first, so nothing reports to a dead way
};

inline constexpr const char* kPlayerPidName = "player.pid";

} // namespace quorrel::output::living
