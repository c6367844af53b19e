#pragma once
// Port: the account this process runs as.

namespace orvane {

class ProcessAccount {
 public:
  virtual ~ProcessAccount() = default;

  // Whether this process runs as SYSTEM (LocalSystem, S-1-5-18), as a task
  // scheduled for it does. False when it cannot be told. Never throws.
  virtual bool IsLocalSystem() noexcept = 0;
};

}  // namespace orvane
