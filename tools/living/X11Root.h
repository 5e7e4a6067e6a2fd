#pragma once
// The root window's background as other setters leave it: the pixmap named
// by _XROOTPMAP_ID. The player remembers the one it found at its first
// start in the living folder, so that a player started again after a crash
// (whose predecessor's pixmaps died with it) and off can still put it back.

#include <string>

namespace quorrel::living {

// The pixmap _XROOTPMAP_ID names when it still exists; 0 otherwise.
// False (with the reason) when the display cannot be opened.
bool LiveRootPixmap(unsigned long& pixmap, std::string& error);

// Shows `pixmap` as the root's background again with its properties, when
// it still exists; otherwise, when the root's properties name a pixmap that
// is gone, a plain background without them. False with the reason.
bool RestoreRootPixmap(unsigned long pixmap, std::string& error);

} // namespace quorrel::living
