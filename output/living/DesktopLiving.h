#pragma once
// A moving wallpaper on the desktop itself: the way this session's desktop
// can show one, its files and state under $XDG_DATA_HOME/quorrel/living/,
// and the way back (off stops what runs, puts the previous settings back
// and removes every file and entry it wrote). Used by quorrel-render
// --animate --set-wallpaper / --living and by the editor. Nothing here
// waits: the result comes through a callback from the event loop.

#include "LivingState.h"
#include "LivingWay.h"

#include "output/DesktopDetection.h"
#include "output/ProcessRunner.h"

#include <QObject>
#include <QProcessEnvironment>

#include <memory>
#include <optional>

namespace quorrel::output::living {

struct CLivingOutcome {
    QStringList tried;
    QString problem;   // empty: it worked
    QStringList notes;

    bool Ok() const { return problem.isEmpty(); }
};

using LivingDone = std::function<void(const CLivingOutcome&)>;

class CDesktopLiving final {
public:
    CDesktopLiving();
    // For tests: helpers run by `runner`, session and folders from `environment`.
    CDesktopLiving(IProcessRunner& runner, const QProcessEnvironment& environment);
    ~CDesktopLiving();

    const CDesktopSession& Session() const { return m_session; }
    QString Folder() const { return m_folder; }          // empty without HOME or XDG_DATA_HOME
    QString SlidesFolder() const;
    QString FramesPath() const;
    QString StatePath() const;
    QString AutostartPath() const { return m_autostart; }
    // The player program: beside this program, else on PATH.
    static QString PlayerProgram();

    // How this desktop shows a moving wallpaper; nothing with the reason,
    // naming the desktop and what it cannot do.
    std::optional<EWay> Way(QString& why) const;
    static bool SlowLiving(EWay way) { return way == EWay::SlideShowXml || way == EWay::XfceCycle; }

    // Makes the living folder (and its slides folder); false with the reason.
    bool PrepareFolder(QString& error) const;
    // Removes a prepared loop or slides that were never set up (when no
    // state names them).
    void DiscardPrepared() const;

    // The living wallpaper set up now: nothing with `error` empty when there
    // is none; nothing with `error` set when its state cannot be read.
    std::optional<CLivingState> Installed(QString& error) const;

    // Sets it up from the prepared frames file or slides; `state` carries
    // the source and the loop's size. One already set up is refused: stop
    // it first. On failure, whatever was done is undone.
    void Start(CLivingSetup setup, CLivingState state, LivingDone done);
    void Stop(LivingDone done);

    // What runs and how, in a few lines, or "no living wallpaper is set up".
    QString Status() const;
    QString Where() const;   // "GNOME (GNOME), X11"

private:
    std::unique_ptr<ILivingWay> MakeWay(EWay way, EDesktop desktop) const;
    CLivingSetup BaseSetup() const;
    bool SaveState(QString& error) const;
    void DeleteFiles(const CLivingState& state) const;
    void Finish(CLivingOutcome outcome, bool removeFiles);

    std::unique_ptr<IProcessRunner> m_ownRunner;
    IProcessRunner& m_runner;
    CDesktopSession m_session;
    QString m_folder;
    QString m_autostart;
    CLivingState m_state;
    std::unique_ptr<ILivingWay> m_way;
    LivingDone m_done;
    QObject m_context;   // last: gone first
};

// The one line for a living wallpaper that failed to start or stop.
QString LivingFailureLine(const QString& doing, const CLivingOutcome& outcome);

} // namespace quorrel::output::living
