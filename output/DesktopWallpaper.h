#pragma once
// Set As Wallpaper: writes the tile to "Quorrel Wallpaper.bmp" in the user's
// data folder and makes the running desktop show it tiled.

#include "DesktopDetection.h"
#include "ProcessRunner.h"
#include "WallpaperSetter.h"

#include <QProcessEnvironment>
#include <QString>

#include <cstdint>
#include <memory>

class QImage;

namespace quorrel::output {

// The setter for a desktop, or nullptr where none applies. Picks among
// helpers by what `runner` finds on PATH (feh before xwallpaper).
std::unique_ptr<IWallpaperSetter> MakeWallpaperSetter(EDesktop desktop, IProcessRunner& runner);

// One for the application: it remembers what it started (a swaybg) so the
// next call can end it.
class CDesktopWallpaper final {
public:
    // This session's desktop, its helpers run by a CProcessRunner, the file in
    // the application's per-user data folder.
    CDesktopWallpaper();
    // `folder` empty: the application's per-user data folder.
    explicit CDesktopWallpaper(IProcessRunner& runner,
                               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
                               const QString& folder = {});
    ~CDesktopWallpaper();

    static QString DefaultFolder();   // QStandardPaths::AppDataLocation

    EDesktop Desktop() const { return m_desktop; }
    CWallpaperFiles Files() const;

    // Tiled mode first, then the file (and the PNG beside it where the
    // setter needs one), then the call that makes the desktop load it. The
    // desktop is asked to load the file even when writing it failed: it
    // then shows whatever file is there. Returns SaveImage's status; a
    // failure is the caller's to report.
    uint32_t Set(const QImage& tile);

private:
    std::unique_ptr<IProcessRunner> m_ownRunner;
    EDesktop m_desktop;
    QString m_folder;   // empty: DefaultFolder()
    std::unique_ptr<IWallpaperSetter> m_setter;
};

} // namespace quorrel::output
