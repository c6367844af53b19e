#include "platform/win32/message_wait_adapter.h"

#include "platform/win32/message_dispatch.h"

namespace orvane::win32 {

void Win32MessageWait::HandleUntil(const std::function<bool()>& done) {
  HandleMessagesUntil(/*object=*/nullptr, done);
}

}  // namespace orvane::win32
