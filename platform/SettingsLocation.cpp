#include "SettingsLocation.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace quorrel::platform {

namespace {

// Far above the few kilobytes the editor writes (recent files, stored defaults).
constexpr qint64 kMaxEarlierFileSize = 1 << 20;

QString ConfigHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

} // namespace

QString SettingsFolder()
{
    return ConfigHome() + QStringLiteral("/quorrel");
}

QString SettingsFile(const QString& application)
{
    return SettingsFolder() + QLatin1Char('/') + application.toLower() + QStringLiteral(".conf");
}

std::unique_ptr<QSettings> OpenSettings(const QString& root, const QString& application)
{
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(root, application);
#else
    Q_UNUSED(root);
    return std::make_unique<QSettings>(SettingsFile(application), QSettings::IniFormat);
#endif
}

int MoveEarlierSettings(const QStringList& roots, const QString& application)
{
#ifdef Q_OS_WIN
    Q_UNUSED(roots);
    Q_UNUSED(application);
    return 0;
#else
    int moved = 0;
    for (const QString& root : roots) {
        const QString folder = ConfigHome() + QLatin1Char('/') + root;
        const QString oldPath = folder + QLatin1Char('/') + application + QStringLiteral(".conf");
        const QFileInfo old(oldPath);
        // isFile() follows a link to its file: a pipe or device would block
        // the reading, a folder is no settings file.
        if (!old.exists() || !old.isFile() || old.size() > kMaxEarlierFileSize)
            continue;
        QSettings from(oldPath, QSettings::IniFormat);
        if (from.status() != QSettings::NoError)
            continue;
        const std::unique_ptr<QSettings> to = OpenSettings(root, application);
        for (const QString& key : from.allKeys()) {
            if (!to->contains(key))
                to->setValue(key, from.value(key));
        }
        to->sync();
        if (to->status() != QSettings::NoError)
            continue;   // kept where it is, to be tried again next time
        if (QFile::remove(oldPath)) {
            QDir().rmdir(folder);   // only when empty
            ++moved;
        }
    }
    return moved;
#endif
}

} // namespace quorrel::platform
