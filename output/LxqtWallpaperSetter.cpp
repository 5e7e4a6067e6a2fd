#include "LxqtWallpaperSetter.h"

#include "model/SafeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QList>

#include <span>

namespace quorrel::output {

namespace {

bool IsSectionHeader(const QByteArray& line)
{
    const QByteArray trimmed = line.trimmed();
    return trimmed.startsWith('[') && trimmed.endsWith(']');
}

} // namespace

QByteArray CLxqtWallpaperSetter::WithIniValue(const QByteArray& ini, const QByteArray& section, const QByteArray& key,
                                              const QByteArray& value)
{
    QList<QByteArray> lines = ini.isEmpty() ? QList<QByteArray>() : ini.split('\n');
    const bool endsWithNewline = ini.endsWith('\n');
    if (endsWithNewline)
        lines.removeLast();
    const QByteArray header = '[' + section + ']';
    const QByteArray entry = key + '=' + value;
    qsizetype insertAt = -1;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray trimmed = lines[i].trimmed();
        if (IsSectionHeader(lines[i])) {
            if (inSection)
                break;
            inSection = trimmed == header;
            if (inSection)
                insertAt = i + 1;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype equals = trimmed.indexOf('=');
        if (equals > 0 && trimmed.left(equals).trimmed() == key) {
            lines[i] = entry;
            return lines.join('\n') + (endsWithNewline ? "\n" : "");
        }
        if (!trimmed.isEmpty())
            insertAt = i + 1;
    }
    if (insertAt < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines << QByteArray();
        lines << header;
        insertAt = lines.size();
    }
    lines.insert(insertAt, entry);
    return lines.join('\n') + '\n';
}

QString CLxqtWallpaperSetter::StoreTileMode() const
{
    const QDir profiles(QDir(m_configFolder).filePath(QStringLiteral("pcmanfm-qt")));
    for (const QString& profile : profiles.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString path = profiles.filePath(profile + QStringLiteral("/settings.conf"));
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray before = file.readAll();
        file.close();
        if (!before.contains("[Desktop]"))
            continue;
        const QByteArray after = WithIniValue(before, "Desktop", "WallpaperMode", "tile");
        if (after == before)
            continue;
        // Whole or not at all, keeping the file's mode and links.
        model::CFileError error;
        const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(after.constData()),
                                             std::size_t(after.size()));
        if (!model::WriteFileAtomically(QFile::encodeName(path).toStdString(), bytes, error))
            return QStringLiteral("%1 could not be rewritten.").arg(path);
    }
    return {};
}

void CLxqtWallpaperSetter::Load(const CWallpaperFiles& files, StepDone done)
{
    const CHelperCall call{QStringLiteral("pcmanfm-qt"),
                           {QStringLiteral("--set-wallpaper"), files.bmp, QStringLiteral("--wallpaper-mode"),
                            QStringLiteral("tile")}};
    RunInTurn(m_runner, &m_context, {call}, [this, done = std::move(done)](const CStepOutcome& outcome) {
        if (!outcome.Ok()) {
            done(outcome);
            return;
        }
        done({outcome.tried, StoreTileMode()});
    });
}

} // namespace quorrel::output
