#pragma once
// Desktops whose background lives in GSettings: GNOME and its relatives,
// Cinnamon, MATE. They read BMP and watch the file, so a new tile under the
// same name shows up.

#include "ProcessRunner.h"
#include "WallpaperSetter.h"

#include <QStringList>

namespace quorrel::output {

class CGSettingsWallpaperSetter final : public IWallpaperSetter {
public:
    struct CSchema {
        QString schema;             // "org.gnome.desktop.background"
        QStringList pictureKeys;    // "picture-uri", "picture-uri-dark"
        bool pictureAsUrl = true;   // file URL, or a plain path (MATE)
    };
    static CSchema Gnome();
    static CSchema Cinnamon();
    static CSchema Mate();

    CGSettingsWallpaperSetter(IProcessRunner& runner, CSchema schema) : m_runner(runner), m_schema(std::move(schema)) {}

    // picture-options 'wallpaper': the desktops' name for tiled.
    void SetTiledMode() override;
    void Load(const CWallpaperFiles& files) override;

private:
    void Set(const QString& key, const QString& value);

    IProcessRunner& m_runner;
    CSchema m_schema;
};

} // namespace quorrel::output
