#pragma once
// The wait for messages on Win32: the same handling of this thread's
// messages as the shell's wait for a program.

#include "platform/message_wait.h"

namespace orvane::win32 {

class Win32MessageWait : public MessageWait {
 public:
  bool HandleUntil(const std::function<bool()>& done, int timeoutMs) override;
  void Pause(int ms) noexcept override;
};

}  // namespace orvane::win32
