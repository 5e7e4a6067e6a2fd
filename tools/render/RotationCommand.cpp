#include "RotationCommand.h"

#include "LivingCommand.h"

#include "output/rotation/RotationInterval.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>

#include <iostream>

namespace quorrel::tools {

namespace rot = output::rotation;

namespace {

// Runs `start` with a callback and waits for its answer.
rot::CRotationOutcome Wait(const std::function<void(rot::RotationDone)>& start)
{
    QEventLoop loop;
    rot::CRotationOutcome outcome;
    bool answered = false;
    start([&](const rot::CRotationOutcome& answer) {
        outcome = answer;
        answered = true;
        loop.quit();
    });
    if (!answered)
        loop.exec();
    return outcome;
}

QString SizeText(const std::pair<uint32_t, uint32_t>& size)
{
    return QStringLiteral("%1x%2").arg(size.first).arg(size.second);
}

void PrintNotes(const rot::CRotationOutcome& outcome)
{
    for (const QString& note : outcome.notes)
        std::cout << "note: " << note.toStdString() << std::endl;
}

QStringList TickSource(const RenderOptions& options, const QString& source)
{
    if (!source.isEmpty())
        return {source};
    if (options.preset)
        return {QStringLiteral("--preset"), QString::fromStdString(*options.preset)};
    return {};
}

} // namespace

QStringList TickRenderOptions(const RenderOptions& options)
{
    QStringList command;
    if (options.size)
        command << QStringLiteral("--size") << SizeText(*options.size);
    if (options.fill)
        command << QStringLiteral("--fill") << SizeText(*options.fill);
    if (options.supersample != 1)
        command << QStringLiteral("--supersample") << QString::number(options.supersample);
    if (options.continuous)
        command << QStringLiteral("--continuous");
    if (options.scale)
        command << QStringLiteral("--scale") << QString::number(*options.scale);
    return command;
}

QStringList TickCommand(const QString& program, const RenderOptions& options, const QString& source,
                        const QString& swaybgImage)
{
    return rot::CDesktopRotation::TickCommand(program, TickSource(options, source), TickRenderOptions(options),
                                              swaybgImage);
}

bool RunRotation(const RenderOptions& options, const model::CTileParams& params, const RotationImageMaker& make,
                 std::string& error)
{
    rot::CDesktopRotation rotation;
    const std::string& what = *options.rotate;
    if (what == "status") {
        std::cout << rotation.Status().toStdString() << std::endl;
        return true;
    }
    if (what == "off") {
        const rot::CRotationOutcome stopped = Wait([&](rot::RotationDone done) { rotation.Stop(std::move(done)); });
        if (!stopped.Ok()) {
            error = rot::RotationFailureLine(QStringLiteral("--rotate off"), rotation.Session(), stopped).toStdString();
            return false;
        }
        const bool nothing = stopped.notes.contains(QStringLiteral("no rotation was set up"));
        std::cout << (nothing ? "no rotation was set up"
                              : "rotation stopped: the previous settings are back, its files and units removed")
                  << std::endl;
        if (!nothing)
            PrintNotes(stopped);
        return true;
    }

    // A living wallpaper and a rotation exclude each other.
    if (!StopLivingForRotation(error))
        return false;
    QString reason;
    rot::CRotationRequest request;
    request.params = params;
    request.intervalSeconds = *rot::ParseInterval(QString::fromStdString(what), reason);
    if (options.count)
        request.count = int(*options.count);
    request.seed = options.seed;
    request.filled = options.fill.has_value();
    request.randomOrder = options.randomOrder;
    request.fromDocument = options.input.has_value();
    request.source = options.input ? QFileInfo(QString::fromStdString(*options.input)).fileName()
                     : options.preset ? QStringLiteral("preset ") + QString::fromStdString(*options.preset)
                                      : QStringLiteral("the built-in defaults");
    request.tickSource = TickSource(options, {});
    request.tickOptions = TickRenderOptions(options);
    request.program = QCoreApplication::applicationFilePath();
    request.render = make;
    const rot::CRotationOutcome started =
        Wait([&](rot::RotationDone done) { rotation.Begin(std::move(request), std::move(done)); });
    if (!started.Ok()) {
        error = rot::RotationFailureLine(QStringLiteral("--rotate"), rotation.Session(), started).toStdString();
        return false;
    }
    std::cout << rotation.Status().toStdString() << std::endl;
    PrintNotes(started);
    return true;
}

bool CheckRotationTick(std::string& error, std::string& notice)
{
    rot::CDesktopRotation rotation;
    QString problem;
    const std::optional<rot::CRotationState> state = rotation.Installed(problem);
    if (!state) {
        error = problem.isEmpty()
                    ? "--rotation-tick: no rotation is set up (" + rotation.StatePath().toStdString() +
                          " is missing); stop the timer with systemctl --user disable --now quorrel-rotation.timer"
                    : "--rotation-tick: " + problem.toStdString();
        return false;
    }
    if (state->phase != rot::EPhase::Installed) {
        error = "--rotation-tick: the rotation's set-up was interrupted; quorrel-render --rotate off undoes it";
        return false;
    }
    if (rotation.Session().session == output::ESession::None) {
        error = "--rotation-tick: the timer's service sees no graphical session (no DISPLAY or WAYLAND_DISPLAY); "
                "the session must pass them on: systemctl --user import-environment DISPLAY WAYLAND_DISPLAY "
                "SWAYSOCK XDG_CURRENT_DESKTOP XDG_SESSION_TYPE";
        return false;
    }
    notice = rotation.Mismatch(*state).toStdString();
    return true;
}

} // namespace quorrel::tools
