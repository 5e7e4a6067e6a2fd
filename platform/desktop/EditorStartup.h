#pragma once
// The first steps of the editor's start-up that come before any window:
// the command line, and the hand-over of file names to an editor that is
// already running.

#include "CommandLine.h"

class QTextStream;

namespace quorrel::desktop {

class SingleInstance;

struct StartupDecision {
    bool quit = false;         // end now with `exitCode`
    int exitCode = 0;
    EditorCommandLine commandLine;
};

// --help and --version print to `out` and quit; a wrong command line
// prints its error to `err` and quits with 2; file names to open go to a
// running editor when one takes them (then quit). Otherwise the editor
// runs: an editor that opens or creates documents listens on `instance`
// for later starts; one that only prints does not.
StartupDecision DecideStartup(const QStringList& arguments, SingleInstance& instance, QTextStream& out,
                              QTextStream& err);

} // namespace quorrel::desktop
