#include "WindowsWallpaperSetter.h"

#ifdef Q_OS_WIN

#include <QDir>
#include <QSettings>

#include <windows.h>

namespace quorrel::output {

void CWindowsWallpaperSetter::SetTiledMode(StepDone done)
{
    // Opens the key, or creates it when missing; the value is a REG_SZ.
    // A failure goes unreported: the wallpaper is still set.
    QSettings desktop(QStringLiteral("HKEY_CURRENT_USER\\Control Panel\\Desktop"), QSettings::NativeFormat);
    desktop.setValue(QStringLiteral("TileWallpaper"), QStringLiteral("1"));
    desktop.sync();
    done({});
}

void CWindowsWallpaperSetter::Load(const CWallpaperFiles& files, StepDone done)
{
    std::wstring path = QDir::toNativeSeparators(files.bmp).toStdWString();
    const QString tried = QStringLiteral("SystemParametersInfo(SPI_SETDESKWALLPAPER)");
    if (SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, path.data(), SPIF_UPDATEINIFILE))
        done({{tried}, {}});
    else
        done({{tried}, QStringLiteral("Windows refused the wallpaper (error %1).").arg(GetLastError())});
}

} // namespace quorrel::output

#endif
