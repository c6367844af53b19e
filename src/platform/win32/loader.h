#pragma once
// A function of a system DLL looked up by name at its first call rather
// than imported: one that older Windows versions lack (the program must
// still start there), or one whose DLL the process should not load (and
// pay for what it loads in turn) before its window shows. The DLL comes
// from the system directory by its full path: never one from the
// program's own folder or the current directory, also on XP, where the
// search order cannot be limited.
//
//   SystemFunction<decltype(&::CoUninitialize)> coUninitialize{
//       L"ole32.dll", "CoUninitialize"};
//   SystemFunction<decltype(&::SysStringLen)> sysStringLen{
//       L"oleaut32.dll", "SysStringLen", 0};
//
// Only the function's type is taken from the system's declaration. Kept at
// namespace scope or as a static: the object keeps the function once found
// and asks again, at the next call, while it cannot be had.

#include <windows.h>

#include <type_traits>

namespace orvane::win32 {

// The untyped half of SystemFunction, written once.
class SystemFunctionLookup {
 public:
  SystemFunctionLookup(const SystemFunctionLookup&) = delete;
  SystemFunctionLookup& operator=(const SystemFunctionLookup&) = delete;

 protected:
  constexpr SystemFunctionLookup(const wchar_t* dll,
                                 const char* name) noexcept
      : dll_(dll), name_(name) {}

  // The function `name` of the system DLL `dll`, which is loaded if it is
  // not yet and never freed, as an import would stay; null, with the
  // lookup's error as the thread's last error, while it cannot be had.
  void* Find() noexcept;

 private:
  const wchar_t* dll_;
  const char* name_;
  void* found_ = nullptr;
};

template <class Function>
class SystemFunction;

template <class Result, class... Args>
class SystemFunction<Result(WINAPI*)(Args...)> : SystemFunctionLookup {
  struct Nothing {};
  using Missing = std::conditional_t<std::is_void_v<Result>, Nothing, Result>;

 public:
  using Pointer = Result(WINAPI*)(Args...);

  // `missing` is what a call answers while the function cannot be had, as
  // a failure of the function itself would. Only a function that answers
  // nothing leaves it out: a default 0 would be S_OK for an HRESULT.
  constexpr SystemFunction(const wchar_t* dll, const char* name,
                           Missing missing) noexcept
      : SystemFunctionLookup(dll, name), missing_(missing) {}
  constexpr SystemFunction(const wchar_t* dll, const char* name) noexcept
      : SystemFunctionLookup(dll, name), missing_() {
    static_assert(std::is_void_v<Result>, "state what a call answers when missing");
  }

  // The function; null, with the lookup's error as the last error, while
  // it cannot be had.
  Pointer get() noexcept { return reinterpret_cast<Pointer>(Find()); }

  // Calls the function; when it cannot be had, does nothing else and
  // answers `missing`, leaving the lookup's error as the last error.
  Result operator()(Args... args) noexcept {
    const Pointer function = get();
    if constexpr (std::is_void_v<Result>) {
      if (function) function(args...);
    } else {
      return function ? function(args...) : missing_;
    }
  }

 private:
  Missing missing_;
};

}  // namespace orvane::win32
