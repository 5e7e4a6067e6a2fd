#include "SystemdRotation.h"

#include "SystemdUnits.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quorrel::output::rotation {

namespace {

// The link `systemctl enable` makes for the timer.
QString WantsLink(const QString& units)
{
    return units + QStringLiteral("/timers.target.wants/") + kTimerUnit;
}

bool IsUnit(const QString& name) { return name == kTimerUnit || name == kServiceUnit || name == kSwaybgUnit; }

} // namespace

CHelperCall CSystemdRotation::Systemctl(const QStringList& arguments, bool optional) const
{
    return {QStringLiteral("systemctl"), QStringList{QStringLiteral("--user")} + arguments, optional};
}

void CSystemdRotation::Install(const CRotationSetup& setup, CRotationState& state, JournalStep journal,
                               StepDone done)
{
    QString error;
    CUnitPlan plan{setup.tickCommand, setup.intervalSeconds, setup.swaybgImage, {}};
    // The folders the rotation was made with: a user manager started
    // without them would look for the rotation elsewhere and find none.
    if (!setup.folders.dataHome.isEmpty())
        plan.environment.append({QStringLiteral("XDG_DATA_HOME"), setup.folders.dataHome});
    if (!setup.folders.configHome.isEmpty())
        plan.environment.append({QStringLiteral("XDG_CONFIG_HOME"), setup.folders.configHome});
    const auto units = UnitFiles(plan, error);
    if (!units) {
        done({{}, error});
        return;
    }
    if (!QDir().mkpath(setup.folders.units)) {
        done({{}, QStringLiteral("%1: the folder could not be made").arg(setup.folders.units)});
        return;
    }
    QStringList paths;
    for (const CUnitFile& unit : *units) {
        const QString path = QDir(setup.folders.units).filePath(unit.name);
        // A unit of the same name that is not ours is never overwritten.
        if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
            done({{}, QStringLiteral("%1 is there already; remove it, or stop the rotation that wrote it").arg(path)});
            return;
        }
        paths << path;
    }
    state.files << paths;
    if (!journal(error)) {
        done({{}, error});
        return;
    }
    for (qsizetype i = 0; i < units->size(); ++i) {
        if (!WriteNewFile(paths[i], (*units)[i].text.toUtf8(), error)) {
            done({{}, error});
            return;
        }
    }
    // systemd's own check of the units, where it is installed: a unit it
    // would refuse is no rotation.
    QList<CHelperCall> calls;
    if (m_runner.IsAvailable(QStringLiteral("systemd-analyze")))
        calls << CHelperCall{QStringLiteral("systemd-analyze"), QStringList{QStringLiteral("verify")} + paths};
    calls << Systemctl({QStringLiteral("daemon-reload")})
          << Systemctl({QStringLiteral("enable"), QStringLiteral("--now"), kTimerUnit});
    RunInTurn(m_runner, &m_context, calls, std::move(done));
}

void CSystemdRotation::Remove(const CRotationState& state, StepDone done)
{
    const QList<CHelperCall> stops{Systemctl({QStringLiteral("disable"), QStringLiteral("--now"), kTimerUnit}),
                                   Systemctl({QStringLiteral("stop"), kSwaybgUnit, kServiceUnit}, true)};
    CollectInTurn(m_runner, &m_context, stops, [this, stops, state, done = std::move(done)](
                                                   const QList<CProcessResult>& results, const QStringList& tried) {
        const CStepOutcome stopped = FirstFailure(m_runner, stops, results, tried);
        // The unit files go whatever systemctl said, and the link enabling
        // the timer with them: nothing can start the timer again then.
        QString units;
        bool removed = true;
        for (const QString& file : state.files) {
            const QFileInfo info(file);
            if (!IsUnit(info.fileName()))
                continue;
            units = info.path();
            if ((info.exists() || info.isSymLink()) && !QFile::remove(file))
                removed = false;
        }
        if (!units.isEmpty()) {
            const QFileInfo wants(WantsLink(units));
            if (wants.isSymLink() && QFileInfo(wants.symLinkTarget()).fileName() == kTimerUnit)
                removed = QFile::remove(wants.filePath()) && removed;
            QDir().rmdir(wants.path());
        }
        const QList<CHelperCall> reload{Systemctl({QStringLiteral("daemon-reload")})};
        CollectInTurn(m_runner, &m_context, reload,
                      [this, reload, stopped, removed, done](const QList<CProcessResult>& results,
                                                             const QStringList& tried) {
                          CStepOutcome outcome = FirstFailure(m_runner, reload, results, tried);
                          outcome.tried = stopped.tried + outcome.tried;
                          if (!stopped.Ok())
                              outcome.problem = stopped.problem;
                          if (!outcome.Ok() && removed) {
                              // The units are gone: the timer cannot start again. One
                              // still running in this session stops at its next tick,
                              // which finds no rotation.
                              outcome.problem.clear();
                          } else if (!removed) {
                              outcome.problem = QStringLiteral("the timer's units could not be removed");
                          }
                          done(outcome);
                      });
    });
}

} // namespace quorrel::output::rotation
