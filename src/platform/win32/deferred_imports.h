#pragma once
// The functions of ole32, oleaut32 and shell32 that the adapters call,
// with the system's signatures. Each is looked up in its system DLL at its
// first call, so that a process does not load COM, OLE automation and the
// shell (and what they load in turn) before its window shows: the window
// needs none of them; the busy test and Report do, later or never. The
// DLLs come from the system directory only (SystemFunction). advapi32
// stays imported: user32 imports it, so every process with a window has it
// loaded anyway.
//
// None throws. When a function cannot be had (its DLL or its entry point is
// missing), the call answers as a failure of the function itself would:
// HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND), a null BSTR, a length of 0, or
// FALSE with the lookup's error as the last error, and does nothing else;
// VariantInit, which cannot fail, still marks the value empty.

#include <windows.h>
#include <oleauto.h>
#include <shellapi.h>

namespace orvane::win32::deferred {

// ole32
HRESULT CoInitializeEx(void* reserved, DWORD apartment) noexcept;
HRESULT CoInitializeSecurity(PSECURITY_DESCRIPTOR descriptor, LONG services,
                             SOLE_AUTHENTICATION_SERVICE* authServices,
                             void* reserved1, DWORD authnLevel, DWORD impLevel,
                             void* authList, DWORD capabilities,
                             void* reserved3) noexcept;
void CoUninitialize() noexcept;
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context,
                         REFIID iid, void** object) noexcept;
HRESULT CoSetProxyBlanket(IUnknown* proxy, DWORD authnService,
                          DWORD authzService, OLECHAR* principal,
                          DWORD authnLevel, DWORD impLevel,
                          RPC_AUTH_IDENTITY_HANDLE authInfo,
                          DWORD capabilities) noexcept;

// oleaut32
BSTR SysAllocStringLen(const OLECHAR* text, UINT length) noexcept;
void SysFreeString(BSTR text) noexcept;
UINT SysStringLen(BSTR text) noexcept;
void VariantInit(VARIANT* value) noexcept;
HRESULT VariantClear(VARIANT* value) noexcept;

// shell32
BOOL ShellExecuteExW(SHELLEXECUTEINFOW* info) noexcept;

}  // namespace orvane::win32::deferred
