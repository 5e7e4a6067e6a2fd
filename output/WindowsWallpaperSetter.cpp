#include "WindowsWallpaperSetter.h"

#ifdef Q_OS_WIN

#include <QDir>
#include <QSettings>

#include <windows.h>

namespace quorrel::output {

void CWindowsWallpaperSetter::SetTiledMode()
{
    // Opens the key, or creates it when missing; the value is a REG_SZ.
    // A failure goes unreported: the wallpaper is still set.
    QSettings desktop(QStringLiteral("HKEY_CURRENT_USER\\Control Panel\\Desktop"), QSettings::NativeFormat);
    desktop.setValue(QStringLiteral("TileWallpaper"), QStringLiteral("1"));
    desktop.sync();
}

void CWindowsWallpaperSetter::Load(const CWallpaperFiles& files)
{
    std::wstring path = QDir::toNativeSeparators(files.bmp).toStdWString();
    SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, path.data(), SPIF_UPDATEINIFILE);
}

} // namespace quorrel::output

#endif
