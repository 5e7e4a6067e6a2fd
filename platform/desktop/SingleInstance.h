#pragma once
// One editor per user: the first start listens on a per-user local socket;
// a later start with file names hands them to it and ends. The running
// editor opens them as shell requests (not subject to the document limit).

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

namespace quorrel::desktop {

class SingleInstance final : public QObject {
    Q_OBJECT

public:
    // `serverName` is a bare name or an absolute socket path; tests pass
    // their own so they never meet a real editor.
    explicit SingleInstance(QString serverName, QObject* parent = nullptr);
    ~SingleInstance() override;

    // A socket in the user's private runtime folder.
    static QString DefaultServerName();

    // Sends `paths` (made absolute against the current folder) to a running
    // editor. True only when that editor acknowledged them; on false the
    // caller opens the files itself.
    bool SendToRunning(const QStringList& paths, int timeoutMs = 3000) const;

    // Starts listening. A socket left behind by an editor that died is
    // removed; a live one is left alone (false: another editor runs).
    bool Listen();
    bool IsListening() const;
    QString ServerName() const { return m_serverName; }

signals:
    // Files a later start asked to open, in the order given.
    void filesRequested(const QStringList& paths);

private:
    void AcceptConnections();
    void ReadRequest(QLocalSocket* socket);

    QString m_serverName;
    QLocalServer* m_server = nullptr;
};

} // namespace quorrel::desktop
