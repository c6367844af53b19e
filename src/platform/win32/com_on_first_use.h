#pragma once
// COM for the program's one thread, set up as ScopedCom does, but only when
// a service first needs it: the window shows without waiting for COM, and a
// run of the program that never needs it never sets it up. Undone when it
// goes.

#include <optional>

#include "platform/win32/scoped_com.h"

namespace orvane::win32 {

class ComOnFirstUse {
 public:
  // Sets COM up (CoInitializeEx, then CoInitializeSecurity) the first time
  // it is called on the thread; does nothing later. Each adapter calls it
  // before its first COM call, so that the process's security is set before
  // any call crosses to another process. Never throws: when COM cannot be
  // set up, the calls that need it fail with their own errors.
  void Enter() noexcept {
    if (!com_) com_.emplace();
  }

 private:
  std::optional<ScopedCom> com_;
};

}  // namespace orvane::win32
