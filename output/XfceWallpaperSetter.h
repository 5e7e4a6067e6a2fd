#pragma once
// XFCE: xfdesktop keeps one backdrop a monitor and workspace in the
// xfce4-desktop channel of xfconf; every one gets the tiled style and our
// file.

#include "ProcessRunner.h"
#include "WallpaperSetter.h"

#include <QStringList>

namespace quorrel::output {

class CXfceWallpaperSetter final : public IWallpaperSetter {
public:
    explicit CXfceWallpaperSetter(IProcessRunner& runner) : m_runner(runner) {}

    // image-style 2 (tiled) on every backdrop.
    void SetTiledMode() override;
    // last-image reset, then set: xfdesktop ignores a value that does not
    // change, so the same file name would not reload.
    void Load(const CWallpaperFiles& files) override;

private:
    // "/backdrop/screen0/monitorHDMI-1/workspace0", ... from the channel's
    // property list; one default backdrop when it lists none.
    QStringList Backdrops();
    void Query(const QStringList& arguments);

    IProcessRunner& m_runner;
    QStringList m_backdrops;
};

} // namespace quorrel::output
