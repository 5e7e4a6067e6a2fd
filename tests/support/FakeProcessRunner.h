#pragma once
// A stand-in for the helper programs of the desktop: records every call and
// answers it from the event loop (or when the test releases it), so no test
// touches the real desktop.

#include "output/ProcessRunner.h"

#include <QCoreApplication>
#include <QMap>
#include <QPointer>
#include <QSet>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

namespace quorrel::test {

class CFakeRunner final : public output::IProcessRunner {
public:
    struct CCall {
        QString program;
        QStringList arguments;
        QString note;   // what `observe` returned when the call was made
    };

    // Programs found on PATH; `allAvailable` finds every one.
    QSet<QString> available;
    bool allAvailable = false;
    // The answer to a call; by default it ends with exit code 0.
    std::function<output::CProcessResult(const CCall&)> reply;
    // Called as each call is made; its text is kept with the call.
    std::function<QString()> observe;
    // Answers wait for Release() instead of coming from the event loop.
    bool holdAnswers = false;

    std::vector<CCall> calls;

    // Children started and not yet ended (their ids), and those ended.
    QList<qint64> running;
    QList<qint64> ended;

    bool IsAvailable(const QString& program) override { return allAvailable || available.contains(program); }

    // What "gsettings set SCHEMA KEY VALUE" calls that succeeded stored, as
    // "SCHEMA KEY" -> VALUE; "gsettings list-recursively SCHEMA" prints it
    // (unless `reply` gives an output of its own), as the real store would.
    QMap<QString, QString> gsettings;

    void Start(const QString& program, const QStringList& arguments, QObject* context,
               output::ProcessFinished done) override
    {
        calls.push_back({program, arguments, observe ? observe() : QString()});
        output::CProcessResult result;
        if (IsAvailable(program))
            result = reply ? reply(calls.back()) : output::CProcessResult{output::CProcessResult::EStatus::Exited, 0, {}, {}};
        if (program == "gsettings" && arguments.size() == 4 && arguments[0] == "set" && result.Succeeded())
            gsettings[arguments[1] + ' ' + arguments[2]] = arguments[3];
        if (program == "gsettings" && arguments.size() == 2 && arguments[0] == "list-recursively" &&
            result.Succeeded() && result.output.isEmpty()) {
            for (auto it = gsettings.cbegin(); it != gsettings.cend(); ++it) {
                if (it.key().startsWith(arguments[1] + ' '))
                    result.output += (it.key() + ' ' + it.value() + '\n').toUtf8();
            }
        }
        Answer(context, std::move(done), result);
    }

    std::unique_ptr<output::IChildProcess> StartChild(const QString& program, const QStringList& arguments,
                                                      QObject* context, output::ProcessFinished started) override
    {
        calls.push_back({"start " + program, arguments, observe ? observe() : QString()});
        const qint64 id = ++m_lastId;
        output::CProcessResult result;
        if (IsAvailable(program)) {
            result = reply ? reply(calls.back()) : output::CProcessResult{output::CProcessResult::EStatus::Running, 0, {}, {}};
        }
        auto child = std::make_unique<CChild>(*this, id, result.status == output::CProcessResult::EStatus::Running);
        Answer(context, std::move(started), result);
        return child;
    }

    int TimeoutMs() const override { return 3000; }

    // Sends the answers held back so far, in order.
    void Release()
    {
        auto held = std::move(m_held);
        m_held.clear();
        for (auto& answer : held)
            answer();
    }
    std::size_t Held() const { return m_held.size(); }

private:
    class CChild final : public output::IChildProcess {
    public:
        CChild(CFakeRunner& runner, qint64 id, bool running) : m_runner(runner), m_id(id), m_running(running)
        {
            if (running)
                runner.running << id;
        }
        ~CChild() override
        {
            if (m_running) {
                m_runner.running.removeAll(m_id);
                m_runner.ended << m_id;
            }
        }
        bool IsRunning() const override { return m_running; }
        qint64 ProcessId() const override { return m_id; }

    private:
        CFakeRunner& m_runner;
        qint64 m_id;
        bool m_running;
    };

    void Answer(QObject* context, output::ProcessFinished done, const output::CProcessResult& result)
    {
        QPointer<QObject> guard(context);
        auto answer = [guard, done = std::move(done), result] {
            if (guard)
                done(result);
        };
        if (holdAnswers)
            m_held.push_back(std::move(answer));
        else
            QTimer::singleShot(0, context, std::move(answer));
    }

    qint64 m_lastId = 100;
    std::vector<std::function<void()>> m_held;
};

} // namespace quorrel::test
