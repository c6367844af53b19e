#pragma once
// The functions of ole32, oleaut32 and advapi32 that the adapters call,
// with the system's signatures. Each is looked up in its system DLL at its
// first call, so that a process does not load these DLLs (and what they
// load in turn) before its window shows: the window needs none of them;
// COM, the management service and the event log do, later or never. The
// DLLs come from the system directory only (SystemFunction).
//
// None throws. When a function cannot be had (its DLL or its entry point is
// missing), the call answers as the function itself answers a failure: an
// HRESULT or a registry error ERROR_PROC_NOT_FOUND, FALSE or nullptr with
// that last error, and does nothing else; VariantInit, which cannot fail,
// still marks the value empty.

#include <windows.h>
#include <oleauto.h>

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

// advapi32
LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved,
                        LPWSTR keyClass, DWORD options, REGSAM access,
                        LPSECURITY_ATTRIBUTES security, PHKEY result,
                        LPDWORD disposition) noexcept;
LSTATUS RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type,
                         LPBYTE data, LPDWORD size) noexcept;
LSTATUS RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type,
                       const BYTE* data, DWORD size) noexcept;
LSTATUS RegCloseKey(HKEY key) noexcept;
HANDLE RegisterEventSourceW(LPCWSTR server, LPCWSTR source) noexcept;
BOOL ReportEventW(HANDLE log, WORD type, WORD category, DWORD id, PSID user,
                  WORD stringCount, DWORD dataSize, LPCWSTR* strings,
                  void* data) noexcept;
BOOL DeregisterEventSource(HANDLE log) noexcept;

}  // namespace orvane::win32::deferred
