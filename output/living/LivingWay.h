#pragma once
// One way a desktop shows a moving wallpaper. A way sets the living
// wallpaper up from the prepared loop (the player's frames file, or the
// slides of slow living), recording in the state what it replaces and
// saving the state before it changes anything, and takes it down again
// from that state. Like the rotation's writers nothing here waits: each
// step reports through its callback.

#include "LivingState.h"

#include "output/ProcessRunner.h"
#include "output/WallpaperSetter.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace quorrel::output::living {

struct CLivingSetup {
    QString folder;        // $XDG_DATA_HOME/quorrel/living
    QString autostart;     // $XDG_CONFIG_HOME/autostart/quorrel-living.desktop
    QString framesFile;    // the player's loop (absolute, in the folder)
    QStringList slides;    // slow living: the slides (absolute, in the folder's slides/)
    QString player;        // quorrel-living-player (absolute)
    int fps = 0;
    int periodSeconds = 0;
    // Writes the state as it is now; false with the reason. A way calls it
    // after reading the settings it replaces and before changing any.
    std::function<bool(QString& error)> saveState;
};

class ILivingWay {
public:
    virtual ~ILivingWay() = default;
    virtual EWay Way() const = 0;
    virtual void Install(const CLivingSetup& setup, CLivingState& state, StepDone done) = 0;
    // Puts back what state.previous names and stops what runs; tries every
    // step and reports the first failure.
    virtual void Remove(const CLivingSetup& setup, const CLivingState& state, StepDone done) = 0;
};

// The autostart entry that starts the player with the session.
QByteArray AutostartEntry(const QString& player, const QStringList& arguments);
// The player's arguments for a frames file at `fps`.
QStringList PlayerArguments(const QString& framesFile, int fps);

} // namespace quorrel::output::living
