#pragma once
// Dispatches one queued message the way every loop of the program must:
// dialog keys (Tab, Enter, Space on a button) go to the top-level window's
// IsDialogMessage first, everything else is translated and dispatched.
// Used by the main message loop and by the shell's wait for a program.

#include <windows.h>

namespace orvane::win32 {

void DispatchWindowMessage(MSG& msg);

}  // namespace orvane::win32
