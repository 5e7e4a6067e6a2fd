#pragma once
// A wallpaper that changes by itself, without the editor: the rotation's
// writer chosen for this session's desktop, its images and state under
// $XDG_DATA_HOME/quorrel/rotation/, and the way back (off puts the previous
// settings back and removes every file and unit it wrote). Used by
// quorrel-render --rotate and the editor's Desktop Rotation dialog. Nothing
// here waits: the result comes through a callback from the event loop.

#include "RotationState.h"
#include "RotationWriter.h"

#include "output/DesktopDetection.h"
#include "output/ProcessRunner.h"

#include <QObject>
#include <QProcessEnvironment>

#include <memory>
#include <optional>

namespace quorrel::output::rotation {

// What starting or stopping came to: what was tried and, on failure, why,
// with the desktop named.
struct CRotationOutcome {
    QStringList tried;
    QString problem;   // empty: it worked
    QStringList notes; // things to know that are no failure (a setting that cannot be put back)

    bool Ok() const { return problem.isEmpty(); }
};

using RotationDone = std::function<void(const CRotationOutcome&)>;

class CDesktopRotation final {
public:
    // This session: its environment, helpers run by a CProcessRunner.
    CDesktopRotation();
    // For tests: the helpers run by `runner`, session and folders from `environment`.
    CDesktopRotation(IProcessRunner& runner, const QProcessEnvironment& environment);
    ~CDesktopRotation();

    static CRotationFolders Folders(const QProcessEnvironment& environment);
    const CRotationFolders& Folders() const { return m_folders; }
    const CDesktopSession& Session() const { return m_session; }

    // How this desktop rotates; nothing, with the reason naming the desktop,
    // when it cannot. `filled`: the images are screen-sized (--fill), which
    // the portal's desktops need.
    std::optional<EMethod> Method(bool filled, QString& why) const;

    // The rotation set up now: nothing with `error` empty when there is none,
    // nothing with `error` set when its state file is unreadable.
    std::optional<CRotationState> Installed(QString& error) const;

    // Sets a rotation up: `state` carries the source, count and interval;
    // `setup` the images (native methods) or the tick command (timer). A
    // rotation already set up is refused: stop it first. On failure,
    // whatever was done is undone.
    void Start(const CRotationSetup& setup, CRotationState state, bool filled, RotationDone done);
    // Takes the installed rotation down. With none, done at once.
    void Stop(RotationDone done);

    // What is running, in a few lines for people, or "no rotation is set up".
    // Says so when it was set up on another desktop or session type.
    QString Status() const;
    // One line when `state` was set up for another desktop or session type
    // than this one; empty otherwise.
    QString Mismatch(const CRotationState& state) const;

    QString StatePath() const;

private:
    std::unique_ptr<IRotationWriter> Writer(EMethod method) const;
    void Finish(CRotationOutcome outcome, bool removeState);
    void DeleteFiles(const CRotationState& state) const;
    bool Ours(const QString& path) const;
    QString Where() const;   // "GNOME (ubuntu:GNOME), X11"

    std::unique_ptr<IProcessRunner> m_ownRunner;
    IProcessRunner& m_runner;
    CDesktopSession m_session;
    CRotationFolders m_folders;
    CRotationState m_state;   // the one being started or stopped
    std::unique_ptr<IRotationWriter> m_writer;
    RotationDone m_done;
    QObject m_context;   // last: gone first, so nothing reports to a dead object
};

// The one line for a rotation that failed to start or stop.
QString RotationFailureLine(const QString& doing, const CDesktopSession& session, const CRotationOutcome& outcome);

} // namespace quorrel::output::rotation
