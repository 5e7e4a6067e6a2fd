#include "ProcessRunner.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#ifdef Q_OS_LINUX
#include <signal.h>
#include <sys/prctl.h>
#endif

namespace quorrel::output {

namespace {

// The first line of a helper's error output, short enough for a message box.
QString FirstLine(const QByteArray& text)
{
    const QString line = QString::fromLocal8Bit(text).trimmed().section(u'\n', 0, 0).trimmed();
    return line.size() > 200 ? line.left(200) + QStringLiteral("...") : line;
}

// Calls `done` from the event loop, unless `context` is gone by then.
void Later(QObject* context, ProcessFinished done, CProcessResult result)
{
    QTimer::singleShot(0, context, [done = std::move(done), result = std::move(result)] { done(result); });
}

// Results and their delivery for one started process: whatever happens
// first (an error, the end, the time-out) is reported, the rest ignored.
struct CReport {
    QPointer<QObject> context;
    ProcessFinished done;
    bool reported = false;
    bool timedOut = false;

    void Send(const CProcessResult& result)
    {
        if (reported)
            return;
        reported = true;
        if (context)
            done(result);
    }
};

CProcessResult Ended(QProcess& process, bool timedOut)
{
    CProcessResult result;
    if (timedOut)
        result.status = CProcessResult::EStatus::TimedOut;
    else if (process.exitStatus() == QProcess::CrashExit)
        result.status = CProcessResult::EStatus::Crashed;
    else
        result.status = CProcessResult::EStatus::Exited;
    result.exitCode = process.exitCode();
    result.output = process.readAllStandardOutput();
    result.errorOutput = process.readAllStandardError();
    return result;
}

void Prepare(QProcess& process, const QString& program, const QStringList& arguments)
{
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
}

class CChildProcess final : public IChildProcess {
public:
    explicit CChildProcess(std::unique_ptr<QProcess> process) : m_process(std::move(process)) {}

    ~CChildProcess() override
    {
        QProcess* process = m_process.release();
        process->disconnect();
        QCoreApplication* app = QCoreApplication::instance();
        if (!app || QThread::currentThread()->loopLevel() == 0) {
            // No event loop to reap it (the program is ending): wait the
            // short while it takes.
            if (process->state() != QProcess::NotRunning) {
                process->terminate();
                if (!process->waitForFinished(1000))
                    process->kill();
            }
            delete process;
            return;
        }
        // Deleted from the event loop, never here: this may run inside one of
        // the process's own signals. A running one is asked to end and reaped
        // when it has; killed if it ignores the request, and ended with the
        // application at the latest.
        process->setParent(app);
        if (process->state() == QProcess::NotRunning) {
            process->deleteLater();
            return;
        }
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        QTimer::singleShot(2000, process, [process] { process->kill(); });
        process->terminate();
    }

    bool IsRunning() const override { return m_process->state() != QProcess::NotRunning; }
    qint64 ProcessId() const override { return m_process->processId(); }

private:
    std::unique_ptr<QProcess> m_process;
};

} // namespace

QString CProcessResult::Problem(const QString& program, int timeoutMs) const
{
    switch (status) {
    case EStatus::NotFound:
        return QStringLiteral("%1 was not found.").arg(program);
    case EStatus::NotStarted:
        return QStringLiteral("%1 could not be started.").arg(program);
    case EStatus::Crashed:
        return QStringLiteral("%1 crashed.").arg(program);
    case EStatus::TimedOut:
        return QStringLiteral("%1 did not finish within %2 s and was stopped.").arg(program).arg(timeoutMs / 1000.0);
    case EStatus::Running:
        return {};
    case EStatus::Exited:
        break;
    }
    if (exitCode == 0)
        return {};
    const QString why = FirstLine(errorOutput);
    return why.isEmpty() ? QStringLiteral("%1 ended with exit code %2.").arg(program).arg(exitCode)
                         : QStringLiteral("%1 ended with exit code %2: %3").arg(program).arg(exitCode).arg(why);
}

CProcessRunner::CProcessRunner(int timeoutMs, int settleMs) : m_timeoutMs(timeoutMs), m_settleMs(settleMs) {}

CProcessRunner::~CProcessRunner()
{
    // Helpers still running are stopped without reporting to anyone.
    for (QObject* child : m_running.children())
        child->disconnect();
}

bool CProcessRunner::IsAvailable(const QString& program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}

void CProcessRunner::Start(const QString& program, const QStringList& arguments, QObject* context,
                           ProcessFinished done)
{
    if (!IsAvailable(program)) {
        Later(context, std::move(done), {});
        return;
    }
    auto* process = new QProcess(&m_running);
    Prepare(*process, program, arguments);
    auto report = std::make_shared<CReport>(CReport{context, std::move(done)});

    auto* timer = new QTimer(process);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, process, [process, report] {
        report->timedOut = true;
        process->kill();   // finished follows
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, report](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;   // the rest end in finished
        report->Send({CProcessResult::EStatus::NotStarted, -1, {}, {}});
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::finished, process, [process, report] {
        report->Send(Ended(*process, report->timedOut));
        process->deleteLater();
    });
    timer->start(m_timeoutMs);
    process->start();
}

std::unique_ptr<IChildProcess> CProcessRunner::StartChild(const QString& program, const QStringList& arguments,
                                                          QObject* context, ProcessFinished started)
{
    auto process = std::make_unique<QProcess>();
    Prepare(*process, program, arguments);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::SeparateChannels);
#ifdef Q_OS_LINUX
    // Ends with us even when we crash: a daemon left behind would keep
    // drawing over its successor.
    process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
#endif
    auto report = std::make_shared<CReport>(CReport{context, std::move(started)});
    QProcess* raw = process.get();
    if (!IsAvailable(program)) {
        Later(context, [report](const CProcessResult& r) { report->Send(r); }, {});
        return std::make_unique<CChildProcess>(std::move(process));
    }
    auto* settle = new QTimer(raw);
    settle->setSingleShot(true);
    QObject::connect(settle, &QTimer::timeout, raw, [report] {
        report->Send({CProcessResult::EStatus::Running, 0, {}, {}});
    });
    QObject::connect(raw, &QProcess::started, settle, [settle, settleMs = m_settleMs] { settle->start(settleMs); });
    QObject::connect(raw, &QProcess::errorOccurred, raw, [report](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            report->Send({CProcessResult::EStatus::NotStarted, -1, {}, {}});
    });
    QObject::connect(raw, &QProcess::finished, raw, [raw, report] { report->Send(Ended(*raw, false)); });
    raw->start();
    return std::make_unique<CChildProcess>(std::move(process));
}

} // namespace quorrel::output
