#pragma once
// KDE Plasma: one script run by plasmashell over D-Bus, after the file is
// written, sets every desktop's image wallpaper to tiled and to our file.

#include "ProcessRunner.h"
#include "WallpaperSetter.h"

#include <QObject>

namespace quorrel::output {

// A JavaScript string literal of `text`: quotes, backslashes and control
// characters escaped.
QString JsString(const QString& text);

class CPlasmaWallpaperSetter final : public IWallpaperSetter {
public:
    explicit CPlasmaWallpaperSetter(IProcessRunner& runner) : m_runner(runner) {}

    // Nothing before the file is written: clearing the image there would
    // show the default wallpaper until the file is ready.
    bool UsesSessionBus() const override { return true; }
    void Load(const CWallpaperFiles& files, StepDone done) override;

    // Fill mode 3 (tiled), the image cleared and set again in the same
    // script: Plasma does not reload a file whose name it already shows,
    // and nothing is drawn between the two writes.
    static QString Script(const QString& bmp);
    // The call that has plasmashell run `script`: through qdbus where one
    // is installed, else dbus-send.
    static CHelperCall ScriptCall(IProcessRunner& runner, const QString& script);

private:
    IProcessRunner& m_runner;
    QObject m_context;   // last: gone first, so no helper reports to a dead setter
};

} // namespace quorrel::output
