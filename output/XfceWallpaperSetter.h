#pragma once
// XFCE: xfdesktop keeps one backdrop a monitor and workspace in the
// xfce4-desktop channel of xfconf; every one gets the tiled style and our
// file.

#include "ProcessRunner.h"
#include "WallpaperSetter.h"

#include <QObject>
#include <QStringList>

namespace quorrel::output {

class CXfceWallpaperSetter final : public IWallpaperSetter {
public:
    explicit CXfceWallpaperSetter(IProcessRunner& runner) : m_runner(runner) {}

    // The backdrops listed afresh, then image-style 2 (tiled) on each.
    bool UsesSessionBus() const override { return true; }
    void SetTiledMode(StepDone done) override;
    // last-image reset, then set: xfdesktop ignores a value that does not
    // change, so the same file name would not reload.
    void Load(const CWallpaperFiles& files, StepDone done) override;

    // "/backdrop/screen0/monitorHDMI-1/workspace0", ... from the channel's
    // property list; one default backdrop when it lists none.
    static QStringList Backdrops(const QByteArray& propertyList);

private:
    CHelperCall Query(const QStringList& arguments) const;

    IProcessRunner& m_runner;
    QStringList m_backdrops;
    QObject m_context;   // last: gone first, so no helper reports to a dead setter
};

} // namespace quorrel::output
