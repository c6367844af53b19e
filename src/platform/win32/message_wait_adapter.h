#pragma once
// The wait for messages on Win32: the same handling of this thread's
// messages as the shell's wait for a program.

#include "platform/message_wait.h"

namespace orvane::win32 {

class Win32MessageWait : public MessageWait {
 public:
  void HandleUntil(const std::function<bool()>& done) override;
};

}  // namespace orvane::win32
