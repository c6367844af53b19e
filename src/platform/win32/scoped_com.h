#pragma once
// COM for the program's one thread: a single-threaded apartment, and the
// process's security set so that the management service may act for the
// user (impersonation). Set up by ComOnFirstUse when an adapter first
// needs COM, not at start-up; undone when it goes.

#include <windows.h>

#include <optional>

namespace orvane::win32 {

class ScopedCom {
 public:
  // Never throws: when COM cannot be set up, the calls that need it fail
  // one by one with their own errors, which the program handles already.
  ScopedCom() noexcept;
  ~ScopedCom();

  ScopedCom(const ScopedCom&) = delete;
  ScopedCom& operator=(const ScopedCom&) = delete;

  // The result of CoInitializeEx (S_FALSE: COM was set up already on this
  // thread) and of CoInitializeSecurity (RPC_E_TOO_LATE: the process's
  // security was set already).
  HRESULT initialize_result() const noexcept { return initialize_; }
  HRESULT security_result() const noexcept { return security_; }

 private:
  HRESULT initialize_;
  HRESULT security_ = E_FAIL;
};

// COM for the program's one thread, set up as ScopedCom does, but only when
// a service first needs it: the window shows without waiting for COM, and a
// run of the program that never needs it never sets it up. Undone when it
// goes.
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
