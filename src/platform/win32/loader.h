#pragma once
// How the program loads system DLLs: where DLLs loaded by bare name come
// from, and the functions looked up by name rather than imported.
//
// SystemFunction: a function of a system DLL looked up by name at its first
// call rather than imported: one that older Windows versions lack (the
// program must still start there), or one whose DLL the process should not
// load (and pay for what it loads in turn) before its window shows. The DLL comes
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
#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>

#include <type_traits>

namespace orvane::win32 {

// DLLs from the system directory only, never from the program's own folder
// or the current directory: DLLs that the system's own DLLs load by name
// later (themes, COM, the management service, the shell) would otherwise be
// looked for there first. Where Windows cannot narrow the search that far
// (XP, and Vista and 7 without update KB2533623), the current directory at
// least is left out. Call first thing, before any such load.
void LoadDllsFromSystemDirectoryOnly();

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

// The functions of ole32, oleaut32 and shell32 that the adapters call,
// with the system's signatures. Each is looked up in its system DLL at its
// first call (SystemFunction), so that a process does not load COM, OLE
// automation and the shell (and what they load in turn) before its window
// shows: the window needs none of them; the busy test and Report do, later
// or never. advapi32 stays imported: user32 imports it, so every process
// with a window has it loaded anyway.
//
// None throws. When a function cannot be had (its DLL or its entry point is
// missing), the call answers as a failure of the function itself would:
// HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND), a null BSTR, a length of 0, or
// FALSE, with the lookup's error as the last error, and does nothing else;
// CoCreateInstance then leaves `*object` as it was (the callers pass an
// emptied ComPtr).

namespace orvane::win32::deferred {

inline constexpr wchar_t kOle32[] = L"ole32.dll";
inline constexpr wchar_t kOleAut32[] = L"oleaut32.dll";
inline constexpr HRESULT kProcNotFound =
    HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);

// ole32
inline SystemFunction<decltype(&::CoInitializeEx)> CoInitializeEx{
    kOle32, "CoInitializeEx", kProcNotFound};
inline SystemFunction<decltype(&::CoInitializeSecurity)> CoInitializeSecurity{
    kOle32, "CoInitializeSecurity", kProcNotFound};
inline SystemFunction<decltype(&::CoUninitialize)> CoUninitialize{
    kOle32, "CoUninitialize"};
inline SystemFunction<decltype(&::CoCreateInstance)> CoCreateInstance{
    kOle32, "CoCreateInstance", kProcNotFound};
inline SystemFunction<decltype(&::CoSetProxyBlanket)> CoSetProxyBlanket{
    kOle32, "CoSetProxyBlanket", kProcNotFound};

// oleaut32
inline SystemFunction<decltype(&::SysAllocStringLen)> SysAllocStringLen{
    kOleAut32, "SysAllocStringLen", nullptr};
inline SystemFunction<decltype(&::SysFreeString)> SysFreeString{
    kOleAut32, "SysFreeString"};
inline SystemFunction<decltype(&::SysStringLen)> SysStringLen{
    kOleAut32, "SysStringLen", 0};
inline SystemFunction<decltype(&::VariantClear)> VariantClear{
    kOleAut32, "VariantClear", kProcNotFound};
// Marking the value empty is all the system's VariantInit does: nothing to
// look up, and nothing that can be missing.
inline void VariantInit(VARIANT* value) noexcept { value->vt = VT_EMPTY; }

// shell32
inline SystemFunction<decltype(&::ShellExecuteExW)> ShellExecuteExW{
    L"shell32.dll", "ShellExecuteExW", FALSE};

}  // namespace orvane::win32::deferred
