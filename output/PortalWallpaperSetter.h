#pragma once
// Desktops without a setter of our own: the desktop portal's Wallpaper
// interface over D-Bus. It has no tiled mode, so it gets the tile repeated
// to the screen's size.

#include "WallpaperSetter.h"

#include <QDBusConnection>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariantMap>

#include <functional>

namespace quorrel::output {

class CPortalWallpaperSetter final : public IWallpaperSetter {
public:
    // `timeoutMs`: how long to wait for the portal's answer; it may ask the
    // user first.
    explicit CPortalWallpaperSetter(QDBusConnection bus = QDBusConnection::sessionBus(), int timeoutMs = 60000)
        : m_bus(std::move(bus)), m_timeoutMs(timeoutMs)
    {
    }
    // The bus is opened by `openBus` at the first Load, not before: a setter
    // that is never used never waits on the bus.
    explicit CPortalWallpaperSetter(std::function<QDBusConnection()> openBus, int timeoutMs = 60000)
        : m_bus(QString()), m_openBus(std::move(openBus)), m_timeoutMs(timeoutMs)
    {
    }

    bool UsesSessionBus() const override { return true; }

    bool NeedsScreenImage() const override { return true; }
    // SetWallpaperURI with the file URL of files.screen; where the portal
    // refuses file URLs, SetWallpaperFile with the open file instead.
    void Load(const CWallpaperFiles& files, StepDone done) override;

    static const char* const kService;     // "org.freedesktop.portal.Desktop"
    static const char* const kPath;        // "/org/freedesktop/portal/desktop"
    static const char* const kInterface;   // "org.freedesktop.portal.Wallpaper"

private:
    QDBusConnection m_bus;
    std::function<QDBusConnection()> m_openBus;
    int m_timeoutMs;
    int m_requests = 0;
    QObject m_context;   // last: gone first, so no answer reaches a dead setter
};

// One call and its Request object's Response signal. Deletes itself once it
// has reported, or ends with `context`.
class CPortalRequest final : public QObject {
    Q_OBJECT
public:
    CPortalRequest(QDBusConnection bus, QString token, QObject* context, StepDone done);

    // Asks the portal to show the image at `path`; gives up after `timeoutMs`.
    void Start(const QString& path, int timeoutMs);

public Q_SLOTS:
    void OnResponse(uint response, const QVariantMap& results);

private:
    void Send(bool asFile);
    void Finish(const QString& problem);
    void Listen(const QString& path);

    QDBusConnection m_bus;
    QString m_token;
    QString m_listening;   // the Request object path subscribed to
    QPointer<QObject> m_context;
    StepDone m_done;
    QString m_path;
    QStringList m_tried;
    bool m_finished = false;
};

} // namespace quorrel::output
