#include "DesktopWallpaper.h"

#include "CommandWallpaperSetter.h"
#include "ErrorMessage.h"
#include "GSettingsWallpaperSetter.h"
#include "ImageSaver.h"
#include "PlasmaWallpaperSetter.h"
#include "WindowsWallpaperSetter.h"
#include "XfceWallpaperSetter.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QStandardPaths>

namespace quorrel::output {

std::unique_ptr<IWallpaperSetter> MakeWallpaperSetter(EDesktop desktop, IProcessRunner& runner)
{
    switch (desktop) {
    case EDesktop::Gnome:
        return std::make_unique<CGSettingsWallpaperSetter>(runner, CGSettingsWallpaperSetter::Gnome());
    case EDesktop::Cinnamon:
        return std::make_unique<CGSettingsWallpaperSetter>(runner, CGSettingsWallpaperSetter::Cinnamon());
    case EDesktop::Mate:
        return std::make_unique<CGSettingsWallpaperSetter>(runner, CGSettingsWallpaperSetter::Mate());
    case EDesktop::Plasma:
        return std::make_unique<CPlasmaWallpaperSetter>(runner);
    case EDesktop::Xfce:
        return std::make_unique<CXfceWallpaperSetter>(runner);
    case EDesktop::Lxqt:
        return CCommandWallpaperSetter::Lxqt(runner);
    case EDesktop::Lxde:
        return CCommandWallpaperSetter::Lxde(runner);
    case EDesktop::Sway:
        return CCommandWallpaperSetter::Sway(runner);
    case EDesktop::Wlroots:
        return std::make_unique<CSwaybgWallpaperSetter>(runner);
    case EDesktop::X11:
        if (runner.IsAvailable(QStringLiteral("feh")))
            return CCommandWallpaperSetter::Feh(runner);
        if (runner.IsAvailable(QStringLiteral("xwallpaper")))
            return CCommandWallpaperSetter::Xwallpaper(runner);
        return nullptr;
    case EDesktop::Windows:
#ifdef Q_OS_WIN
        return std::make_unique<CWindowsWallpaperSetter>();
#else
        return nullptr;
#endif
    case EDesktop::None:
        return nullptr;
    }
    return nullptr;
}

CDesktopWallpaper::CDesktopWallpaper()
    : m_ownRunner(std::make_unique<CProcessRunner>())
    , m_desktop(DetectDesktop(QProcessEnvironment::systemEnvironment()))
    , m_setter(MakeWallpaperSetter(m_desktop, *m_ownRunner))
{
}

CDesktopWallpaper::CDesktopWallpaper(IProcessRunner& runner, const QProcessEnvironment& environment,
                                     const QString& folder)
    : m_desktop(DetectDesktop(environment))
    , m_folder(folder)
    , m_setter(MakeWallpaperSetter(m_desktop, runner))
{
}

CDesktopWallpaper::~CDesktopWallpaper() = default;

QString CDesktopWallpaper::DefaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

CWallpaperFiles CDesktopWallpaper::Files() const
{
    // Asked at each call: the application's name, part of the folder, may be
    // set after this object was made.
    const QDir folder(m_folder.isEmpty() ? DefaultFolder() : m_folder);
    return {folder.filePath(QStringLiteral("Quorrel Wallpaper.bmp")), folder.filePath(QStringLiteral("Quorrel Wallpaper.png"))};
}

uint32_t CDesktopWallpaper::Set(const QImage& tile)
{
    if (m_setter)
        m_setter->SetTiledMode();

    const CWallpaperFiles files = Files();
    QDir().mkpath(QFileInfo(files.bmp).path());
    uint32_t status = SaveImage(tile, files.bmp);
    if (m_setter && m_setter->NeedsPng()) {
        const uint32_t pngStatus = SaveImage(tile, files.png);
        if (status == kStatusOk)
            status = pngStatus;
    }

    if (m_setter)
        m_setter->Load(files);
    return status;
}

} // namespace quorrel::output
