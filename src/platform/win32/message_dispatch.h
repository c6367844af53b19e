#pragma once
// Dispatches one queued message the way every loop of the program must:
// dialog keys (Tab, Enter, Space on a button) go to the top-level window's
// IsDialogMessage first, everything else is translated and dispatched.
// Used by the main message loop, by the waits that handle messages and by
// the adapter of their port, MessageWait.

#include <windows.h>

#include <functional>

#include "platform/message_wait.h"

namespace orvane::win32 {

void DispatchWindowMessage(MSG& msg);

// Handles this thread's messages, the window's handlers running nested
// inside this call for whatever arrives (Stop, close, repaint, the end of
// the session), until `object` (none when null) is signalled, `done` (when
// not empty) answers true, which is asked before each wait, or `timeoutMs`
// have passed; answers false only for the last. A WM_QUIT does not end the
// handling: a process that keeps no window still answers the messages that
// other programs send or broadcast to it; it is posted again on return, so
// that the loop further out sees it. Throws Failure when the wait fails.
bool HandleMessagesUntil(HANDLE object, const std::function<bool()>& done,
                         DWORD timeoutMs = INFINITE);

// The wait for messages on Win32: the same handling of this thread's
// messages as the shell's wait for a program.
class Win32MessageWait : public MessageWait {
 public:
  bool HandleUntil(const std::function<bool()>& done, int timeoutMs) override;
  void Pause(int ms) noexcept override;
};

}  // namespace orvane::win32
