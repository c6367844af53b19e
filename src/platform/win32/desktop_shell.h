#pragma once
// Documents opened by the desktop's own shell, the one the user's session
// runs, rather than by this process.

#include <string>

namespace orvane::win32 {

// How long the desktop's shell is given to answer. Explorer answers at
// once; one that hangs (stuck on a network drive) never does.
constexpr unsigned kDesktopShellAnswerMs = 15000;

enum class DesktopShellAnswer {
  kOpened,    // the desktop's shell opened the file
  kNone,      // there is no desktop shell to ask (no Explorer, a service's
              // session, Wine without its desktop) or it refused: nothing
              // was started
  kNoAnswer,  // it did not answer in time; it may still open the file later
};

// Asks the desktop's shell (Explorer) to open `file` with `arguments` in a
// window of `windowStyle` (SW_ values), as if the user had opened it there:
// the program that opens it runs with the desktop's rights, not with this
// process's, so that a handler that any program of the user may register
// never runs elevated. The started process cannot be had through this
// route. Asked from a thread of its own, in an apartment of its own, so
// that a hung Explorer cannot hold this thread: meanwhile this thread's
// window messages are handled (the window's handlers may run nested inside
// this call), for kDesktopShellAnswerMs at most. The process's COM security
// must be set before. Throws Failure when the wait fails.
DesktopShellAnswer OpenThroughDesktopShell(const std::wstring& file,
                                           const std::wstring& arguments,
                                           int windowStyle);

}  // namespace orvane::win32
