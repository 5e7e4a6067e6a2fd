#pragma once
// Desktops whose wallpaper is set by one helper call that also takes the
// tiled mode: LXQt and LXDE (pcmanfm), sway (swaymsg), plain X11 (feh,
// xwallpaper). Each call reads the file again, so the same name reloads.

#include "ProcessRunner.h"
#include "WallpaperSetter.h"

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

    static std::unique_ptr<IWallpaperSetter> Lxqt(IProcessRunner& runner);
    static std::unique_ptr<IWallpaperSetter> Lxde(IProcessRunner& runner);
    // swaybg reads BMP only when built with gdk-pixbuf: it gets the PNG.
    static std::unique_ptr<IWallpaperSetter> Sway(IProcessRunner& runner);
    static std::unique_ptr<IWallpaperSetter> Feh(IProcessRunner& runner);
    // xwallpaper reads no BMP: it gets the PNG.
    static std::unique_ptr<IWallpaperSetter> Xwallpaper(IProcessRunner& runner);

    bool NeedsPng() const override { return m_needsPng; }
    void Load(const CWallpaperFiles& files) override;

private:
    IProcessRunner& m_runner;
    QString m_program;
    Arguments m_arguments;
    bool m_needsPng;
};

// Other wlroots compositors: a swaybg of our own, tiled, on every output.
// Each call starts a new one on the PNG and then ends the one started
// before, so the desktop never goes blank and no daemons pile up.
class CSwaybgWallpaperSetter final : public IWallpaperSetter {
public:
    explicit CSwaybgWallpaperSetter(IProcessRunner& runner) : m_runner(runner) {}

    bool NeedsPng() const override { return true; }
    void Load(const CWallpaperFiles& files) override;

private:
    IProcessRunner& m_runner;
    qint64 m_pid = 0;
};

} // namespace quorrel::output
