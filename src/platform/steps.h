#pragma once
// Continue-on-error: a procedure runs its steps one after the other; a step
// that fails is abandoned, its failure becomes the recorded error (the latest
// one wins) and the next step runs. Start-up, the pass, the report writes and
// the process queries all run their steps through one Steps each.

#include <exception>
#include <utility>

#include "platform/failure.h"

namespace orvane {

class Steps {
 public:
  // Runs one step. Returns true when it completed, false when it failed and
  // its failure was recorded. Exceptions that are not a Failure (bad_alloc,
  // logic errors) are recorded as well: no step may end the procedure.
  template <class Step>
  bool operator()(Step&& step) noexcept {
    try {
      std::forward<Step>(step)();
      return true;
    } catch (const Failure& failure) {
      recorded_ = failure.AsRecord();
      // A failure must stay visible; 0 would read as "none".
      if (recorded_.number == 0) recorded_.number = kUnexpectedFailure;
    } catch (const std::exception& e) {
      recorded_ = {kUnexpectedFailure, e.what()};
    } catch (...) {
      recorded_ = {kUnexpectedFailure, "Unexpected failure"};
    }
    return false;
  }

  const RecordedError& recorded() const { return recorded_; }
  void Clear() { recorded_ = {}; }

  // Number given to failures that carry none of their own.
  static constexpr std::int32_t kUnexpectedFailure = 51;  // "Internal error"

 private:
  RecordedError recorded_;
};

}  // namespace orvane
