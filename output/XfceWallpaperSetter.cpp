#include "XfceWallpaperSetter.h"

namespace quorrel::output {

namespace {
const QString kXfconfQuery = QStringLiteral("xfconf-query");
const QString kLastImage = QStringLiteral("/last-image");
}

QStringList CXfceWallpaperSetter::Backdrops(const QByteArray& propertyList)
{
    QStringList backdrops;
    for (const QString& line : QString::fromLocal8Bit(propertyList).split(u'\n', Qt::SkipEmptyParts)) {
        const QString property = line.trimmed();
        if (property.startsWith(QLatin1String("/backdrop/")) && property.endsWith(kLastImage))
            backdrops << property.chopped(kLastImage.size());
    }
    if (backdrops.isEmpty())
        backdrops << QStringLiteral("/backdrop/screen0/monitor0/workspace0");
    backdrops.removeDuplicates();
    return backdrops;
}

void CXfceWallpaperSetter::SetTiledMode(StepDone done)
{
    const CHelperCall list = Query({QStringLiteral("-l")});
    m_runner.Start(list.program, list.arguments, &m_context,
                   [this, done = std::move(done), tried = CommandLine(list)](const CProcessResult& result) mutable {
                       // A channel that does not exist yet lists nothing and
                       // fails: the default backdrop is made.
                       if (result.status != CProcessResult::EStatus::Exited) {
                           done({{tried}, result.Problem(kXfconfQuery, m_runner.TimeoutMs())});
                           return;
                       }
                       m_backdrops = Backdrops(result.exitCode == 0 ? result.output : QByteArray());
                       QList<CHelperCall> calls;
                       for (const QString& backdrop : m_backdrops) {
                           calls << Query({QStringLiteral("-p"), backdrop + QStringLiteral("/image-style"),
                                           QStringLiteral("-n"), QStringLiteral("-t"), QStringLiteral("int"),
                                           QStringLiteral("-s"), QStringLiteral("2")});
                       }
                       RunInTurn(m_runner, &m_context, std::move(calls), std::move(done), {{tried}, {}});
                   });
}

void CXfceWallpaperSetter::Load(const CWallpaperFiles& files, StepDone done)
{
    if (m_backdrops.isEmpty())
        m_backdrops = Backdrops({});
    QList<CHelperCall> calls;
    for (const QString& backdrop : m_backdrops) {
        CHelperCall reset = Query({QStringLiteral("-p"), backdrop + kLastImage, QStringLiteral("-r")});
        reset.optional = true;   // fails when the property is not there yet
        calls << reset;
        calls << Query({QStringLiteral("-p"), backdrop + kLastImage, QStringLiteral("-n"), QStringLiteral("-t"),
                        QStringLiteral("string"), QStringLiteral("-s"), files.bmp});
    }
    RunInTurn(m_runner, &m_context, std::move(calls), std::move(done));
}

CHelperCall CXfceWallpaperSetter::Query(const QStringList& arguments) const
{
    return {kXfconfQuery, QStringList{QStringLiteral("-c"), QStringLiteral("xfce4-desktop")} + arguments};
}

} // namespace quorrel::output
