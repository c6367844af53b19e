#pragma once
// Port: waiting on the program's one thread while its window's messages are
// handled.

#include <functional>

namespace orvane {

class MessageWait {
 public:
  virtual ~MessageWait() = default;

  // Handles this thread's window messages, the window's handlers running
  // nested inside this call, until `done` answers true; asks it before the
  // first wait and after each round of messages. A quit message seen
  // meanwhile is left for the loop further out. Throws Failure when the
  // wait fails.
  virtual void HandleUntil(const std::function<bool()>& done) = 0;
};

}  // namespace orvane
