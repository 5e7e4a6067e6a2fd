#pragma once
// The session bus, looked at before anything waits on it. A bus that
// accepts connections but never answers would hold up whoever connects
// (Qt's own connection waits long for the bus's greeting): the bus is asked
// for its first answer here, within a short bounded time, with no D-Bus
// library involved.

#include <chrono>
#include <string>

namespace quorrel::output {

enum class BusAnswer {
    Answered,      // it answered the greeting in time
    Silent,        // it took the connection but said nothing in time
    Unreachable,   // nothing there (no socket, connection refused)
    NotChecked,    // no address, or a kind of address this cannot try
};

// The session bus's address as a D-Bus library would take it: the
// DBUS_SESSION_BUS_ADDRESS given, else $XDG_RUNTIME_DIR/bus where that
// socket exists; empty when there is neither.
std::string SessionBusAddress(const std::string& addressVariable, const std::string& runtimeFolder);
std::string SessionBusAddress();   // from this process's environment

// Connects to the first unix socket of `address` ("unix:path=..." or
// "unix:abstract=...", ";"-separated alternatives) and waits at most `wait`
// for the bus to answer the start of an authentication.
BusAnswer ProbeBus(const std::string& address, std::chrono::milliseconds wait);

// The bus, named for a message: the address cut to a sensible length.
std::string ShownBusAddress(const std::string& address);

// How long the session bus is given to answer.
constexpr std::chrono::milliseconds kBusAnswerWait{3000};

// Probes the session bus once for the process (later calls give the first
// answer), and the address it probed.
BusAnswer SessionBusAnswer();
std::string FirstSessionBusAddress();

// "the session bus (unix:path=/run/user/1000/bus) did not answer within 3 s".
std::string SilentBusText(const std::string& address);

// For the editor, before its application object is made: when the session
// bus takes connections but does not answer, Qt's accessibility bridge and
// every later D-Bus connection of this process are pointed away from it (a
// note on stderr says so), so the window appears whatever the bus does.
void GuardAgainstStalledBus();

} // namespace quorrel::output
