#pragma once
// Port: the previous-instance test.

namespace orvane {

// What the test found.
enum class OtherInstance {
  kNone,     // no other instance: this process now holds the program's claim
  kOurs,     // another instance of this program runs
  kForeign,  // the claim is held by something that cannot be told to be an
             // instance of this program: anyone may have made it, to keep
             // the program from running
};

class PreviousInstance {
 public:
  virtual ~PreviousInstance() = default;

  // Whether another instance of this program runs on the machine, in any
  // session. The first call claims the program for this process for the
  // rest of its life when no one holds the claim; later calls answer the
  // same.
  virtual OtherInstance Find() = 0;
};

}  // namespace orvane
