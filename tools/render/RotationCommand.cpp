#include "RotationCommand.h"

#include "LivingCommand.h"
#include "OutputNames.h"

#include "model/WppFile.h"
#include "output/ImageSaver.h"
#include "output/ErrorMessage.h"
#include "output/rotation/DesktopRotation.h"
#include "output/rotation/RotationInterval.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QSaveFile>

#include <iostream>
#include <memory>

namespace quorrel::tools {

namespace rot = output::rotation;

namespace {

// Runs `start` with a callback and waits for its answer.
rot::CRotationOutcome Wait(const std::function<void(rot::RotationDone)>& start)
{
    QEventLoop loop;
    rot::CRotationOutcome outcome;
    start([&](const rot::CRotationOutcome& answer) {
        outcome = answer;
        loop.quit();
    });
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

bool Stop(rot::CDesktopRotation& rotation, std::string& error)
{
    const rot::CRotationOutcome stopped = Wait([&](rot::RotationDone done) { rotation.Stop(std::move(done)); });
    if (!stopped.Ok()) {
        error = rot::RotationFailureLine(QStringLiteral("--rotate off"), rotation.Session(), stopped).toStdString();
        return false;
    }
    return true;
}

} // namespace

QStringList TickCommand(const QString& program, const RenderOptions& options, const QString& source,
                        const QString& swaybgImage)
{
    QStringList command{program};
    if (!source.isEmpty())
        command << source;
    else if (options.preset)
        command << QStringLiteral("--preset") << QString::fromStdString(*options.preset);
    command << QStringLiteral("--generate");
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
    command << QStringLiteral("--quiet");
    if (swaybgImage.isEmpty())
        command << QStringLiteral("--set-wallpaper");
    else
        command << QStringLiteral("-o") << swaybgImage;
    command << QStringLiteral("--rotation-tick");
    return command;
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
        QString installedError;
        const bool installed = rotation.Installed(installedError).has_value();
        if (!Stop(rotation, error))
            return false;
        std::cout << (installed ? "rotation stopped: the previous settings are back, its files and units removed"
                                : "no rotation was set up")
                  << std::endl;
        return true;
    }

    QString reason;
    const int interval = *rot::ParseInterval(QString::fromStdString(what), reason);
    const auto method = rotation.Method(options.fill.has_value(), reason);
    if (!method) {
        error = "--rotate: " + reason.toStdString();
        return false;
    }
    // A living wallpaper and a rotation exclude each other.
    if (!StopLivingForRotation(error))
        return false;
    // One rotation at a time: the one set up before is taken down first.
    QString installedError;
    if (rotation.Installed(installedError) || !installedError.isEmpty()) {
        if (!Stop(rotation, error))
            return false;
        std::cout << "the rotation set up before was stopped" << std::endl;
    }

    const rot::CRotationFolders& folders = rotation.Folders();
    if (folders.rotation.isEmpty() || !QDir().mkpath(folders.images)) {
        error = "--rotate: the folder " + folders.rotation.toStdString() + " could not be made";
        return false;
    }
    rot::CRotationSetup setup;
    setup.intervalSeconds = interval;
    setup.folders = folders;
    setup.stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    rot::CRotationState state;
    state.source = options.input ? QFileInfo(QString::fromStdString(*options.input)).fileName()
                   : options.preset ? QStringLiteral("preset ") + QString::fromStdString(*options.preset)
                                    : QStringLiteral("the built-in defaults");

    if (*method == rot::EMethod::SystemdTimer) {
        // The document is copied: the timer must not depend on a file that
        // may move or change.
        QString source;
        if (options.input) {
            source = QDir(folders.rotation).filePath(QStringLiteral("source-%1.wpp").arg(setup.stamp));
            const std::vector<uint8_t> bytes = model::SaveWpp(params);
            QSaveFile file(source);
            state.files << source;
            if (!file.open(QIODevice::WriteOnly) ||
                file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) != qint64(bytes.size()) ||
                !file.commit()) {
                error = source.toStdString() + ": " + file.errorString().toStdString();
                QFile::remove(source);
                return false;
            }
        }
        if (rotation.Session().desktop == output::EDesktop::Wlroots) {
            setup.swaybgImage = QDir(folders.rotation).filePath(QStringLiteral("current.png"));
            state.files << setup.swaybgImage;
        }
        setup.tickCommand = TickCommand(QCoreApplication::applicationFilePath(), options, source, setup.swaybgImage);
    } else {
        const uint32_t count = options.count.value_or(kRotationImages);
        const std::vector<uint32_t> seeds = BatchSeeds(options.seed, count, ClockForSeeds());
        state.count = int(count);
        for (uint32_t k = 1; k <= count; ++k) {
            auto tile = std::make_unique<model::CTileParams>(params);
            tile->GenerateRandom(seeds[k - 1]);
            const QString path = QDir(folders.images).filePath(
                QStringLiteral("quorrel-%1-%2.png").arg(setup.stamp).arg(k, 3, 10, QLatin1Char('0')));
            setup.images << path;
            const uint32_t status = output::SaveImage(make(*tile), path);
            if (status != output::kStatusOk) {
                error = path.toStdString() + ": " + output::ErrorMessageText(status).toStdString();
                for (const QString& written : setup.images)
                    QFile::remove(written);
                return false;
            }
        }
    }

    const rot::CRotationOutcome started = Wait([&](rot::RotationDone done) {
        rotation.Start(setup, state, options.fill.has_value(), std::move(done));
    });
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
