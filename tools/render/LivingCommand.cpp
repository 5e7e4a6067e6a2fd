#include "LivingCommand.h"

#include "AnimateRun.h"
#include "OutputNames.h"
#include "ProgressBar.h"
#include "RenderThreads.h"

#include "output/living/DesktopLiving.h"
#include "output/living/LivingStarter.h"
#include "output/rotation/DesktopRotation.h"
#include "output/rotation/RotationInterval.h"

#include <QEventLoop>

#include <iostream>
#include <unistd.h>

namespace quorrel::tools {

namespace liv = output::living;
namespace rot = output::rotation;

namespace {

// Slow living's pace without --period.
constexpr int kDefaultPeriodSeconds = 3600;

template <typename Outcome, typename Done>
Outcome Wait(const std::function<void(Done)>& start)
{
    QEventLoop loop;
    Outcome outcome;
    start([&](const Outcome& answer) {
        outcome = answer;
        loop.quit();
    });
    loop.exec();
    return outcome;
}

bool StopLiving(liv::CDesktopLiving& living, std::string& error)
{
    const auto stopped = Wait<liv::CLivingOutcome, liv::LivingDone>(
        [&](liv::LivingDone done) { living.Stop(std::move(done)); });
    if (!stopped.Ok()) {
        error = liv::LivingFailureLine(QStringLiteral("--living off"), living.Where(), stopped).toStdString();
        return false;
    }
    return true;
}

} // namespace

bool ParseLivingArgument(const std::string& arg, const std::function<bool(std::string&)>& value,
                         RenderOptions& options, std::string& error)
{
    if (arg != "--living" && arg != "--period")
        return false;
    std::string v;
    if (!value(v))
        return true;
    if (arg == "--living") {
        if (v != "off" && v != "status")
            error = "--living takes off or status, not '" + EchoedArgument(v) + "'";
        options.living = v;
        return true;
    }
    QString reason;
    const std::optional<int> seconds = rot::ParseInterval(QString::fromStdString(v), reason);
    if (!seconds || *seconds < liv::kShortestPeriodSeconds || *seconds > liv::kLongestPeriodSeconds) {
        error = "--period takes slow living's pace from 10m to 1d (30m, 2h, 1h30m), not '" + EchoedArgument(v) + "'";
        return true;
    }
    options.periodSeconds = *seconds;
    return true;
}

bool LivingRun(const RenderOptions& options)
{
    return options.living.has_value() || (options.animate.Active() && options.setWallpaper);
}

std::string CheckLivingCombination(const RenderOptions& options)
{
    if (options.living) {
        if (options.animate.Active() || options.setWallpaper || options.output || options.saveWpp ||
            options.rotate || options.input || options.preset || options.generate || options.periodSeconds)
            return "--living " + *options.living + " takes no other options";
        return {};
    }
    if (options.periodSeconds && !(options.animate.Active() && options.setWallpaper))
        return "--period only applies with --animate and --set-wallpaper";
    if (options.animate.Active() && options.setWallpaper && options.fill)
        return "a living wallpaper repeats the tile itself: --fill does not apply with --set-wallpaper";
    return {};
}

bool StopLivingForRotation(std::string& error)
{
    liv::CDesktopLiving living;
    QString problem;
    if (!living.Installed(problem) && problem.isEmpty())
        return true;
    if (!StopLiving(living, error))
        return false;
    std::cout << "the living wallpaper was stopped: a rotation replaces it" << std::endl;
    return true;
}

bool RunLiving(const RenderOptions& options, const model::CTileParams& input, const std::string& inputName,
               std::string& error)
{
    liv::CDesktopLiving living;
    if (options.living == "status") {
        std::cout << living.Status().toStdString() << std::endl;
        return true;
    }
    QString problem;
    const bool installed = living.Installed(problem).has_value();
    if (options.living == "off") {
        if (!StopLiving(living, error))
            return false;
        std::cout << (installed ? "living wallpaper stopped: the previous wallpaper is back, its files and autostart "
                                  "entry removed"
                                : "no living wallpaper was set up")
                  << std::endl;
        return true;
    }

    const uint32_t seed = options.seed ? *options.seed : BatchSeeds(std::nullopt, 1, ClockForSeeds())[0];
    const auto loop = MakeAnimationLoop(options, input, inputName, seed, error);
    if (!loop)
        return false;
    RenderOptions continuous = options;
    continuous.continuous = true;
    const uint32_t scale = continuous.ScaleToUse();
    liv::CLivingRequest request;
    request.loop = loop.get();
    request.size.width = (options.size ? options.size->first : input.m_nWidth) * scale;
    request.size.height = (options.size ? options.size->second : input.m_nHeight) * scale;
    request.size.threads = ThreadsToUse(options.threads, UsableProcessors());
    request.fps = int(options.animate.Fps());
    request.periodSeconds = options.periodSeconds.value_or(kDefaultPeriodSeconds);
    request.source = QString::fromStdString(inputName);
    CProgressBar bar(stderr, !options.quiet && isatty(STDERR_FILENO), 1);
    bar.Start(1);
    request.progress = [&bar](int percent) { bar.Update(percent); };

    rot::CDesktopRotation rotation;
    liv::CLivingStarter starter(living, rotation);
    QEventLoop wait;
    liv::CLivingOutcome started;
    QStringList said;
    starter.Start(request, [&](const liv::CLivingOutcome& outcome, const QStringList& lines) {
        started = outcome;
        said = lines;
        wait.quit();
    });
    wait.exec();
    bar.Complete();
    bar.Finish();
    for (const QString& line : said)
        std::cout << line.toStdString() << std::endl;
    if (!started.Ok()) {
        error = liv::LivingFailureLine(QStringLiteral("--set-wallpaper"), living.Where(), started).toStdString();
        return false;
    }
    QString how;
    if (const auto state = living.Installed(how))
        std::cout << "living wallpaper on " << living.Where().toStdString() << ": "
                  << liv::WayName(state->way).toStdString() << std::endl;
    std::cout << living.Status().toStdString() << std::endl;
    if (!options.seed && options.animate.morph.empty())
        std::cout << "seed " << seed << std::endl;
    return true;
}

std::string LivingUsage()
{
    return R"(
The living wallpaper on the desktop itself:
  --animate SECONDS --set-wallpaper
                      make the loop the desktop's moving wallpaper, the way
                      the desktop allows: on X11 window managers (i3,
                      openbox, plain X) and wlroots compositors (sway)
                      Quorrel's player, from now and at every login, at
                      --fps; on GNOME, Cinnamon and MATE (slide show) and
                      XFCE (its own cycling) slow living, frames of the loop
                      following each other over --period. A rotation set up
                      before is stopped
  --period INTERVAL   slow living's pace: once through the loop in INTERVAL
                      (10m..1d, default 1h)
  --living status     say what is set up and whether the player runs
  --living off        stop it: the previous wallpaper and settings put back,
                      its files and autostart entry removed
  Files live in $XDG_DATA_HOME/quorrel/living/, the autostart entry in
  $XDG_CONFIG_HOME/autostart/; nothing is written elsewhere.

  quorrel-render --preset ocean --animate 8 --fps 30 --set-wallpaper
)";
}

} // namespace quorrel::tools
