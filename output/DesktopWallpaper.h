#pragma once
// Set As Wallpaper: writes the tile to "Quorrel Wallpaper.bmp" in the user's
// data folder and makes the running desktop show it tiled. Nothing here
// waits: the desktop's helpers run in the background and the result comes
// back as data through a callback, so it serves the editor and programs
// without windows alike (both need a running event loop).

#include "DesktopDetection.h"
#include "ProcessRunner.h"
#include "WallpaperResult.h"
#include "WallpaperSetter.h"

#include <QDBusConnection>
#include <QImage>
#include <QObject>
#include <QProcessEnvironment>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace quorrel::output {

struct CWallpaperRequest {
    QImage tile;
    // The screen in device pixels, for setters that cannot tile: they get
    // the tile repeated to this size.
    QSize screen;
};

using WallpaperDone = std::function<void(const CWallpaperResult&)>;

// One for the application: it keeps what its setter started (a swaybg)
// until the next call or its own end.
class CDesktopWallpaper final {
public:
    // This session's desktop, its helpers run by a CProcessRunner, the
    // portal on the session bus. `folder` empty: the application's per-user
    // data folder.
    explicit CDesktopWallpaper(const QString& folder = {});
    // For tests: the helpers run by `runner`, the desktop detected from
    // `environment`, the portal on `bus` (by default none).
    CDesktopWallpaper(IProcessRunner& runner, const QProcessEnvironment& environment, const QString& folder = {},
                      const QDBusConnection& bus = QDBusConnection(QString()));
    ~CDesktopWallpaper();

    static QString DefaultFolder();   // QStandardPaths::AppDataLocation

    EDesktop Desktop() const { return m_session.desktop; }
    const CDesktopSession& Session() const { return m_session; }
    CWallpaperFiles Files() const;

    // Tiled mode first, then the file (and the PNG or screen-sized image
    // beside it where the setter needs one), then the call that makes the
    // desktop load it. The desktop is asked to load the file even when an
    // earlier step failed. Returns at once; `done` is called once, later,
    // from the event loop. While one is running, the request waits for it;
    // a waiting request replaced by a newer one is done as superseded.
    void Set(const CWallpaperRequest& request, WallpaperDone done);
    // Whether this desktop has a setter at all (a request fails otherwise).
    bool HasSetter() const { return m_setter != nullptr; }
    // Whether the setter cannot tile and needs the request's screen size.
    bool NeedsScreenSize() const { return m_setter && m_setter->NeedsScreenImage(); }
    // Whether the wallpaper lasts only while this process runs.
    bool EndsWithProcess() const { return m_setter && m_setter->EndsWithProcess(); }
    // Whether a request is running or waiting.
    bool IsBusy() const { return m_running.has_value(); }

private:
    struct CJob {
        CWallpaperRequest request;
        WallpaperDone done;
        CWallpaperResult result;
    };

    void Choose(IProcessRunner& runner, const QProcessEnvironment& environment,
                const std::function<QDBusConnection()>& bus);
    void Begin();
    void Note(const CStepOutcome& outcome);
    void WriteFiles();
    void Finish();

    std::unique_ptr<IProcessRunner> m_ownRunner;
    CDesktopSession m_session;
    QString m_folder;   // empty: DefaultFolder()
    QString m_choiceNote;   // how the setter was chosen, when that matters
    std::string m_busAddress;   // the session's bus, asked before a setter that needs it
    std::unique_ptr<IWallpaperSetter> m_setter;
    std::optional<CJob> m_running;
    std::optional<CJob> m_waiting;
    QObject m_context;   // last: gone first, so nothing reports to a dead object
};

} // namespace quorrel::output
