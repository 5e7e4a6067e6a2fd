#pragma once
// A folder of this program's own under the user's data folder
// ($XDG_DATA_HOME/quorrel/rotation and the like) that nobody else can
// reach into. Each folder below the base is opened without following links,
// created 0700 where missing, and refused when it is a symbolic link, is
// owned by another user or may be written by others. Files in it are
// written, read and removed relative to the opened folder, never through a
// link: a name another program replaced by a link is never written
// through, and a pipe or device at a name is never read. Links above the
// base (a home folder reached through a link) are followed: they are the
// user's own choice.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace quorrel::output {

class CPrivateFolder final {
public:
    // Opens `base`/`names`... Without `create`, a folder that is not there
    // gives nothing with `error` empty. Nothing with the reason otherwise.
    static std::unique_ptr<CPrivateFolder> Open(const QString& base, const QStringList& names, bool create,
                                                QString& error);
    ~CPrivateFolder();
    CPrivateFolder(const CPrivateFolder&) = delete;
    CPrivateFolder& operator=(const CPrivateFolder&) = delete;

    // A folder below this one, with the same checks.
    std::unique_ptr<CPrivateFolder> Sub(const QString& name, bool create, QString& error) const;

    // The folder's path with the links above the base resolved: what other
    // programs are given to find the files.
    const QString& Path() const { return m_path; }
    QString FilePath(const QString& name) const { return m_path + u'/' + name; }

    // Writes `bytes` as `name` whole: a private temporary, flushed, then
    // renamed over the name (which replaces a link there instead of
    // following it). `mode` is the file's permission bits.
    bool Write(const QString& name, const QByteArray& bytes, QString& error, int mode = 0600) const;
    // The contents of a regular file `name` of at most `limit` bytes;
    // nothing with `error` empty when there is no such name, nothing with
    // the reason when it is no regular file, too large or unreadable.
    std::optional<QByteArray> Read(const QString& name, qint64 limit, QString& error) const;
    bool Exists(const QString& name) const;
    // Removes the name (a file or a link, never what a link leads to).
    bool Remove(const QString& name) const;
    // Removes the folder `name` below this one when it is empty.
    bool RemoveFolder(const QString& name) const;
    // The names in the folder (no "." or "..").
    QStringList Names() const;

    // Whether `name` may name a file in this folder: no slash, not "." or "..", not empty.
    static bool IsPlainName(const QString& name);

private:
    CPrivateFolder(int fd, QString path) : m_fd(fd), m_path(std::move(path)) {}
    static std::unique_ptr<CPrivateFolder> OpenBelow(int parentFd, const QString& parentPath, const QString& name,
                                                     bool create, QString& error);

    int m_fd = -1;
    QString m_path;
};

} // namespace quorrel::output
