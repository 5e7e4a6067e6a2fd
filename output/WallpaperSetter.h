#pragma once
// Makes a desktop show the wallpaper file tiled. Setting a wallpaper runs in
// three steps: SetTiledMode, then the file is written, then Load, so the
// desktop never shows the new file in its old placement. The steps never
// wait: each reports through its callback when its helpers are done.

#include "ProcessRunner.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace quorrel::output {

struct CWallpaperFiles {
    QString bmp;      // "Quorrel Wallpaper.bmp"
    QString png;      // the same tile beside it, for setters that cannot read BMP
    QString screen;   // the tile repeated to the screen's size, for setters that cannot tile
};

// What one step came to: the helper calls it made and, when it failed, why.
struct CStepOutcome {
    QStringList tried;   // command lines, as a person would type them
    QString problem;     // empty: it worked

    bool Ok() const { return problem.isEmpty(); }
};

using StepDone = std::function<void(const CStepOutcome&)>;

class IWallpaperSetter {
public:
    virtual ~IWallpaperSetter() = default;
    // Whether Load needs files.png written as well.
    virtual bool NeedsPng() const { return false; }
    // Whether Load needs files.screen written as well.
    virtual bool NeedsScreenImage() const { return false; }
    // Whether the wallpaper shows only while a program this setter started
    // keeps running, which ends with this process.
    virtual bool EndsWithProcess() const { return false; }
    // Whether its steps talk to the session bus (directly or through the
    // helpers they run): a bus that does not answer fails them at once.
    virtual bool UsesSessionBus() const { return false; }
    // Each step calls `done` once, from the event loop or before it returns.
    virtual void SetTiledMode(StepDone done) { done({}); }
    // Makes the desktop load the file, also when its name is the one it
    // already shows.
    virtual void Load(const CWallpaperFiles& files, StepDone done) = 0;
};

struct CHelperCall {
    QString program;
    QStringList arguments;
    bool optional = false;   // its failure does not stop the chain
    // A helper that reports a failure it does not show in its exit code
    // (gsettings when its settings could not be stored): anything it writes
    // on standard error counts as a failure.
    bool quietWhenDone = false;
};

// The call as a command line for a report: arguments with blanks or quotes
// in single quotes, very long ones shortened.
QString CommandLine(const CHelperCall& call);

// Runs the calls one after another and stops at the first that fails;
// `done` gets every call made. `context` ends the chain when destroyed.
void RunInTurn(IProcessRunner& runner, QObject* context, QList<CHelperCall> calls, StepDone done,
               CStepOutcome soFar = {});

// A GVariant text literal for gsettings: 'text' with ' and \ escaped.
QString GVariantString(const QString& text);

// The file URL of a local path, as desktops store it ("file:///a/b%20c.bmp").
QString FileUrl(const QString& path);

} // namespace quorrel::output
