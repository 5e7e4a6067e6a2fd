// The root window's background on X11: each frame becomes a new pixmap of
// the tile's size, set as the root window's background (the server repeats
// it from the root's corner) and named in _XROOTPMAP_ID and
// ESETROOT_PMAP_ID, so compositors and transparent terminals follow it.
// The pixmap before is freed at once: the server keeps the background's
// own reference, so the root shows it until the next one replaces it, and
// the server holds two tiles at most. The pixmaps are this connection's own
// (not kept with RetainPermanent): when the player ends, however it ends,
// the server frees them. On a clean end the background found at the start
// (another setter's retained pixmap) is put back with its properties.

#include "Background.h"
#include "X11Root.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/dpms.h>

#include <cstring>

namespace quorrel::living {

namespace {

// X errors arrive later than the request that caused them: the handler
// keeps the last one and the next Show reports it.
int g_lastError = 0;
int KeepError(Display*, XErrorEvent* event)
{
    g_lastError = event->error_code;
    return 0;
}

Pixmap RootPixmap(Display* display, Window root, Atom atom)
{
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    Pixmap pixmap = 0;
    if (XGetWindowProperty(display, root, atom, 0, 1, False, XA_PIXMAP, &type, &format, &items, &after, &data) ==
            Success &&
        type == XA_PIXMAP && format == 32 && items == 1 && data)
        std::memcpy(&pixmap, data, sizeof pixmap);
    if (data)
        XFree(data);
    return pixmap;
}

bool Exists(Display* display, Pixmap pixmap)
{
    if (!pixmap)
        return false;
    Window root = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    g_lastError = 0;
    const Status found = XGetGeometry(display, pixmap, &root, &x, &y, &width, &height, &border, &depth);
    XSync(display, False);
    const bool exists = found && g_lastError == 0;
    g_lastError = 0;
    return exists;
}


class CX11Background final : public IBackground {
public:
    ~CX11Background() override;
    bool Open(std::string& error);

    int Fd() const override { return ConnectionNumber(m_display); }
    bool Dispatch(std::string& error) override;
    bool Show(const CFrameView& frame, std::string& error) override;
    bool Visible() const override;

private:
    void SetProperties(Pixmap pixmap);

    Display* m_display = nullptr;
    Window m_root = 0;
    int m_depth = 0;
    Visual* m_visual = nullptr;
    Atom m_rootPmap = 0;
    Atom m_esetroot = 0;
    Pixmap m_current = 0;
    Pixmap m_previous = 0;   // what the root showed before us, when it still exists
    bool m_dpms = false;
};

CX11Background::~CX11Background()
{
    if (!m_display)
        return;
    if (m_previous) {
        XSetWindowBackgroundPixmap(m_display, m_root, m_previous);
        SetProperties(m_previous);
    } else {
        XSetWindowBackground(m_display, m_root, BlackPixel(m_display, DefaultScreen(m_display)));
        XDeleteProperty(m_display, m_root, m_rootPmap);
        XDeleteProperty(m_display, m_root, m_esetroot);
    }
    XClearWindow(m_display, m_root);
    if (m_current)
        XFreePixmap(m_display, m_current);
    XSync(m_display, False);
    XCloseDisplay(m_display);
}

void CX11Background::SetProperties(Pixmap pixmap)
{
    for (const Atom atom : {m_rootPmap, m_esetroot})
        XChangeProperty(m_display, m_root, atom, XA_PIXMAP, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&pixmap), 1);
}

bool CX11Background::Open(std::string& error)
{
    m_display = XOpenDisplay(nullptr);
    if (!m_display) {
        error = "cannot open the X display (is DISPLAY set?)";
        return false;
    }
    XSetErrorHandler(&KeepError);
    const int screen = DefaultScreen(m_display);
    m_root = RootWindow(m_display, screen);
    m_depth = DefaultDepth(m_display, screen);
    m_visual = DefaultVisual(m_display, screen);
    // The frames' words are the server's 24-bit ZPixmap only on a TrueColor
    // visual with 8 bits red, green and blue in that order.
    if ((m_depth != 24 && m_depth != 32) || m_visual->red_mask != 0xff0000 || m_visual->green_mask != 0xff00 ||
        m_visual->blue_mask != 0xff) {
        error = "the X screen's default visual is not 24-bit true colour";
        return false;
    }
    m_rootPmap = XInternAtom(m_display, "_XROOTPMAP_ID", False);
    m_esetroot = XInternAtom(m_display, "ESETROOT_PMAP_ID", False);
    const Pixmap before = RootPixmap(m_display, m_root, m_rootPmap);
    if (Exists(m_display, before))
        m_previous = before;
    int event = 0, errorBase = 0;
    m_dpms = DPMSQueryExtension(m_display, &event, &errorBase) && DPMSCapable(m_display);
    return true;
}

bool CX11Background::Dispatch(std::string& error)
{
    // No events are selected; whatever arrives is read and dropped. A lost
    // connection ends in Xlib's own handler (the process exits).
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
    }
    if (g_lastError) {
        char text[128] = {};
        XGetErrorText(m_display, g_lastError, text, sizeof text - 1);
        error = std::string("the X server refused a request: ") + text;
        g_lastError = 0;
        return false;
    }
    return true;
}

