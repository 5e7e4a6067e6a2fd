#pragma once
// Runs the desktop's helper programs: always with an argument list, never
// through a shell, and never longer than a short time-out, so a hanging
// helper cannot freeze the interface.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quorrel::output {

struct CProcessResult {
    bool finished = false;   // started and ended by itself within the time-out
    int exitCode = -1;
    QByteArray output;       // standard output

    bool Succeeded() const { return finished && exitCode == 0; }
};

class IProcessRunner {
public:
    virtual ~IProcessRunner() = default;
    // Whether `program` can be found on PATH.
    virtual bool IsAvailable(const QString& program) = 0;
    virtual CProcessResult Run(const QString& program, const QStringList& arguments) = 0;
    // Starts a program that keeps running (a wallpaper daemon); its process
    // id, or 0 when it could not be started.
    virtual qint64 StartDetached(const QString& program, const QStringList& arguments) = 0;
    // Asks a process started by StartDetached to end.
    virtual void Terminate(qint64 pid) = 0;
};

class CProcessRunner final : public IProcessRunner {
public:
    explicit CProcessRunner(int timeoutMs = 3000) : m_timeoutMs(timeoutMs) {}

    bool IsAvailable(const QString& program) override;
    CProcessResult Run(const QString& program, const QStringList& arguments) override;
    qint64 StartDetached(const QString& program, const QStringList& arguments) override;
    void Terminate(qint64 pid) override;

private:
    int m_timeoutMs;
};

} // namespace quorrel::output
