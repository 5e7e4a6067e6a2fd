#include "RotationWriter.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

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

bool WriteNewFile(const QString& path, const QByteArray& text, QString& error)
{
    const QByteArray local = QFile::encodeName(path);
    const int fd = ::open(local.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    bool ok = fd >= 0;
    qsizetype written = 0;
    while (ok && written < text.size()) {
        const ssize_t n = ::write(fd, text.constData() + written, std::size_t(text.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        written += ok ? n : 0;
    }
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    if (fd >= 0)
        ok = ::close(fd) == 0 && ok;
    if (!ok) {
        error = QStringLiteral("%1 could not be written: %2").arg(path, reason);
        if (fd >= 0)
            ::unlink(local.constData());
        return false;
    }
    return true;
}

} // namespace quorrel::output::rotation
