#pragma once
// Where the living wallpaper's player draws: the desktop's background on one
// window system, each output showing the frame repeated from its top-left
// corner. The player owns the loop and the clock; a background only shows
// what it is given and says whether anything of it can be seen.

#include <cstdint>
#include <memory>
#include <string>

namespace quorrel::living {

// One frame of the loop: 32-bit words 0xffRRGGBB, rows strideWords apart
// (QImage::Format_RGB32's layout, which is wl_shm's XRGB8888 and the X
// server's 24-bit ZPixmap on a little-endian machine).
struct CFrameView {
    const uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int strideWords = 0;
};

class IBackground {
public:
    virtual ~IBackground() = default;
    // A descriptor that becomes readable when the window system has news.
    virtual int Fd() const = 0;
    // Handles what arrived; false (with the reason) when the connection is gone.
    virtual bool Dispatch(std::string& error) = 0;
    // Shows `frame` on every output, tiled from the output's top-left corner;
    // false with the reason.
    virtual bool Show(const CFrameView& frame, std::string& error) = 0;
    // Whether drawing is worth it now: some output is on and the session is
    // not locked, as far as the window system tells.
    virtual bool Visible() const = 0;
};

// The root window's tile on X11 (DISPLAY); nothing with the reason.
std::unique_ptr<IBackground> OpenX11Background(std::string& error);
// A layer-shell background surface per output on a wlroots compositor
// (WAYLAND_DISPLAY); nothing with the reason.
std::unique_ptr<IBackground> OpenWaylandBackground(std::string& error);

} // namespace quorrel::living
