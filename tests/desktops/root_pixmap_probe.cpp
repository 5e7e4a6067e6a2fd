// Prints what the root window's _XROOTPMAP_ID names: the pixmap's id and
// size on stderr, its pixels as a binary PPM on stdout. Exits 1 when the
// property is missing or names a pixmap that no longer exists.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>

namespace {
bool g_failed = false;
int Failed(Display*, XErrorEvent*)
{
    g_failed = true;
    return 0;
}
} // namespace

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 1;
    XSetErrorHandler(&Failed);
    const Window root = DefaultRootWindow(display);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    Pixmap pixmap = 0;
    if (XGetWindowProperty(display, root, XInternAtom(display, "_XROOTPMAP_ID", True), 0, 1, False, XA_PIXMAP, &type,
                           &format, &items, &after, &data) == Success &&
        type == XA_PIXMAP && items == 1 && data)
        std::memcpy(&pixmap, data, sizeof pixmap);
    if (data)
        XFree(data);
    if (!pixmap) {
        std::fprintf(stderr, "no _XROOTPMAP_ID\n");
        return 1;
    }
    Window r = 0;
    int x = 0, y = 0;
    unsigned w = 0, h = 0, border = 0, depth = 0;
    if (!XGetGeometry(display, pixmap, &r, &x, &y, &w, &h, &border, &depth) || g_failed) {
        std::fprintf(stderr, "_XROOTPMAP_ID 0x%lx names no pixmap\n", pixmap);
        return 1;
    }
    XImage* image = XGetImage(display, pixmap, 0, 0, w, h, AllPlanes, ZPixmap);
    XSync(display, False);
    if (!image || g_failed) {
        std::fprintf(stderr, "_XROOTPMAP_ID 0x%lx cannot be read\n", pixmap);
        return 1;
    }
    std::fprintf(stderr, "0x%lx %ux%u\n", pixmap, w, h);
    std::printf("P6\n%u %u\n255\n", w, h);
    for (unsigned j = 0; j < h; ++j) {
        for (unsigned i = 0; i < w; ++i) {
            const unsigned long p = XGetPixel(image, int(i), int(j));
            const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                          static_cast<unsigned char>(p)};
            std::fwrite(rgb, 1, 3, stdout);
        }
    }
    XDestroyImage(image);
    XCloseDisplay(display);
    return 0;
}
