#pragma once
// The player's own supervisor, the process the autostart entry starts: it
// runs the player as a child and starts it again after a crash, at most
// kMostRestarts times (the count starts afresh after a child has played
// for kSteadySeconds), waiting a little longer each time; then it stops
// with one line on stderr, which the session keeps in its log. A child that
// cannot play at all (no display, a broken frames file: status 2) is not
// restarted. SIGTERM, SIGINT or SIGHUP end the child and the supervisor.
// A supervisor in the player itself, not a shell wrapper or a systemd unit:
// autostart runs it the same way on every desktop, with or without a user
// manager, and it ends exactly its own child.

#include <csignal>
#include <string>
#include <vector>

namespace quorrel::living {

inline constexpr int kMostRestarts = 3;
inline constexpr int kSteadySeconds = 300;

// Runs `program` with `arguments` until it ends cleanly, cannot play, or
// crashed too often. `signals` holds the blocked signals to answer. Returns
// the process's exit status.
int Supervise(const std::string& program, const std::vector<std::string>& arguments, const sigset_t& signals);

} // namespace quorrel::living
