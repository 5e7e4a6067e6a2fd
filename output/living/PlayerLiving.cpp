#include "PlayerLiving.h"

#include "LivingFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorrel::output::living {

namespace {

constexpr int kPollMs = 100;
constexpr int kStartPolls = 50;   // 5 s for the player to say it runs
constexpr int kEndPolls = 30;     // 3 s for it to put the background back and end

// An Exec argument: quoted when it holds anything but plain characters,
// with the characters the entry's own escaping and quoting reserve escaped.
QString ExecArgument(const QString& argument)
{
    static const QString plain =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._-+,:=@");
    bool simple = !argument.isEmpty();
    for (const QChar c : argument)
        simple = simple && plain.contains(c);
    QString text = argument;
    text.replace(u'%', QStringLiteral("%%"));
    if (simple)
        return text;
    QString quoted;
    for (const QChar c : text) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    // The entry's string escaping applies on top: a backslash is written twice.
    quoted.replace(u'\\', QStringLiteral("\\\\"));
    return u'"' + quoted + u'"';
}

bool Alive(int pid) { return pid > 0 && QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)); }

} // namespace

QByteArray AutostartEntry(const QString& player, const QStringList& arguments)
{
    QStringList exec{ExecArgument(player)};
    for (const QString& argument : arguments)
        exec << ExecArgument(argument);
    return QByteArray("[Desktop Entry]\n"
                      "Type=Application\n"
                      "Name=Quorrel living wallpaper\n"
                      "Comment=Plays the living wallpaper made with Quorrel on the desktop's background\n"
                      "Exec=") +
           exec.join(u' ').toUtf8() +
           "\n"
           "NoDisplay=true\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

QStringList PlayerArguments(const QString& framesFile, int fps, const QString& desktop)
{
    // The autostart entry runs in every session the user logs into; the
    // player itself declines one of another desktop.
    return {QStringLiteral("--supervise"), QStringLiteral("--frames"), framesFile, QStringLiteral("--fps"),
            QString::number(fps), QStringLiteral("--desktop"), desktop.isEmpty() ? QStringLiteral("-") : desktop};
}

int CPlayerLiving::RunningPlayer(const QString& folder)
{
    // The pid file is read as hostile: a regular file of a few bytes, not
    // followed through a link.
    const QByteArray path = QFile::encodeName(folder + QStringLiteral("/") + QLatin1String(kPlayerPidName));
    const int fd = open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return 0;
    struct stat info {};
    char text[32] = {};
    ssize_t got = -1;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size < qint64(sizeof text))
        got = read(fd, text, sizeof text - 1);
    close(fd);
    bool ok = false;
    const int pid = got > 0 ? QByteArray(text, int(got)).trimmed().toInt(&ok) : 0;
    if (!ok || pid <= 1)
        return 0;
    // Only our player, run by this user: the process's program and owner.
    const QFileInfo exe(QStringLiteral("/proc/%1/exe").arg(pid));
    struct stat process {};
    if (stat(QFile::encodeName(QStringLiteral("/proc/%1").arg(pid)).constData(), &process) != 0 ||
        process.st_uid != geteuid())
        return 0;
    // A program replaced since it started (an upgrade) reads "NAME (deleted)".
    QString program = QFileInfo(exe.symLinkTarget()).fileName();
    if (program.endsWith(QLatin1String(" (deleted)")))
        program.chop(10);
    if (program != QLatin1String("quorrel-living-player"))
        return 0;
    return pid;
}

