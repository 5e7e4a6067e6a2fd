#include "KeyLockState.h"

#include <QGuiApplication>

#if QUORREL_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

namespace quorrel::platform {

std::optional<bool> IsKeyLockOn(KeyLock key)
{
#if QUORREL_HAVE_X11
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return std::nullopt;
    // The keyboard's indicators by name: their numbers differ between keymaps.
    const char* name = key == KeyLock::Caps ? "Caps Lock" : key == KeyLock::Num ? "Num Lock" : "Scroll Lock";
    const Atom atom = XInternAtom(display, name, True);
    if (atom == None)
        return std::nullopt;
    Bool on = False;
    if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr))
        return std::nullopt;
    return on == True;
#else
    (void)key;
    return std::nullopt;
#endif
}

} // namespace quorrel::platform
