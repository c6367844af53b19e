#pragma once
// Runs an action when the scope ends, however it ends: a flag put back, a
// slot emptied, a timer killed. What owns a handle is a UniqueHandle kind
// (platform/win32/resource.h) instead.
//
//   state.pActivePass = &record;
//   ScopeExit inactive([&state] { state.pActivePass = nullptr; });

#include <utility>

namespace orvane {

template <class Action>
class ScopeExit {
 public:
  explicit ScopeExit(Action action) noexcept : action_(std::move(action)) {}
  ~ScopeExit() {
    if (armed_) action_();
  }

  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;
  ScopeExit(ScopeExit&& other) noexcept
      : action_(std::move(other.action_)), armed_(std::exchange(other.armed_, false)) {}
  ScopeExit& operator=(ScopeExit&&) = delete;

  // Dismisses the action: it will not run.
  void release() noexcept { armed_ = false; }

 private:
  Action action_;
  bool armed_ = true;
};

}  // namespace orvane
