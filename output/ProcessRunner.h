#pragma once
// Runs the desktop's helper programs: always with an argument list, never
// through a shell, never waiting on the calling thread, and never longer
// than a short time-out, so a hanging helper cannot freeze the interface.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace quorrel::output {

struct CProcessResult {
    enum class EStatus {
        NotFound,     // not on PATH
        NotStarted,   // found, but could not be started
        Exited,       // ended by itself: see exitCode
        Crashed,      // ended by a signal
        TimedOut,     // stopped by us after the time-out
        Running,      // a child process that is still running (StartChild)
    };
    EStatus status = EStatus::NotFound;
    int exitCode = -1;
    QByteArray output;        // standard output
    QByteArray errorOutput;   // standard error

    bool Succeeded() const { return status == EStatus::Running || (status == EStatus::Exited && exitCode == 0); }
    // Why it did not succeed, in words ("gsettings ended with exit code 1:
    // No such schema"); empty when it did.
    QString Problem(const QString& program, int timeoutMs) const;
};

using ProcessFinished = std::function<void(const CProcessResult&)>;

// A program we started that keeps running (a wallpaper daemon). Destroying
// the object ends the program.
class IChildProcess {
public:
    virtual ~IChildProcess() = default;
    virtual bool IsRunning() const = 0;
    virtual qint64 ProcessId() const = 0;
};

class IProcessRunner {
public:
    virtual ~IProcessRunner() = default;
    // Whether `program` can be found on PATH.
    virtual bool IsAvailable(const QString& program) = 0;
    // Starts `program` and returns at once; `done` is called once, later,
    // from the event loop, unless `context` has been destroyed by then.
    virtual void Start(const QString& program, const QStringList& arguments, QObject* context,
                       ProcessFinished done) = 0;
    // Starts a program that keeps running. `started` is called once, later:
    // with status Running when it is still running a moment after its
    // start, otherwise with what became of it. Never null.
    virtual std::unique_ptr<IChildProcess> StartChild(const QString& program, const QStringList& arguments,
                                                      QObject* context, ProcessFinished started) = 0;
    virtual int TimeoutMs() const = 0;
};

class CProcessRunner final : public IProcessRunner {
public:
    // `settleMs`: how long a child process must keep running to count as
    // started.
    explicit CProcessRunner(int timeoutMs = 3000, int settleMs = 300);
    ~CProcessRunner() override;

    bool IsAvailable(const QString& program) override;
    void Start(const QString& program, const QStringList& arguments, QObject* context,
               ProcessFinished done) override;
    std::unique_ptr<IChildProcess> StartChild(const QString& program, const QStringList& arguments,
                                              QObject* context, ProcessFinished started) override;
    int TimeoutMs() const override { return m_timeoutMs; }

private:
    int m_timeoutMs;
    int m_settleMs;
    QObject m_running;   // parent of the helpers still running
};

} // namespace quorrel::output
