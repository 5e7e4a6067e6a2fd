#include "PlasmaLivingScripts.h"

#include "output/PlasmaWallpaperSetter.h"
#include "output/rotation/PlasmaRotation.h"
#include "output/rotation/RotationState.h"

namespace quorrel::output::living {

QString PlasmaLivingInstallScript(const QString& pluginId, const QString& loopFileUrl)
{
    // The marker line is the rotation's, so that one parser reads both.
    return QStringLiteral("var id = %1; var all = desktops();"
                          " for (var i = 0; i < all.length; i++) {"
                          " var d = all[i];"
                          " if (d.wallpaperPlugin != id) {"
                          " d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];"
                          " print(\"quorrel-previous\\t\" + i + \"\\t\" + d.wallpaperPlugin + \"\\t\""
                          " + d.readConfig(\"Image\") + \"\\t\" + d.readConfig(\"FillMode\") + \"\\n\"); }"
                          " d.wallpaperPlugin = id;"
                          " d.currentConfigGroup = [\"Wallpaper\", id, \"General\"];"
                          " d.writeConfig(\"Source\", \"\");"
                          " d.writeConfig(\"Source\", %2); }")
        .arg(JsString(pluginId), JsString(loopFileUrl));
}

QString PlasmaLivingRemoveScript(const QList<QPair<QString, QString>>& previous)
{
    // Our own plugin is never put back: that would leave the loop playing
    // (or a black desktop once its file is gone).
    rotation::CRotationState state;
    for (const auto& entry : previous)
        if (entry.second.section(u'\t', 0, 0) != kPlasmaLivingPluginId)
            state.previous.append(entry);
    // Source cleared while our plugin still shows, so the live configuration
    // it writes to is our own; then the wallpapers before; last, whatever
    // desktop is still ours gets Plasma's image wallpaper.
    const QString id = JsString(kPlasmaLivingPluginId);
    return QStringLiteral("var all = desktops();"
                          " for (var i = 0; i < all.length; i++) {"
                          " var d = all[i];"
                          " d.currentConfigGroup = [\"Wallpaper\", %1, \"General\"];"
                          " if (d.readConfig(\"Source\", \"\") != \"\") d.writeConfig(\"Source\", \"\"); } ")
               .arg(id) +
           rotation::CPlasmaRotation::RemoveScript(state) +
           QStringLiteral(" for (var i = 0; i < all.length; i++)"
                          " if (all[i].wallpaperPlugin == %1) all[i].wallpaperPlugin = \"org.kde.image\";")
               .arg(id);
}

} // namespace quorrel::output::living
