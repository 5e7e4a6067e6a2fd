#include "XfceRotation.h"

#include "output/XfceWallpaperSetter.h"

#include <algorithm>

namespace quorrel::output::rotation {

namespace {
// How a previous value is kept: the value after "set:", or that there was none.
const QString kSet = QStringLiteral("set:");
const QString kAbsent = QStringLiteral("absent");
} // namespace

std::pair<unsigned, int> CXfceRotation::CycleTimer(int intervalSeconds)
{
    if (intervalSeconds % 3600 == 0)
        return {unsigned(intervalSeconds / 3600), 2};
    if (intervalSeconds % 60 == 0)
        return {unsigned(intervalSeconds / 60), 1};
    return {unsigned(intervalSeconds), 0};
}

QList<CXfceRotation::CProperty> CXfceRotation::Properties(const CRotationSetup& setup)
{
    const auto [timer, period] = CycleTimer(setup.intervalSeconds);
    return {{QStringLiteral("/image-style"), QStringLiteral("int"), QStringLiteral("2")},
            {QStringLiteral("/last-image"), QStringLiteral("string"), setup.images.value(0)},
            {QStringLiteral("/backdrop-cycle-random-order"), QStringLiteral("bool"),
             setup.randomOrder ? QStringLiteral("true") : QStringLiteral("false")},
            {QStringLiteral("/backdrop-cycle-period"), QStringLiteral("int"), QString::number(period)},
            {QStringLiteral("/backdrop-cycle-timer"), QStringLiteral("uint"), QString::number(timer)},
            {QStringLiteral("/backdrop-cycle-enable"), QStringLiteral("bool"), QStringLiteral("true")}};
}

CHelperCall CXfceRotation::Query(const QStringList& arguments, bool optional) const
{
    return {QStringLiteral("xfconf-query"), QStringList{QStringLiteral("-c"), QStringLiteral("xfce4-desktop")} + arguments,
            optional};
}

void CXfceRotation::Install(const CRotationSetup& setup, CRotationState& state, JournalStep journal, StepDone done)
{
    const CHelperCall list = Query({QStringLiteral("-l")});
    CollectInTurn(m_runner, &m_context, {list}, [this, setup, &state, journal = std::move(journal), done = std::move(done), list](
                                                    const QList<CProcessResult>& listed, const QStringList& tried) {
        if (listed[0].status != CProcessResult::EStatus::Exited) {
            done({tried, listed[0].Problem(list.program, m_runner.TimeoutMs())});
            return;
        }
        const QStringList backdrops =
            CXfceWallpaperSetter::Backdrops(listed[0].exitCode == 0 ? listed[0].output : QByteArray());
        const QList<CProperty> properties = Properties(setup);
        QList<CHelperCall> reads;
        for (const QString& backdrop : backdrops) {
            for (const CProperty& property : properties)
                reads << Query({QStringLiteral("-p"), backdrop + property.name}, true);
        }
        CollectInTurn(m_runner, &m_context, reads, [this, reads, backdrops, properties, &state, journal, done,
                                                    tried](const QList<CProcessResult>& results,
                                                           const QStringList& readTried) {
            // A property that is not there fails to read: it is removed again on off.
            for (qsizetype i = 0; i < results.size(); ++i) {
                const QString property = reads[i].arguments[3];
                const bool there = results[i].status == CProcessResult::EStatus::Exited && results[i].exitCode == 0;
                state.previous.append(
                    {property, there ? kSet + QString::fromUtf8(results[i].output).chopped(
                                                  results[i].output.endsWith('\n') ? 1 : 0)
                                     : kAbsent});
            }
            QString error;
            if (!journal(error)) {
                done({tried + readTried, error});
                return;
            }
            QList<CHelperCall> writes;
            for (const QString& backdrop : backdrops) {
                for (const CProperty& property : properties) {
                    writes << Query({QStringLiteral("-p"), backdrop + property.name, QStringLiteral("-n"),
                                     QStringLiteral("-t"), property.type, QStringLiteral("-s"), property.value});
                }
            }
            RunInTurn(m_runner, &m_context, writes, done, {tried + readTried, {}});
        });
    });
}

void CXfceRotation::Remove(const CRotationState& state, StepDone done)
{
    // Cycling stops first on every backdrop: xfdesktop writes last-image
    // itself at each change, and would overwrite the one put back.
    QList<QPair<QString, QString>> previous = state.previous;
    std::stable_partition(previous.begin(), previous.end(), [](const QPair<QString, QString>& entry) {
        return entry.first.endsWith(QLatin1String("/backdrop-cycle-enable"));
    });
    QList<CHelperCall> writes;
    for (const auto& [property, value] : previous) {
        // Only backdrop properties: a state file naming others is not ours.
        if (!property.startsWith(QLatin1String("/backdrop/")))
            continue;
        if (value.startsWith(kSet))
            writes << Query({QStringLiteral("-p"), property, QStringLiteral("-s"), value.mid(kSet.size())});
        else
            writes << Query({QStringLiteral("-p"), property, QStringLiteral("-r")});
    }
    CollectInTurn(m_runner, &m_context, writes,
                  [this, writes, done = std::move(done)](const QList<CProcessResult>& results,
                                                         const QStringList& tried) {
                      done(FirstFailure(m_runner, writes, results, tried));
                  });
}

} // namespace quorrel::output::rotation
