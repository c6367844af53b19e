#pragma once
// Port: waiting on the program's one thread while its window's messages are
// handled.

#include <functional>

namespace orvane {

class MessageWait {
 public:
  virtual ~MessageWait() = default;

  // Handles this thread's window messages, the window's handlers running
  // nested inside this call, until `done` answers true or `timeoutMs` have
  // passed; asks it before the first wait and after each round of
  // messages. Answers whether `done` did; an empty `done` never does. A
  // quit message seen meanwhile is left for the loop further out. Throws
  // Failure when the wait fails.
  virtual bool HandleUntil(const std::function<bool()>& done,
                           int timeoutMs) = 0;

  // Waits `ms` and handles no message meanwhile: for a handler inside a
  // message that must return soon, where no other handler may run nested.
  // Never throws.
  virtual void Pause(int ms) noexcept = 0;
};

}  // namespace orvane
