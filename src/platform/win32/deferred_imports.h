#pragma once
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

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>

#include "platform/win32/loader.h"

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
