#include "GSettingsWallpaperSetter.h"

namespace quorrel::output {

namespace {
const QString kGSettings = QStringLiteral("gsettings");
}

CGSettingsWallpaperSetter::CSchema CGSettingsWallpaperSetter::Gnome()
{
    // picture-uri-dark exists from GNOME 42 on; older ones refuse it harmlessly.
    return {QStringLiteral("org.gnome.desktop.background"),
            {QStringLiteral("picture-uri"), QStringLiteral("picture-uri-dark")}, true};
}

CGSettingsWallpaperSetter::CSchema CGSettingsWallpaperSetter::Cinnamon()
{
    return {QStringLiteral("org.cinnamon.desktop.background"), {QStringLiteral("picture-uri")}, true};
}

CGSettingsWallpaperSetter::CSchema CGSettingsWallpaperSetter::Mate()
{
    return {QStringLiteral("org.mate.background"), {QStringLiteral("picture-filename")}, false};
}

void CGSettingsWallpaperSetter::SetTiledMode()
{
    Set(QStringLiteral("picture-options"), GVariantString(QStringLiteral("wallpaper")));
}

void CGSettingsWallpaperSetter::Load(const CWallpaperFiles& files)
{
    const QString value = GVariantString(m_schema.pictureAsUrl ? FileUrl(files.bmp) : files.bmp);
    for (const QString& key : m_schema.pictureKeys)
        Set(key, value);
}

void CGSettingsWallpaperSetter::Set(const QString& key, const QString& value)
{
    m_runner.Run(kGSettings, {QStringLiteral("set"), m_schema.schema, key, value});
}

} // namespace quorrel::output
