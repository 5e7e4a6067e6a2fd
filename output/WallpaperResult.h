#pragma once
// What setting the wallpaper came to, as data: the desktop detected, what
// was tried, whether it worked and why not, and where the image file is.
// The application turns a failure into a message; a program without windows
// can print it.

#include "DesktopDetection.h"
#include "ErrorMessage.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace quorrel::output {

struct CWallpaperResult {
    CDesktopSession session;      // what was detected
    QStringList tried;            // what was tried, in order (command lines, notes)
    QString problem;              // why the desktop does not show it; empty: it does
    QString imagePath;            // the tile's file, to set by hand
    uint32_t saveStatus = kStatusOk;
    bool superseded = false;      // a newer request took its place before it started

    bool WallpaperSet() const { return problem.isEmpty() && !superseded; }
};

// The text of the message shown when the wallpaper could not be set.
QString WallpaperFailureText(const CWallpaperResult& result);

} // namespace quorrel::output
