#pragma once
// The program's main message loop.

namespace orvane::win32 {

// Dispatches the thread's messages (dialog keys first) until WM_QUIT, and
// answers the exit code that WM_QUIT carried.
int RunMessageLoop();

}  // namespace orvane::win32
