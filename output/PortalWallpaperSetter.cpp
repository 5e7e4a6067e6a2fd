#include "PortalWallpaperSetter.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>
#include <QFile>
#include <QTimer>

namespace quorrel::output {

const char* const CPortalWallpaperSetter::kService = "org.freedesktop.portal.Desktop";
const char* const CPortalWallpaperSetter::kPath = "/org/freedesktop/portal/desktop";
const char* const CPortalWallpaperSetter::kInterface = "org.freedesktop.portal.Wallpaper";

namespace {

const QString kRequestInterface = QStringLiteral("org.freedesktop.portal.Request");

// Where the portal puts the Request object of a call with this token:
// /org/freedesktop/portal/desktop/request/SENDER/TOKEN, SENDER being our
// unique bus name without the ':' and with '_' for '.'.
QString RequestPath(const QDBusConnection& bus, const QString& token)
{
    QString sender = bus.baseService();
    sender.remove(0, 1).replace(u'.', u'_');
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

} // namespace

void CPortalWallpaperSetter::Load(const CWallpaperFiles& files, StepDone done)
{
    if (m_openBus) {
        m_bus = m_openBus();
        m_openBus = {};
    }
    const QString token = QStringLiteral("quorrel%1").arg(++m_requests);
    auto* request = new CPortalRequest(m_bus, token, &m_context, std::move(done));
    request->Start(files.screen, m_timeoutMs);
}

CPortalRequest::CPortalRequest(QDBusConnection bus, QString token, QObject* context, StepDone done)
    : QObject(context), m_bus(std::move(bus)), m_token(std::move(token)), m_context(context), m_done(std::move(done))
{
    // A child of the setter's context: it ends with the setter, whose
    // answer would have no one to go to.
}

void CPortalRequest::Start(const QString& path, int timeoutMs)
{
    m_path = path;
    QTimer::singleShot(timeoutMs, this, [this, timeoutMs] {
        Finish(QStringLiteral("The desktop portal gave no answer within %1 s.").arg(timeoutMs / 1000));
    });
    if (!m_bus.isConnected()) {
        m_tried << QStringLiteral("desktop portal %1").arg(QLatin1String(CPortalWallpaperSetter::kInterface));
        QTimer::singleShot(0, this, [this] { Finish(QStringLiteral("There is no D-Bus session bus.")); });
        return;
    }
    Send(false);
}

void CPortalRequest::Send(bool asFile)
{
    const QString method = asFile ? QStringLiteral("SetWallpaperFile") : QStringLiteral("SetWallpaperURI");
    QVariant target;
    if (asFile) {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly)) {
            Finish(QStringLiteral("%1 could not be opened.").arg(m_path));
            return;
        }
        target = QVariant::fromValue(QDBusUnixFileDescriptor(file.handle()));   // a duplicate of it
    } else {
        target = FileUrl(m_path);
    }
    m_tried << QStringLiteral("desktop portal %1.%2 %3")
                   .arg(QLatin1String(CPortalWallpaperSetter::kInterface), method, FileUrl(m_path));

    // Listen before calling: the answer may come before the call returns.
    Listen(RequestPath(m_bus, m_token));
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(CPortalWallpaperSetter::kService),
                                                       QLatin1String(CPortalWallpaperSetter::kPath),
                                                       QLatin1String(CPortalWallpaperSetter::kInterface), method);
    const QVariantMap options{{QStringLiteral("handle_token"), m_token},
                              {QStringLiteral("show-preview"), false},
                              {QStringLiteral("set-on"), QStringLiteral("background")}};
    call << QString() << target << options;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, asFile](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *w;
        if (reply.isError()) {
            const QString name = reply.error().name();
            const bool unreachable = name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
                                     name == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
                                     name == QLatin1String("org.freedesktop.DBus.Error.Disconnected") ||
                                     name == QLatin1String("org.freedesktop.DBus.Error.UnknownInterface") ||
                                     name == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod") ||
                                     name == QLatin1String("org.freedesktop.DBus.Error.UnknownObject");
            if (!asFile && !unreachable) {
                // Newer portals take local files only as an open file.
                Send(true);
                return;
            }
            Finish(QStringLiteral("The desktop portal answered: %1 (%2)").arg(reply.error().message(), name));
            return;
        }
        // Older portals ignore the token and choose the path themselves.
        Listen(reply.value().path());
    });
}

void CPortalRequest::Listen(const QString& path)
{
    if (path == m_listening)
        return;
    if (!m_listening.isEmpty()) {
        m_bus.disconnect(QLatin1String(CPortalWallpaperSetter::kService), m_listening, kRequestInterface,
                         QStringLiteral("Response"), this, SLOT(OnResponse(uint, QVariantMap)));
    }
    m_listening = path;
    m_bus.connect(QLatin1String(CPortalWallpaperSetter::kService), path, kRequestInterface, QStringLiteral("Response"),
                  this, SLOT(OnResponse(uint, QVariantMap)));
}

void CPortalRequest::OnResponse(uint response, const QVariantMap&)
{
    switch (response) {
    case 0:
        Finish({});
        break;
    case 1:
        Finish(QStringLiteral("The wallpaper was not changed: cancelled in the desktop portal."));
        break;
    default:
        Finish(QStringLiteral("The desktop portal refused to set the wallpaper (answer %1).").arg(response));
        break;
    }
}

void CPortalRequest::Finish(const QString& problem)
{
    if (m_finished)
        return;
    m_finished = true;
    if (!m_listening.isEmpty()) {
        m_bus.disconnect(QLatin1String(CPortalWallpaperSetter::kService), m_listening, kRequestInterface,
                         QStringLiteral("Response"), this, SLOT(OnResponse(uint, QVariantMap)));
    }
    deleteLater();
    if (m_context)
        m_done({m_tried, problem});
}

} // namespace quorrel::output
