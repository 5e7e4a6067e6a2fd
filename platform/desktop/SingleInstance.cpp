#include "SingleInstance.h"

#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

#include <unistd.h>

namespace quorrel::desktop {

namespace {

constexpr quint32 kMagic = 0x51524c31;      // "QRL1"
constexpr char kAcknowledge = 'A';
constexpr qint64 kMaxRequestBytes = 1 << 20; // far more than any list of paths
constexpr int kClientIdleMs = 5000;

} // namespace

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), m_serverName(std::move(serverName))
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::DefaultServerName()
{
    // The runtime folder is private to the user (mode 0700), so no other
    // user can take the name first or read the paths sent.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        return QStringLiteral("quorrel-editor-%1").arg(::getuid());
    return QDir(dir).filePath(QStringLiteral("quorrel-editor"));
}

bool SingleInstance::SendToRunning(const QStringList& paths, int timeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(timeoutMs))
        return false;

    QStringList absolute;
    for (const QString& path : paths)
        absolute << QFileInfo(path).absoluteFilePath();

    // Request: magic, byte count, then the UTF-8 paths each ended by a NUL
    // (a NUL cannot occur in a path).
    QByteArray payload;
    for (const QString& path : absolute)
        payload += path.toUtf8() + '\0';
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
            paths << QString::fromUtf8(path);
    }
    socket->putChar(kAcknowledge);
    socket->flush();
    socket->disconnectFromServer();
    if (!paths.isEmpty())
        emit filesRequested(paths);
}

} // namespace quorrel::desktop
