#include "ui/win32/message_loop.h"

#include <windows.h>

#include "platform/win32/message_dispatch.h"

namespace orvane::win32 {

int RunMessageLoop() {
  MSG msg{};
  // GetMessageW answers -1 only for a bad window handle or message
  // pointer, neither of which can happen here.
  while (GetMessageW(&msg, /*hWnd=*/nullptr, 0, 0) > 0) {
    DispatchWindowMessage(msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace orvane::win32
