#pragma once
// Port: the previous-instance test.

namespace orvane {

class PreviousInstance {
 public:
  virtual ~PreviousInstance() = default;

  // True when another instance of this program runs on the machine, in any
  // session. The first call claims the program for this process for the
  // rest of its life; later calls answer the same.
  virtual bool IsRunning() = 0;
};

}  // namespace orvane
