#pragma once
// Desktops whose wallpaper is set by one helper call that also takes the
// tiled mode: LXDE (pcmanfm), sway (swaymsg), plain X11 (feh, xwallpaper).
// Each call reads the file again, so the same name reloads.

#include "ProcessRunner.h"
#include "WallpaperSetter.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

namespace quorrel::output {

class CCommandWallpaperSetter final : public IWallpaperSetter {
public:
    using Arguments = std::function<QStringList(const CWallpaperFiles&)>;

    CCommandWallpaperSetter(IProcessRunner& runner, QString program, Arguments arguments, bool needsPng)
        : m_runner(runner), m_program(std::move(program)), m_arguments(std::move(arguments)), m_needsPng(needsPng)
    {
    }

    static std::unique_ptr<IWallpaperSetter> Lxde(IProcessRunner& runner);
    // swaybg reads BMP only when built with gdk-pixbuf: it gets the PNG.
    static std::unique_ptr<IWallpaperSetter> Sway(IProcessRunner& runner);
    // feh also writes ~/.fehbg, which X sessions run at start to restore it.
    static std::unique_ptr<IWallpaperSetter> Feh(IProcessRunner& runner);
    // xwallpaper reads no BMP: it gets the PNG.
    static std::unique_ptr<IWallpaperSetter> Xwallpaper(IProcessRunner& runner);

    bool NeedsPng() const override { return m_needsPng; }
    void Load(const CWallpaperFiles& files, StepDone done) override;

private:
    IProcessRunner& m_runner;
    QString m_program;
    Arguments m_arguments;
    bool m_needsPng;
    QObject m_context;   // last: gone first, so no helper reports to a dead setter
};

} // namespace quorrel::output
