#pragma once
// A wallpaper that changes by itself, without the editor: the rotation's
// writer chosen for this session's desktop, its images and state under
// $XDG_DATA_HOME/quorrel/rotation/, and the way back (off puts the previous
// settings back and removes every file and unit it wrote). The one home of
// the rotation, used in-process by quorrel-render --rotate and the editor's
// Desktop Rotation dialog: both prepare, replace and stop a rotation the
// same way. Nothing here blocks the caller's thread: images are rendered on
// a worker, the desktop's helpers run in the background, and the result
// comes through a callback from the event loop.
//
// The state file is a journal written before anything changes, so a set-up
// killed at any step is undone by off or replaced by the next set-up, and a
// failed off keeps it until the settings are really back.

#include "RotationState.h"
#include "RotationWriter.h"

#include "model/TileParams.h"
#include "output/DesktopDetection.h"
#include "output/ProcessRunner.h"

#include <QImage>
#include <QObject>
#include <QProcessEnvironment>

#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <optional>

namespace quorrel::output::rotation {

class CRotationFiles;

// Images of a slide show when none are asked for.
inline constexpr int kRotationImages = 8;

// What starting or stopping came to: what was tried and, on failure, why,
// with the desktop named.
struct CRotationOutcome {
    QStringList tried;
    QString problem;   // empty: it worked
    QStringList notes; // things to know that are no failure (a setting that cannot be put back)

    bool Ok() const { return problem.isEmpty(); }
};

using RotationDone = std::function<void(const CRotationOutcome&)>;
// Renders one image of the rotation from a generated set; called on a worker
// thread. A null image is a failure.
using RotationRender = std::function<QImage(const model::CTileParams& params)>;

// What a rotation is made of.
struct CRotationRequest {
    model::CTileParams params;   // the source, loaded
    QString source;              // for people: "preset ocean", the document's name
    QStringList tickSource;      // how the timer names the source: {"--preset", "ocean"}, or none
    bool fromDocument = false;   // the timer renders from a copy of `params`
    int intervalSeconds = 0;
    std::optional<int> count;    // images of a slide show (kRotationImages when not given)
    std::optional<uint32_t> seed;   // of the first image; the rest follow
    bool filled = false;         // screen-sized images (the portal's desktops need them)
    bool randomOrder = false;    // shuffled, where the desktop's slide show can
    QStringList tickOptions;     // the timer's rendering options (--size, --continuous, ...)
    QString program;             // quorrel-render, absolute, for the timer
    RotationRender render;
};

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
    // Whether this desktop's own slide show can show the images in a random order.
    static bool CanShuffle(EMethod method);

    // The rotation's state now (installed or interrupted half-way): nothing
    // with `error` empty when there is none, nothing with `error` set when
    // its folder or state file cannot be used.
    std::optional<CRotationState> Installed(QString& error) const;

    // Sets a rotation up from `request`: renders its images (or copies the
    // document for the timer), and makes the desktop show them. A rotation
    // set up already, or one interrupted half-way, is taken down first (said
    // in the outcome's notes). On failure, whatever was done is undone.
    void Begin(CRotationRequest request, RotationDone done);
    // Takes the rotation down (or undoes one interrupted half-way). With
    // none, done at once. When the desktop does not take its settings back,
    // the rotation stays recorded, so off can be tried again.
    void Stop(RotationDone done);
    // Asks a Begin still rendering to stop; it then fails, undone.
    void Cancel() { m_cancel = true; }

    // What is running, in a few lines for people, or "no rotation is set up".
    // Says so when it was set up on another desktop or session type, or
    // when a set-up was interrupted.
    QString Status() const;
    // One line when `state` was set up for another desktop or session type
    // than this one; empty otherwise.
    QString Mismatch(const CRotationState& state) const;

    QString StatePath() const;

    // The timer's command: the program, the source, the rendering options,
    // then what sets the wallpaper (or the image a swaybg shows).
    static QStringList TickCommand(const QString& program, const QStringList& source, const QStringList& options,
                                   const QString& swaybgImage);

private:
    std::unique_ptr<IRotationWriter> Writer(EMethod method, EDesktop desktop) const;
    void Prepare(std::shared_ptr<CRotationRequest> request, EMethod method, QStringList notes);
    void Install(std::shared_ptr<CRotationRequest> request, CRotationSetup setup, QStringList notes);
    // Takes down whatever is recorded; `done` hears whether it is gone.
    void TakeDown(std::function<void(CRotationOutcome)> done);
    void Finish(CRotationOutcome outcome);
    bool OursOrUnit(const QString& path) const;
    QString Where() const;   // "GNOME (ubuntu:GNOME), X11"

    std::unique_ptr<IProcessRunner> m_ownRunner;
    IProcessRunner& m_runner;
    CDesktopSession m_session;
    CRotationFolders m_folders;
    std::unique_ptr<CRotationFiles> m_files;   // open while starting or stopping
    CRotationState m_state;   // the one being started or stopped
    std::unique_ptr<IRotationWriter> m_writer;
    RotationDone m_done;
    std::future<void> m_rendering;
    std::atomic<bool> m_cancel = false;
    QObject m_context;   // last: gone first, so nothing reports to a dead object
};

// The one line for a rotation that failed to start or stop.
QString RotationFailureLine(const QString& doing, const CDesktopSession& session, const CRotationOutcome& outcome);

} // namespace quorrel::output::rotation
