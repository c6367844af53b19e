#pragma once
// Ending a process through a handle, the one way every adapter does it.

#include <windows.h>

namespace orvane::win32 {

// Ends `process` (opened with PROCESS_TERMINATE and SYNCHRONIZE) with
// `exitCode`. Answers false, ending nothing, when it has ended already: its
// own exit code stands (Wine would "end" it again without complaint, and
// Windows refuses one that ended just before the call). Throws Failure when
// a running process cannot be ended.
bool EndUnlessEnded(HANDLE process, UINT exitCode);

}  // namespace orvane::win32
