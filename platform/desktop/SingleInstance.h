#pragma once
// One editor per user: the first start listens on a per-user local socket;
// a later start with file names hands them to it and ends. The running
// editor opens them as shell requests (not subject to the document limit).

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;
class QProcessEnvironment;

namespace quorrel::desktop {

class SingleInstance final : public QObject {
    Q_OBJECT

public:
    // `serverName` is a bare name or an absolute socket path; tests pass
    // their own so they never meet a real editor.
    explicit SingleInstance(QString serverName, QObject* parent = nullptr);
    ~SingleInstance() override;

    // A socket in a folder private to the user: $XDG_RUNTIME_DIR, or when
    // that is unset a folder of the user's own under the cache folder
    // ($XDG_CACHE_HOME or ~/.cache), created with mode 0700. A folder that
    // is not the user's, lets anyone else in, or is a link gives no name:
    // then the reason is in `warning` and the editor runs on its own.
    static QString DefaultServerName(QString* warning = nullptr);
    static QString ServerNameFor(const QProcessEnvironment& environment, QString* warning = nullptr);

    // Sends `paths` (made absolute against the current folder) to a running
    // editor of the same user. True only when that editor acknowledged them;
    // on false the caller opens the files itself. Nothing is sent to a
    // socket another user holds.
    bool SendToRunning(const QStringList& paths, int timeoutMs = 3000) const;

    // Starts listening. A socket left behind by an editor that died is
    // removed; a live one is left alone (false: another editor runs). Only
    // connections from the same user are served.
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
