#pragma once
// One way a desktop rotates its wallpaper by itself. A writer sets the
// rotation up from prepared images (or from the command a timer runs),
// recording the settings it replaces and the files it writes in the state,
// and takes it down again from that state, putting the settings back. Like
// the wallpaper setters, nothing here waits: each step reports through its
// callback when its helpers are done.

#include "RotationState.h"

#include "output/ProcessRunner.h"
#include "output/WallpaperSetter.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace quorrel::output::rotation {

struct CRotationFolders {
    QString dataHome;   // $XDG_DATA_HOME, as the environment names it
    QString configHome; // $XDG_CONFIG_HOME
    QString rotation;   // $XDG_DATA_HOME/quorrel/rotation
    QString images;     // its images/ folder: only the rotation's images
    QString units;      // $XDG_CONFIG_HOME/systemd/user
};

class CRotationFiles;

struct CRotationSetup {
    int intervalSeconds = 0;
    QStringList images;        // the prepared images, in the images folder
    QStringList tickCommand;   // for a timer: the absolute program and its arguments
    QString swaybgImage;       // for a timer on wlroots: the image its swaybg shows
    QString stamp;             // part of the names of the files written, new at each set-up
    bool randomOrder = false;  // where the desktop's slide show can shuffle
    CRotationFolders folders;
    const CRotationFiles* files = nullptr;   // the rotation's own folder, written without following links
};

// Called by a writer once state.previous and state.files hold what it is
// about to replace and write, and before it changes anything: writes the
// journal. False (with the reason) stops the set-up before any change.
using JournalStep = std::function<bool(QString& error)>;

class IRotationWriter {
public:
    virtual ~IRotationWriter() = default;
    virtual EMethod Method() const = 0;
    // Whether Install needs the images prepared (otherwise the tick command).
    virtual bool NeedsImages() const { return true; }
    // Reads what it is about to replace into state.previous and names every
    // file it will write in state.files, calls `journal`, and only then
    // changes the desktop's settings; reports after reading them back.
    virtual void Install(const CRotationSetup& setup, CRotationState& state, JournalStep journal, StepDone done) = 0;
    // Puts back the settings of state.previous; tries every one and reports
    // the first failure, read back where the desktop allows: a setting the
    // desktop did not store is a failure.
    virtual void Remove(const CRotationState& state, StepDone done) = 0;
};

// Runs every call in turn, whatever each comes to, and gives their results
// in order with the command lines tried.
using ResultsDone = std::function<void(const QList<CProcessResult>& results, const QStringList& tried)>;
void CollectInTurn(IProcessRunner& runner, QObject* context, QList<CHelperCall> calls, ResultsDone done,
                   QList<CProcessResult> soFar = {}, QStringList tried = {});

// The outcome of calls run by CollectInTurn: the first failure as its problem.
CStepOutcome FirstFailure(IProcessRunner& runner, const QList<CHelperCall>& calls,
                          const QList<CProcessResult>& results, const QStringList& tried);

// Writes `text` as a new file `path` in a folder of the user's (units): never
// through a link and never over a file that is there already. False with
// the reason in `error`.
bool WriteNewFile(const QString& path, const QByteArray& text, QString& error);

} // namespace quorrel::output::rotation
