#include "RotationWriter.h"

#include <QSaveFile>

namespace quorrel::output::rotation {

void CollectInTurn(IProcessRunner& runner, QObject* context, QList<CHelperCall> calls, ResultsDone done,
                   QList<CProcessResult> soFar, QStringList tried)
{
    if (calls.isEmpty()) {
        done(soFar, tried);
        return;
    }
    const CHelperCall call = calls.takeFirst();
    tried << CommandLine(call);
    runner.Start(call.program, call.arguments, context,
                 [&runner, context, calls = std::move(calls), done = std::move(done), soFar = std::move(soFar),
                  tried = std::move(tried)](const CProcessResult& result) mutable {
                     soFar << result;
                     CollectInTurn(runner, context, std::move(calls), std::move(done), std::move(soFar),
                                   std::move(tried));
                 });
}

CStepOutcome FirstFailure(IProcessRunner& runner, const QList<CHelperCall>& calls,
                          const QList<CProcessResult>& results, const QStringList& tried)
{
    CStepOutcome outcome{tried, {}};
    for (qsizetype i = 0; i < results.size() && i < calls.size(); ++i) {
        if (!results[i].Succeeded() && !calls[i].optional) {
            outcome.problem = results[i].Problem(calls[i].program, runner.TimeoutMs());
            break;
        }
    }
    return outcome;
}

bool WriteTextFile(const QString& path, const QByteArray& text, QString& error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        error = QStringLiteral("%1 could not be written: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace quorrel::output::rotation
