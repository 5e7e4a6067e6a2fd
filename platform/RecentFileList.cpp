#include "RecentFileList.h"

#include "NativePath.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace quorrel::platform {

namespace {
const QString kSection = QStringLiteral("Recent File List");
}

void CRecentFileList::Add(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_entries.removeAll(absolute);
    m_entries.prepend(absolute);
    while (m_entries.size() > m_nSize)
        m_entries.removeLast();
}

void CRecentFileList::Remove(int index)
{
    if (index >= 0 && index < m_entries.size())
        m_entries.removeAt(index);
}

void CRecentFileList::ReadList(QSettings& settings)
{
    m_entries.clear();
    settings.beginGroup(kSection);
    for (int i = 1; i <= m_nSize; ++i) {
        // The settings hold text: a name that is not UTF-8 comes back with
        // U+FFFD in place of its bytes, and is matched to the real one.
        const QString path = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty())
            m_entries.append(ResolveShownPath(path));
    }
    settings.endGroup();
}

void CRecentFileList::WriteList(QSettings& settings) const
{
    settings.beginGroup(kSection);
    for (int i = 1; i <= m_nSize; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (i <= m_entries.size())
            settings.setValue(key, m_entries[i - 1]);
        else
            settings.remove(key);
    }
    settings.endGroup();
}

QString CRecentFileList::MenuText(int index) const
{
    const QString name = QFileInfo(m_entries[index]).fileName();
    int sameName = 0;
    for (const QString& entry : m_entries)
        sameName += QFileInfo(entry).fileName() == name ? 1 : 0;
    QString shown = DisplayPath(sameName > 1 ? QDir::toNativeSeparators(m_entries[index]) : name);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

} // namespace quorrel::platform
