#pragma once
// Runs an action when the scope ends, however it ends: a flag put back, a
// slot emptied, a share let go. What owns a handle is a UniqueHandle kind
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
  ~ScopeExit() { action_(); }

  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  Action action_;
};

}  // namespace orvane