bool CX11Background::Show(const CFrameView& frame, std::string& error)
{
    if (g_lastError)
        return Dispatch(error);
    const Pixmap pixmap = XCreatePixmap(m_display, m_root, unsigned(frame.width), unsigned(frame.height),
                                        unsigned(m_depth));
    // An image over the frame's own words: nothing is copied on this side.
    XImage image{};
    image.width = frame.width;
    image.height = frame.height;
    image.format = ZPixmap;
    image.data = const_cast<char*>(reinterpret_cast<const char*>(frame.pixels));
    image.byte_order = LSBFirst;
    image.bitmap_unit = 32;
    image.bitmap_bit_order = LSBFirst;
    image.bitmap_pad = 32;
    image.depth = m_depth;
    image.bytes_per_line = frame.strideWords * 4;
    image.bits_per_pixel = 32;
    image.red_mask = 0xff0000;
    image.green_mask = 0xff00;
    image.blue_mask = 0xff;
    if (!XInitImage(&image)) {
        XFreePixmap(m_display, pixmap);
        error = "the frame cannot be described to the X server";
        return false;
    }
    const GC gc = DefaultGC(m_display, DefaultScreen(m_display));
    XPutImage(m_display, pixmap, gc, &image, 0, 0, 0, 0, unsigned(frame.width), unsigned(frame.height));
    XSetWindowBackgroundPixmap(m_display, m_root, pixmap);
    SetProperties(pixmap);
    XClearWindow(m_display, m_root);
    if (m_current)
        XFreePixmap(m_display, m_current);
    m_current = pixmap;
    XFlush(m_display);
    return true;
}

bool CX11Background::Visible() const
{
    if (!m_dpms)
        return true;
    CARD16 level = DPMSModeOn;
    BOOL enabled = False;
    return !DPMSInfo(m_display, &level, &enabled) || !enabled || level == DPMSModeOn;
}

} // namespace

bool LiveRootPixmap(unsigned long& pixmap, std::string& error)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        error = "cannot open the X display (is DISPLAY set?)";
        return false;
    }
    XSetErrorHandler(&KeepError);
    const Window root = DefaultRootWindow(display);
    pixmap = RootPixmap(display, root, XInternAtom(display, "_XROOTPMAP_ID", False));
    if (!Exists(display, pixmap))
        pixmap = 0;
    XCloseDisplay(display);
    return true;
}

bool RestoreRootPixmap(unsigned long pixmap, std::string& error)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        error = "cannot open the X display (is DISPLAY set?)";
        return false;
    }
    XSetErrorHandler(&KeepError);
    const Window root = DefaultRootWindow(display);
    const Atom rootPmap = XInternAtom(display, "_XROOTPMAP_ID", False);
    const Atom esetroot = XInternAtom(display, "ESETROOT_PMAP_ID", False);
    if (Exists(display, pixmap)) {
        XSetWindowBackgroundPixmap(display, root, pixmap);
        for (const Atom atom : {rootPmap, esetroot})
            XChangeProperty(display, root, atom, XA_PIXMAP, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&pixmap), 1);
        XClearWindow(display, root);
    } else if (const Pixmap named = RootPixmap(display, root, rootPmap); named && !Exists(display, named)) {
        XSetWindowBackground(display, root, BlackPixel(display, DefaultScreen(display)));
        XDeleteProperty(display, root, rootPmap);
        XDeleteProperty(display, root, esetroot);
        XClearWindow(display, root);
    }
    XSync(display, False);
    XCloseDisplay(display);
    return true;
}

std::unique_ptr<IBackground> OpenX11Background(std::string& error)
{
    auto background = std::make_unique<CX11Background>();
    if (!background->Open(error))
        return nullptr;
    return background;
}

} // namespace quorrel::living
