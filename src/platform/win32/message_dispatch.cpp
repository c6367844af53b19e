#include "platform/win32/message_dispatch.h"

#include "platform/win32/win32_error.h"

namespace orvane::win32 {
namespace {

// Any message wakes the wait. Windows 8 added QS_TOUCH and QS_POINTER
// (0x0800, 0x1000) to QS_ALLINPUT, and older Windows fail the whole wait at
// once with an invalid parameter when the mask holds them.
constexpr UINT kAnyMessage = QS_ALLINPUT;
static_assert((kAnyMessage & 0x1800) == 0,
              "the wait mask must hold no flag newer than Windows XP");

// Handles every message waiting in this thread's queue. A WM_QUIT is not
// handled: it sets `quitSeen` and `quitCode`, and the handling goes on.
void DispatchPending(bool& quitSeen, int& quitCode) {
  MSG msg;
  while (PeekMessageW(&msg, /*hWnd=*/nullptr, /*wMsgFilterMin=*/0,
                      /*wMsgFilterMax=*/0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quitSeen = true;
      quitCode = static_cast<int>(msg.wParam);
      continue;
    }
    DispatchWindowMessage(msg);
  }
}

}  // namespace

bool HandleMessagesUntil(HANDLE object, const std::function<bool()>& done,
                         DWORD timeoutMs) {
  int quitCode = 0;
  bool quitSeen = false;
  DWORD waitError = ERROR_SUCCESS;
  bool waitFailed = false;
  bool timedOut = false;
  const DWORD start = GetTickCount();  // differences survive its wrap
  for (;;) {
    // Messages already in the queue first: MsgWaitForMultipleObjects wakes
    // only for input that arrived since the queue was last looked at, and a
    // loop further out may have looked without taking everything.
    DispatchPending(quitSeen, quitCode);
    if (done && done()) break;
    DWORD left = INFINITE;
    if (timeoutMs != INFINITE) {
      const DWORD waited = GetTickCount() - start;
      // A stream of messages must not keep the limit from ending the wait.
      if (waited >= timeoutMs) {
        timedOut = true;
        break;
      }
      left = timeoutMs - waited;
    }
    const DWORD count = object ? 1 : 0;
    const DWORD result = MsgWaitForMultipleObjects(
        count, object ? &object : nullptr, /*fWaitAll=*/FALSE, left,
        kAnyMessage);
    if (object && result == WAIT_OBJECT_0) break;
    if (result == WAIT_TIMEOUT) {
      timedOut = true;
      break;
    }
    if (result != WAIT_OBJECT_0 + count) {
      waitFailed = true;
      waitError = GetLastError();
      break;
    }
  }
  // The quit belongs to the loop that called us; let it see it.
  if (quitSeen) PostQuitMessage(quitCode);
  if (waitFailed) {
    throw FailureFromWin32(waitError != ERROR_SUCCESS ? waitError
                                                      : ERROR_GEN_FAILURE);
  }
  return !timedOut;
}

void DispatchWindowMessage(MSG& msg) {
  HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  if (root && IsDialogMessageW(root, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

bool Win32MessageWait::HandleUntil(const std::function<bool()>& done,
                                   int timeoutMs) {
  return HandleMessagesUntil(/*object=*/nullptr, done,
                             static_cast<DWORD>(timeoutMs));
}

void Win32MessageWait::Pause(int ms) noexcept {
  Sleep(static_cast<DWORD>(ms));
}

}  // namespace orvane::win32
