#pragma once
// wlroots compositors other than sway: a swaybg of our own, tiled, on every
// output. It is kept as a child process object: a new one starts on the PNG,
// and only once it runs is the one before it ended, so the desktop never
// goes blank and no daemons pile up. The last one ends with the setter (when
// the editor exits) and, on Linux, with the editor's process even when that
// crashes.

#include "ProcessRunner.h"
#include "WallpaperSetter.h"

#include <QObject>

#include <memory>

namespace quorrel::output {

class CSwaybgWallpaperSetter final : public IWallpaperSetter {
public:
    explicit CSwaybgWallpaperSetter(IProcessRunner& runner) : m_runner(runner) {}

    bool NeedsPng() const override { return true; }
    // Our swaybg ends when we do.
    bool EndsWithProcess() const override { return true; }
    void Load(const CWallpaperFiles& files, StepDone done) override;

    // The swaybg now showing the wallpaper, if any.
    const IChildProcess* Current() const { return m_current.get(); }

private:
    IProcessRunner& m_runner;
    std::unique_ptr<IChildProcess> m_current;
    std::unique_ptr<IChildProcess> m_starting;
    QObject m_context;   // last: gone first, so no start reports to a dead setter
};

} // namespace quorrel::output
