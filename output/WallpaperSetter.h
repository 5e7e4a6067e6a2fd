#pragma once
// Makes a desktop show the wallpaper file tiled. Setting a wallpaper runs in
// three steps: SetTiledMode, then the file is written, then Load, so the
// desktop never shows the new file in its old placement.

#include <QString>

namespace quorrel::output {

struct CWallpaperFiles {
    QString bmp;   // "Quorrel Wallpaper.bmp"
    QString png;   // the same tile beside it, for setters that cannot read BMP
};

class IWallpaperSetter {
public:
    virtual ~IWallpaperSetter() = default;
    // Whether Load needs files.png written as well.
    virtual bool NeedsPng() const { return false; }
    virtual void SetTiledMode() {}
    // Makes the desktop load the file, also when its name is the one it
    // already shows.
    virtual void Load(const CWallpaperFiles& files) = 0;
};

// A GVariant text literal for gsettings: 'text' with ' and \ escaped.
QString GVariantString(const QString& text);

// The file URL of a local path, as desktops store it ("file:///a/b%20c.bmp").
QString FileUrl(const QString& path);

} // namespace quorrel::output
