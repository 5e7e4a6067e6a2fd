#pragma once
// Windows: "TileWallpaper" = "1" under the user's "Control Panel\Desktop"
// key, then SystemParametersInfo loads the BMP (profile updated, no
// broadcast).

#include "WallpaperSetter.h"

namespace quorrel::output {

#ifdef Q_OS_WIN
class CWindowsWallpaperSetter final : public IWallpaperSetter {
public:
    void SetTiledMode(StepDone done) override;
    void Load(const CWallpaperFiles& files, StepDone done) override;
};
#endif

} // namespace quorrel::output
