#include "GSettingsWallpaperSetter.h"

namespace quorrel::output {

CGSettingsWallpaperSetter::CSchema CGSettingsWallpaperSetter::Gnome()
{
    // picture-uri-dark exists from GNOME 42 on; older ones refuse it harmlessly.
    return {QStringLiteral("org.gnome.desktop.background"), {QStringLiteral("picture-uri")},
            {QStringLiteral("picture-uri-dark")}, true};
}

CGSettingsWallpaperSetter::CSchema CGSettingsWallpaperSetter::Cinnamon()
{
    return {QStringLiteral("org.cinnamon.desktop.background"), {QStringLiteral("picture-uri")}, {}, true};
}

CGSettingsWallpaperSetter::CSchema CGSettingsWallpaperSetter::Mate()
{
    return {QStringLiteral("org.mate.background"), {QStringLiteral("picture-filename")}, {}, false};
}

void CGSettingsWallpaperSetter::SetTiledMode(StepDone done)
{
    RunInTurn(m_runner, &m_context, {Set(QStringLiteral("picture-options"), GVariantString(QStringLiteral("wallpaper")))},
              std::move(done));
}

void CGSettingsWallpaperSetter::Load(const CWallpaperFiles& files, StepDone done)
{
    const QString value = GVariantString(m_schema.pictureAsUrl ? FileUrl(files.bmp) : files.bmp);
    QList<CHelperCall> calls;
    for (const QString& key : m_schema.pictureKeys)
        calls << Set(key, value);
    for (const QString& key : m_schema.optionalKeys)
        calls << Set(key, value, true);
    RunInTurn(m_runner, &m_context, std::move(calls), std::move(done));
}

CHelperCall CGSettingsWallpaperSetter::Set(const QString& key, const QString& value, bool optional) const
{
    // gsettings ends with 0 when the settings could not be stored (no
    // session bus for dconf), saying so only on standard error.
    return {QStringLiteral("gsettings"), {QStringLiteral("set"), m_schema.schema, key, value}, optional, true};
}

} // namespace quorrel::output
