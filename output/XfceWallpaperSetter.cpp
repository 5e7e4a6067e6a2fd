#include "XfceWallpaperSetter.h"

namespace quorrel::output {

namespace {
const QString kXfconfQuery = QStringLiteral("xfconf-query");
const QString kLastImage = QStringLiteral("/last-image");
}

QStringList CXfceWallpaperSetter::Backdrops()
{
    QStringList backdrops;
    const CProcessResult list = m_runner.Run(kXfconfQuery, {QStringLiteral("-c"), QStringLiteral("xfce4-desktop"),
                                                            QStringLiteral("-l")});
    if (list.Succeeded()) {
        for (const QString& line : QString::fromLocal8Bit(list.output).split(u'\n', Qt::SkipEmptyParts)) {
            const QString property = line.trimmed();
            if (property.startsWith(QLatin1String("/backdrop/")) && property.endsWith(kLastImage))
                backdrops << property.chopped(kLastImage.size());
        }
    }
    if (backdrops.isEmpty())
        backdrops << QStringLiteral("/backdrop/screen0/monitor0/workspace0");
    backdrops.removeDuplicates();
    return backdrops;
}

void CXfceWallpaperSetter::SetTiledMode()
{
    m_backdrops = Backdrops();
    for (const QString& backdrop : m_backdrops) {
        Query({QStringLiteral("-p"), backdrop + QStringLiteral("/image-style"), QStringLiteral("-n"),
               QStringLiteral("-t"), QStringLiteral("int"), QStringLiteral("-s"), QStringLiteral("2")});
    }
}

void CXfceWallpaperSetter::Load(const CWallpaperFiles& files)
{
    if (m_backdrops.isEmpty())
        m_backdrops = Backdrops();
    for (const QString& backdrop : m_backdrops) {
        Query({QStringLiteral("-p"), backdrop + kLastImage, QStringLiteral("-r")});
        Query({QStringLiteral("-p"), backdrop + kLastImage, QStringLiteral("-n"), QStringLiteral("-t"),
               QStringLiteral("string"), QStringLiteral("-s"), files.bmp});
    }
}

void CXfceWallpaperSetter::Query(const QStringList& arguments)
{
    m_runner.Run(kXfconfQuery, QStringList{QStringLiteral("-c"), QStringLiteral("xfce4-desktop")} + arguments);
}

} // namespace quorrel::output
