#pragma once
// The most-recently-used file list: newest first, a fixed number of
// entries, kept in the settings section "Recent File List" as File1..FileN.
// Names that are not UTF-8 are held as NativePath.h describes; the menu
// shows their bytes as U+FFFD.

#include <QString>
#include <QStringList>

class QSettings;

namespace quorrel::platform {

class CRecentFileList final {
public:
    explicit CRecentFileList(int size) : m_nSize(size) {}

    int GetSize() const { return m_nSize; }
    const QStringList& Entries() const { return m_entries; }
    bool IsEmpty() const { return m_entries.isEmpty(); }

    void Add(const QString& path);
    void Remove(int index);

    void ReadList(QSettings& settings);
    void WriteList(QSettings& settings) const;

    // Menu text of entry `index`: "&1 name", with the full path only where
    // two entries share a file name.
    QString MenuText(int index) const;

private:
    int m_nSize;
    QStringList m_entries;
};

} // namespace quorrel::platform
