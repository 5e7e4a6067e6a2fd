#pragma once
// --set-wallpaper: the image made the desktop wallpaper through the editor's
// own setters (the same file, "Quorrel Wallpaper.bmp" in the editor's data
// folder, and the same helpers), tiled. What can be known before rendering
// is checked then: that there is a desktop to set, that it can show the
// image (a desktop that cannot tile needs the screen's size, which only
// --fill gives), and that the wallpaper's file can be written.

#include "output/DesktopWallpaper.h"

#include <QImage>
#include <QSize>

#include <memory>
#include <string>

namespace quorrel::tools {

class CWallpaperStep final {
public:
    CWallpaperStep();
    ~CWallpaperStep();

    // Before rendering; `filled` says whether the image is a --fill image.
    // False with a one-line message.
    bool Prepare(bool filled, std::string& error);

    // Sets `image` and waits for the desktop's answer (running the event
    // loop). `screen`: the size of the filled image, or none for a tile.
    // False with a one-line message.
    bool Set(const QImage& image, QSize screen, std::string& error);

private:
    std::unique_ptr<output::CDesktopWallpaper> m_wallpaper;
};

// The one line for a wallpaper that could not be set.
std::string WallpaperFailureLine(const output::CWallpaperResult& result);

} // namespace quorrel::tools
