#pragma once
// Desktops without a slide show of their own (LXQt, LXDE, sway and other
// wlroots compositors, plain X11): systemd user units that run
// quorrel-render at login and at each interval. The units are written to
// $XDG_CONFIG_HOME/systemd/user and the timer enabled and started through
// systemctl --user.

#include "RotationWriter.h"

namespace quorrel::output::rotation {

class CSystemdRotation final : public IRotationWriter {
public:
    explicit CSystemdRotation(IProcessRunner& runner) : m_runner(runner) {}

    EMethod Method() const override { return EMethod::SystemdTimer; }
    bool NeedsImages() const override { return false; }
    void Install(const CRotationSetup& setup, CRotationState& state, JournalStep journal, StepDone done) override;
    // The timer stopped and disabled, the units deleted, systemd told.
    void Remove(const CRotationState& state, StepDone done) override;

private:
    CHelperCall Systemctl(const QStringList& arguments, bool optional = false) const;

    IProcessRunner& m_runner;
    QObject m_context;   // last: gone first, so no helper reports to a dead writer
};

} // namespace quorrel::output::rotation
