#include "ProcessRunner.h"

#include <QProcess>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <signal.h>
#endif

namespace quorrel::output {

bool CProcessRunner::IsAvailable(const QString& program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}

CProcessResult CProcessRunner::Run(const QString& program, const QStringList& arguments)
{
    CProcessResult result;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    if (!process.waitForStarted(m_timeoutMs))
        return result;
    process.closeWriteChannel();
    if (!process.waitForFinished(m_timeoutMs)) {
        process.kill();
        process.waitForFinished(m_timeoutMs);
        return result;
    }
    result.finished = process.exitStatus() == QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.output = process.readAllStandardOutput();
    return result;
}

qint64 CProcessRunner::StartDetached(const QString& program, const QStringList& arguments)
{
    qint64 pid = 0;
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    return process.startDetached(&pid) ? pid : 0;
}

void CProcessRunner::Terminate(qint64 pid)
{
#ifdef Q_OS_UNIX
    if (pid > 0)
        ::kill(static_cast<pid_t>(pid), SIGTERM);
#else
    Q_UNUSED(pid);
#endif
}

} // namespace quorrel::output
