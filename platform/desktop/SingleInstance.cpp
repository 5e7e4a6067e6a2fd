#include "SingleInstance.h"

#include "platform/NativePath.h"

#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTimer>

#include <cerrno>
#include <cstring>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace quorrel::desktop {

namespace {

constexpr quint32 kMagic = 0x51524c31;      // "QRL1"
constexpr char kAcknowledge = 'A';
constexpr qint64 kMaxRequestBytes = 1 << 20; // far more than any list of paths
constexpr int kClientIdleMs = 5000;

// True when the process at the other end of a connected local socket runs
// as this process's user.
bool IsSameUser(qintptr descriptor)
{
    ucred peer {};
    socklen_t size = sizeof peer;
    if (descriptor < 0 || ::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 ||
        size != sizeof peer)
        return false;
    return peer.uid == ::getuid();
}

} // namespace

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), m_serverName(std::move(serverName))
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::DefaultServerName(QString* warning)
{
    return ServerNameFor(QProcessEnvironment::systemEnvironment(), warning);
}

QString SingleInstance::ServerNameFor(const QProcessEnvironment& environment, QString* warning)
{
    const auto refuse = [warning](const QString& folder, const QString& reason) {
        if (warning)
            *warning = QStringLiteral("no private folder for the editor's socket (%1: %2); documents open in "
                                      "an editor of their own")
                           .arg(platform::DisplayPath(folder), reason);
        return QString();
    };
    QString folder;
    QString socket;
    const QString runtime = environment.value(QStringLiteral("XDG_RUNTIME_DIR"));
    if (!runtime.isEmpty()) {
        folder = runtime;
        socket = QStringLiteral("quorrel-editor");
    } else {
        // A folder of the user's own, which no other user can create first
        // (unlike a name in /tmp). Its name carries the host, since a home
        // folder may be shared between machines.
        QString cache = environment.value(QStringLiteral("XDG_CACHE_HOME"));
        if (!QDir::isAbsolutePath(cache)) {
            const QString home = environment.value(QStringLiteral("HOME"));
            if (!QDir::isAbsolutePath(home))
                return refuse(QStringLiteral("$HOME"), QStringLiteral("not set"));
            cache = home + QStringLiteral("/.cache");
        }
        ::mkdir(platform::NativePath(cache).constData(), 0700);
        folder = cache + QStringLiteral("/quorrel");
        ::mkdir(platform::NativePath(folder).constData(), 0700);
        QString host = QSysInfo::machineHostName();
        host.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
        socket = QStringLiteral("editor-") + (host.isEmpty() ? QStringLiteral("localhost") : host);
    }
    if (!QDir::isAbsolutePath(folder))
        return refuse(folder, QStringLiteral("not an absolute path"));
    // The folder itself, not where a link would lead.
    struct stat st {};
    if (::lstat(platform::NativePath(folder).constData(), &st) != 0)
        return refuse(folder, QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISDIR(st.st_mode))
        return refuse(folder, QStringLiteral("not a folder"));
    if (st.st_uid != ::getuid())
        return refuse(folder, QStringLiteral("owned by another user"));
    if (st.st_mode & (S_IRWXG | S_IRWXO))
        return refuse(folder, QStringLiteral("other users may enter it"));
    const QString name = QDir(folder).filePath(socket);
    if (platform::NativePath(name).size() >= qsizetype(sizeof(sockaddr_un::sun_path)))
        return refuse(folder, QStringLiteral("too long a path for a socket"));
    return name;
}

bool SingleInstance::SendToRunning(const QStringList& paths, int timeoutMs) const
{
    if (m_serverName.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    // The paths go only to an editor of the same user.
    if (!IsSameUser(socket.socketDescriptor())) {
        socket.abort();
        return false;
    }

    // Request: magic, byte count, then the paths as the system's bytes
    // (names that are not UTF-8 included), each ended by a NUL (a NUL
    // cannot occur in a path).
    QByteArray payload;
    for (const QString& path : paths)
        payload += platform::NativePath(platform::AbsolutePath(path)) + '\0';
    if (payload.size() > kMaxRequestBytes)
        return false;
    QByteArray request;
    {
        QDataStream out(&request, QIODevice::WriteOnly);
        out << kMagic << quint32(payload.size());
    }
    request += payload;
    socket.write(request);
    QElapsedTimer clock;
    clock.start();
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(std::max(1, timeoutMs - int(clock.elapsed()))))
            return false;
    }
    while (socket.bytesAvailable() < 1) {
        const int left = timeoutMs - int(clock.elapsed());
        if (left <= 0 || !socket.waitForReadyRead(left))
            return false;
    }
    char reply = 0;
    return socket.getChar(&reply) && reply == kAcknowledge;
}

bool SingleInstance::Listen()
{
    if (IsListening())
        return true;
    if (m_serverName.isEmpty())
        return false;
    // Listening with access options binds elsewhere and renames the socket
    // into place, which would take the name from a live editor: ask first.
    {
        QLocalSocket probe;
        probe.connectToServer(m_serverName);
        if (probe.waitForConnected(500)) {
            probe.abort();
            return false;   // another editor runs
        }
    }
    // Nobody answers: a socket file left by an editor that died goes.
    QLocalServer::removeServer(m_serverName);
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(m_serverName)) {
        delete server;
        return false;
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::AcceptConnections);
    return true;
}

bool SingleInstance::IsListening() const
{
    return m_server && m_server->isListening();
}

void SingleInstance::AcceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // Another user reaches the socket only if its folder was opened up;
        // its requests are never served.
        if (!IsSameUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadRequest(socket); });
        // A client that never finishes its request is dropped.
        QTimer::singleShot(kClientIdleMs, socket, [socket] { socket->abort(); });
        if (socket->bytesAvailable() > 0)
            ReadRequest(socket);
    }
}

void SingleInstance::ReadRequest(QLocalSocket* socket)
{
    constexpr qint64 kHeader = 8;
    if (socket->bytesAvailable() < kHeader)
        return;
    quint32 magic = 0;
    quint32 size = 0;
    {
        QDataStream header(socket->peek(kHeader));
        header >> magic >> size;
    }
    if (magic != kMagic || size > kMaxRequestBytes) {
        socket->abort();   // not one of ours
        return;
    }
    if (socket->bytesAvailable() < kHeader + qint64(size))
        return;   // the rest is on its way
    socket->skip(kHeader);
    const QByteArray payload = socket->read(size);
    QStringList paths;
    for (const QByteArray& path : payload.split('\0')) {
        if (!path.isEmpty())
            paths << platform::PathFromNative(path);
    }
    socket->putChar(kAcknowledge);
    socket->flush();
    socket->disconnectFromServer();
    if (!paths.isEmpty())
        emit filesRequested(paths);
}

} // namespace quorrel::desktop
