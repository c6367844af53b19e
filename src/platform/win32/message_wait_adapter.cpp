#include "platform/win32/message_wait_adapter.h"

#include "platform/win32/message_dispatch.h"

namespace orvane::win32 {

bool Win32MessageWait::HandleUntil(const std::function<bool()>& done,
                                   int timeoutMs) {
  return HandleMessagesUntil(/*object=*/nullptr, done,
                             static_cast<DWORD>(timeoutMs));
}

void Win32MessageWait::Pause(int ms) noexcept {
  Sleep(static_cast<DWORD>(ms));
}

}  // namespace orvane::win32
