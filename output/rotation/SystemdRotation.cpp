#include "SystemdRotation.h"

#include "SystemdUnits.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quorrel::output::rotation {

CHelperCall CSystemdRotation::Systemctl(const QStringList& arguments, bool optional) const
{
    return {QStringLiteral("systemctl"), QStringList{QStringLiteral("--user")} + arguments, optional};
}

void CSystemdRotation::Install(const CRotationSetup& setup, CRotationState& state, StepDone done)
{
    QString error;
    const auto units =
        UnitFiles({setup.tickCommand, setup.intervalSeconds, setup.swaybgImage}, error);
    if (!units) {
        done({{}, error});
        return;
    }
    if (!QDir().mkpath(setup.folders.units)) {
        done({{}, QStringLiteral("%1: the folder could not be made").arg(setup.folders.units)});
        return;
    }
    for (const CUnitFile& unit : *units) {
        const QString path = QDir(setup.folders.units).filePath(unit.name);
        // A unit of the same name that is not ours is never overwritten.
        if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
            done({{}, QStringLiteral("%1 is there already; remove it, or stop the rotation that wrote it").arg(path)});
            return;
        }
        state.files << path;
        if (!WriteTextFile(path, unit.text.toUtf8(), error)) {
            done({{}, error});
            return;
        }
    }
    RunInTurn(m_runner, &m_context,
              {Systemctl({QStringLiteral("daemon-reload")}),
               Systemctl({QStringLiteral("enable"), QStringLiteral("--now"), kTimerUnit})},
              std::move(done));
}

void CSystemdRotation::Remove(const CRotationState& state, StepDone done)
{
    const QList<CHelperCall> stops{Systemctl({QStringLiteral("disable"), QStringLiteral("--now"), kTimerUnit}),
                                   Systemctl({QStringLiteral("stop"), kSwaybgUnit, kServiceUnit}, true)};
    CollectInTurn(m_runner, &m_context, stops, [this, stops, state, done = std::move(done)](
                                                   const QList<CProcessResult>& results, const QStringList& tried) {
        const CStepOutcome stopped = FirstFailure(m_runner, stops, results, tried);
        // The unit files go whatever systemctl said: a later login must not
        // start them again.
        for (const QString& file : state.files) {
            const QString name = QFileInfo(file).fileName();
            if (name == kTimerUnit || name == kServiceUnit || name == kSwaybgUnit)
                QFile::remove(file);
        }
        const QList<CHelperCall> reload{Systemctl({QStringLiteral("daemon-reload")})};
        CollectInTurn(m_runner, &m_context, reload,
                      [this, reload, stopped, done](const QList<CProcessResult>& results, const QStringList& tried) {
                          CStepOutcome outcome = FirstFailure(m_runner, reload, results, tried);
                          outcome.tried = stopped.tried + outcome.tried;
                          if (!stopped.Ok())
                              outcome.problem = stopped.problem;
                          done(outcome);
                      });
    });
}

} // namespace quorrel::output::rotation