void CPlayerLiving::Install(const CLivingSetup& setup, CLivingState& state, StepDone done)
{
    // The player tries the window system and the loop once and says why it
    // cannot play, before anything is changed.
    const QStringList arguments = PlayerArguments(setup.framesFile, setup.fps, setup.desktopName);
    const CHelperCall check{setup.player,
                            {QStringLiteral("--check"), QStringLiteral("--frames"), setup.framesFile}};
    RunInTurn(m_runner, &m_context, {check}, [this, setup, arguments, &state, done = std::move(done)](
                                                 const CStepOutcome& checked) {
        if (!checked.Ok()) {
            done(checked);
            return;
        }
        state.autostart = true;
        QString error;
        if (!setup.saveState(error)) {
            done({checked.tried, error});
            return;
        }
        const QFileInfo entry(setup.autostart);
        std::string reason;
        const QByteArray text = AutostartEntry(setup.player, arguments);
        if (!QDir().mkpath(entry.path()) ||
            !WriteLivingFile(QFile::encodeName(entry.path()).toStdString(),
                             QFile::encodeName(entry.fileName()).toStdString(),
                             std::span(reinterpret_cast<const uint8_t*>(text.constData()), std::size_t(text.size())),
                             reason)) {
            done({checked.tried, QStringLiteral("the autostart entry %1 could not be written: %2")
                                     .arg(setup.autostart, QString::fromStdString(reason))});
            return;
        }
        QStringList tried = checked.tried;
        tried << CommandLine({setup.player, arguments});
        if (!QProcess::startDetached(setup.player, arguments)) {
            done({tried, QStringLiteral("%1 could not be started").arg(setup.player)});
            return;
        }
        AwaitStart(setup, tried, kStartPolls, std::move(done));
    });
}

void CPlayerLiving::AwaitStart(const CLivingSetup& setup, QStringList tried, int pollsLeft, StepDone done)
{
    if (RunningPlayer(setup.folder) > 0) {
        done({tried, {}});
        return;
    }
    if (pollsLeft <= 0) {
        done({tried, QStringLiteral("the player did not start within %1 s").arg(kStartPolls * kPollMs / 1000)});
        return;
    }
    QTimer::singleShot(kPollMs, &m_context, [this, setup, tried = std::move(tried), pollsLeft, done = std::move(done)] {
        AwaitStart(setup, tried, pollsLeft - 1, done);
    });
}

void CPlayerLiving::Remove(const CLivingSetup& setup, const CLivingState& state, StepDone done)
{
    QStringList tried;
    QString problem;
    // The entry first: a session starting now must not bring the player back.
    if (state.autostart && QFileInfo::exists(setup.autostart) && !QFile::remove(setup.autostart))
        problem = QStringLiteral("the autostart entry %1 could not be removed").arg(setup.autostart);
    // Once the player is gone: on X11 the root's background before, on
    // wlroots the swaybg it stopped (when it could not start it itself).
    if (!setup.player.isEmpty()) {
        done = [this, setup, done = std::move(done)](const CStepOutcome& stopped) {
            const CHelperCall restore{setup.player,
                                      {QStringLiteral("--restore"), QStringLiteral("--frames"), setup.framesFile}};
            RunInTurn(m_runner, &m_context, {restore}, [stopped, done](const CStepOutcome& restored) {
                // Without a display here (off from another session) there is nothing to put back.
                done({stopped.tried + restored.tried, stopped.problem});
            });
        };
    }
    const int pid = RunningPlayer(setup.folder);
    if (pid <= 0) {
        done({tried, problem});
        return;
    }
    tried << QStringLiteral("kill -TERM %1").arg(pid);
    if (kill(pid, SIGTERM) != 0) {
        done({tried, problem.isEmpty() ? QStringLiteral("the player (process %1) could not be stopped").arg(pid)
                                       : problem});
        return;
    }
    AwaitEnd(pid, tried, problem, kEndPolls, std::move(done));
}

void CPlayerLiving::AwaitEnd(int pid, QStringList tried, QString problem, int pollsLeft, StepDone done)
{
    if (!Alive(pid) || pollsLeft <= 0) {
        if (Alive(pid) && problem.isEmpty())
            problem = QStringLiteral("the player (process %1) did not stop within %2 s").arg(pid).arg(kEndPolls / 10);
        done({tried, problem});
        return;
    }
    QTimer::singleShot(kPollMs, &m_context,
                       [this, pid, tried = std::move(tried), problem = std::move(problem), pollsLeft,
                        done = std::move(done)] { AwaitEnd(pid, tried, problem, pollsLeft - 1, done); });
}

} // namespace quorrel::output::living
