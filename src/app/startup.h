#pragma once
// Start-up: the program's logic begins here.

#include "core/context.h"

namespace orvane {

// Gives way to a running instance (an unattended start then ends with exit
// code 1 and a warning event; a claim that is not an instance's, with exit
// code 1 and an error event), warns in an event when the program's folder
// is open to others, checks that the defragmenter is present,
// reads the switches, builds the watched command line and loads the window
// (minimized, with a run started at once, for "-S"). Returns when the
// program should run its message loop (the window is loaded) or end (it is
// not). Failures from the presence check on are shown in one message box;
// when one of them ends the program, the exit code is 1.
void Main(Context& ctx);

}  // namespace orvane
