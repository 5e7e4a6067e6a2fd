#pragma once
// KDE Plasma's living wallpaper: Quorrel's own wallpaper package (installed
// from resources/plasma/living/) plays the loop file tiled, switched on and
// off by scripts that plasmashell runs through the Plasma setter's scripting
// call (CPlasmaWallpaperSetter::ScriptCall). No process of ours runs.

#include <QList>
#include <QPair>
#include <QString>

namespace quorrel::output::living {

// The package's id: its folder name under plasma/wallpapers/ and the
// "Id" of its metadata.json.
inline const QString kPlasmaLivingPluginId = QStringLiteral("com.vantorel.quorrel.living");

// Switches every desktop to `pluginId` playing `loopFileUrl` (a file URL).
// Before that it prints, for each desktop not already on the plugin, the
// line CPlasmaRotation::PreviousWallpapers reads: its index, plugin, Image
// and FillMode. Source is cleared and set again, so a loop rewritten under
// the same name is read afresh.
QString PlasmaLivingInstallScript(const QString& pluginId, const QString& loopFileUrl);

// Puts back the wallpapers `previous` names (PreviousWallpapers' entries);
// a desktop still on our plugin with nothing to put back gets Plasma's
// image wallpaper. Our plugin's Source is cleared on every desktop (the
// scripting interface cannot delete a group), so no path of ours is left.
QString PlasmaLivingRemoveScript(const QList<QPair<QString, QString>>& previous);

} // namespace quorrel::output::living
