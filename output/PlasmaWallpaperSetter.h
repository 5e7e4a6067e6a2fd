#pragma once
// KDE Plasma: a script run by plasmashell over D-Bus sets every desktop's
// image wallpaper to tiled and to our file.

#include "ProcessRunner.h"
#include "WallpaperSetter.h"

namespace quorrel::output {

class CPlasmaWallpaperSetter final : public IWallpaperSetter {
public:
    explicit CPlasmaWallpaperSetter(IProcessRunner& runner) : m_runner(runner) {}

    // Fill mode 3 (tiled), and the image cleared: Plasma does not reload a
    // file whose name it already shows, so the name must change in between.
    void SetTiledMode() override;
    void Load(const CWallpaperFiles& files) override;

    // The scripts, for the tests.
    static QString TiledModeScript();
    static QString LoadScript(const QString& bmp);

private:
    void Evaluate(const QString& script);

    IProcessRunner& m_runner;
};

} // namespace quorrel::output
