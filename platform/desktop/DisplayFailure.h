#pragma once
// The editor without a usable display. Qt ends a program whose display
// cannot be opened (no X server at DISPLAY, an empty or junk DISPLAY, an
// unknown QT_QPA_PLATFORM) with a fatal message of five lines and an abort.
// While the application object is being made, a DisplayFailureGuard catches
// that instead: one line that names the display, and exit status 1.

#include <QString>
#include <QStringList>

namespace quorrel::desktop {

// What the line is made from: the environment's display settings and what
// Qt said before it gave up.
struct DisplaySettings {
    QString platform;         // QT_QPA_PLATFORM
    QString display;          // DISPLAY
    bool displaySet = false;
    QString waylandDisplay;   // WAYLAND_DISPLAY
};

// "quorrel: cannot open display :699", "quorrel: no display platform
// \"junk\" (QT_QPA_PLATFORM)"...: one line without the program's prefix, and
// with every value from outside cut to a sensible length and stripped of
// control characters.
QString DisplayFailureLine(const DisplaySettings& settings, const QStringList& qtMessages);

// The process's own display settings.
DisplaySettings CurrentDisplaySettings();

// Installed for its lifetime: Qt's messages meanwhile are held back (and
// printed as usual when it ends without a failure); a fatal one ends the
// process with "quorrel: " + DisplayFailureLine(...) and status 1.
class DisplayFailureGuard final {
public:
    DisplayFailureGuard();
    ~DisplayFailureGuard();
    DisplayFailureGuard(const DisplayFailureGuard&) = delete;
    DisplayFailureGuard& operator=(const DisplayFailureGuard&) = delete;
};

} // namespace quorrel::desktop
