#include "WindowSystem.h"

#include <QGuiApplication>

#if QUORREL_HAVE_X11
#include <X11/Xlib.h>
#endif

namespace quorrel::platform {

bool HasWindowManager()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return true;
#if QUORREL_HAVE_X11
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return true;
    const Atom selection = XInternAtom(display, "WM_S0", False);
    return XGetSelectionOwner(display, selection) != None;
#else
    return true;
#endif
}

} // namespace quorrel::platform
