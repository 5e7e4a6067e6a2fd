#include "CommandWallpaperSetter.h"

namespace quorrel::output {

namespace {

// sway joins swaymsg's arguments into one command line and splits it again:
// a path with blanks must be quoted.
QString SwayQuoted(const QString& text)
{
    QString quoted = text;
    quoted.replace(u'\\', QLatin1String("\\\\")).replace(u'"', QLatin1String("\\\""));
    return u'"' + quoted + u'"';
}

} // namespace

std::unique_ptr<IWallpaperSetter> CCommandWallpaperSetter::Lxde(IProcessRunner& runner)
{
    return std::make_unique<CCommandWallpaperSetter>(
        runner, QStringLiteral("pcmanfm"),
        [](const CWallpaperFiles& f) {
            return QStringList{QStringLiteral("--set-wallpaper"), f.bmp, QStringLiteral("--wallpaper-mode"),
                               QStringLiteral("tile")};
        },
        false);
}

std::unique_ptr<IWallpaperSetter> CCommandWallpaperSetter::Sway(IProcessRunner& runner)
{
    return std::make_unique<CCommandWallpaperSetter>(
        runner, QStringLiteral("swaymsg"),
        [](const CWallpaperFiles& f) {
            return QStringList{QStringLiteral("output"), QStringLiteral("*"), QStringLiteral("bg"), SwayQuoted(f.png),
                               QStringLiteral("tile")};
        },
        true);
}

std::unique_ptr<IWallpaperSetter> CCommandWallpaperSetter::Feh(IProcessRunner& runner)
{
    return std::make_unique<CCommandWallpaperSetter>(
        runner, QStringLiteral("feh"),
        [](const CWallpaperFiles& f) { return QStringList{QStringLiteral("--bg-tile"), f.bmp}; },
        false);
}

std::unique_ptr<IWallpaperSetter> CCommandWallpaperSetter::Xwallpaper(IProcessRunner& runner)
{
    return std::make_unique<CCommandWallpaperSetter>(
        runner, QStringLiteral("xwallpaper"),
        [](const CWallpaperFiles& f) { return QStringList{QStringLiteral("--tile"), f.png}; }, true);
}

void CCommandWallpaperSetter::Load(const CWallpaperFiles& files, StepDone done)
{
    RunInTurn(m_runner, &m_context, {{m_program, m_arguments(files)}}, std::move(done));
}

} // namespace quorrel::output
