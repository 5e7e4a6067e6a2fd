#pragma once
// XFCE: xfdesktop cycles the images of the folder its backdrop shows on a
// timer of its own. Every backdrop gets the first image, the tiled style and
// the cycle settings; the timer's unit is the largest that divides the
// interval (hours, minutes, seconds).

#include "RotationWriter.h"

#include <utility>

namespace quorrel::output::rotation {

class CXfceRotation final : public IRotationWriter {
public:
    explicit CXfceRotation(IProcessRunner& runner) : m_runner(runner) {}

    EMethod Method() const override { return EMethod::XfceCycle; }
    void Install(const CRotationSetup& setup, CRotationState& state, JournalStep journal, StepDone done) override;
    void Remove(const CRotationState& state, StepDone done) override;

    // backdrop-cycle-timer and backdrop-cycle-period (0 seconds, 1 minutes,
    // 2 hours) for an interval.
    static std::pair<unsigned, int> CycleTimer(int intervalSeconds);

    struct CProperty {
        QString name;    // "/image-style", after the backdrop
        QString type;    // xfconf-query's type
        QString value;
    };
    static QList<CProperty> Properties(const CRotationSetup& setup);

private:
    CHelperCall Query(const QStringList& arguments, bool optional = false) const;

    IProcessRunner& m_runner;
    QObject m_context;   // last: gone first, so no helper reports to a dead writer
};

} // namespace quorrel::output::rotation
