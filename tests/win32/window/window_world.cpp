#include "window_world.h"

#include "platform/win32/message_dispatch.h"

namespace orvane::win32 {

bool PumpPending() {
  bool quit = false;
  MSG msg;
  while (PeekMessageW(&msg, /*hWnd=*/nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quit = true;
      continue;
    }
    DispatchWindowMessage(msg);
  }
  return quit;
}

}  // namespace orvane::win32
