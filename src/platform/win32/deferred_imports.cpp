#include "platform/win32/deferred_imports.h"

#include <objbase.h>

#include "platform/win32/system_library.h"

namespace orvane::win32::deferred {
namespace {

constexpr wchar_t kOle32[] = L"ole32.dll";
constexpr wchar_t kOleAut32[] = L"oleaut32.dll";
constexpr wchar_t kAdvapi32[] = L"advapi32.dll";

constexpr HRESULT kMissing = HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);

// The system's own function, kept in `cache` once found; nullptr while it
// cannot be had. Only its type is taken from the system's declaration: the
// DLL is never imported.
template <class Function>
Function Find(Function& cache, const wchar_t* dll, const char* name) noexcept {
  if (!cache) {
    try {
      cache = SystemFunction<Function>(dll, name);
    } catch (...) {
      // Asked again at the next call.
    }
  }
  return cache;
}

// For the functions that answer a failure with their last error.
template <class Result>
Result MissingWithLastError(Result failed) noexcept {
  SetLastError(ERROR_PROC_NOT_FOUND);
  return failed;
}

}  // namespace

HRESULT CoInitializeEx(void* reserved, DWORD apartment) noexcept {
  static decltype(&::CoInitializeEx) cache;
  const auto f = Find(cache, kOle32, "CoInitializeEx");
  return f ? f(reserved, apartment) : kMissing;
}

HRESULT CoInitializeSecurity(PSECURITY_DESCRIPTOR descriptor, LONG services,
                             SOLE_AUTHENTICATION_SERVICE* authServices,
                             void* reserved1, DWORD authnLevel, DWORD impLevel,
                             void* authList, DWORD capabilities,
                             void* reserved3) noexcept {
  static decltype(&::CoInitializeSecurity) cache;
  const auto f = Find(cache, kOle32, "CoInitializeSecurity");
  return f ? f(descriptor, services, authServices, reserved1, authnLevel,
               impLevel, authList, capabilities, reserved3)
           : kMissing;
}

void CoUninitialize() noexcept {
  static decltype(&::CoUninitialize) cache;
  const auto f = Find(cache, kOle32, "CoUninitialize");
  if (f) f();
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context,
                         REFIID iid, void** object) noexcept {
  static decltype(&::CoCreateInstance) cache;
  const auto f = Find(cache, kOle32, "CoCreateInstance");
  if (f) return f(clsid, outer, context, iid, object);
  if (object) *object = nullptr;
  return kMissing;
}

HRESULT CoSetProxyBlanket(IUnknown* proxy, DWORD authnService,
                          DWORD authzService, OLECHAR* principal,
                          DWORD authnLevel, DWORD impLevel,
                          RPC_AUTH_IDENTITY_HANDLE authInfo,
                          DWORD capabilities) noexcept {
  static decltype(&::CoSetProxyBlanket) cache;
  const auto f = Find(cache, kOle32, "CoSetProxyBlanket");
  return f ? f(proxy, authnService, authzService, principal, authnLevel,
               impLevel, authInfo, capabilities)
           : kMissing;
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) noexcept {
  static decltype(&::SysAllocStringLen) cache;
  const auto f = Find(cache, kOleAut32, "SysAllocStringLen");
  return f ? f(text, length) : nullptr;
}

void SysFreeString(BSTR text) noexcept {
  static decltype(&::SysFreeString) cache;
  const auto f = Find(cache, kOleAut32, "SysFreeString");
  if (f) f(text);
}

UINT SysStringLen(BSTR text) noexcept {
  static decltype(&::SysStringLen) cache;
  const auto f = Find(cache, kOleAut32, "SysStringLen");
  return f ? f(text) : 0;
}

void VariantInit(VARIANT* value) noexcept {
  static decltype(&::VariantInit) cache;
  const auto f = Find(cache, kOleAut32, "VariantInit");
  if (f) {
    f(value);
  } else {
    value->vt = VT_EMPTY;
  }
}

HRESULT VariantClear(VARIANT* value) noexcept {
  static decltype(&::VariantClear) cache;
  const auto f = Find(cache, kOleAut32, "VariantClear");
  return f ? f(value) : kMissing;
}

LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved,
                        LPWSTR keyClass, DWORD options, REGSAM access,
                        LPSECURITY_ATTRIBUTES security, PHKEY result,
                        LPDWORD disposition) noexcept {
  static decltype(&::RegCreateKeyExW) cache;
  const auto f = Find(cache, kAdvapi32, "RegCreateKeyExW");
  return f ? f(key, subKey, reserved, keyClass, options, access, security,
               result, disposition)
           : ERROR_PROC_NOT_FOUND;
}

LSTATUS RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type,
                         LPBYTE data, LPDWORD size) noexcept {
  static decltype(&::RegQueryValueExW) cache;
  const auto f = Find(cache, kAdvapi32, "RegQueryValueExW");
  return f ? f(key, name, reserved, type, data, size) : ERROR_PROC_NOT_FOUND;
}

LSTATUS RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type,
                       const BYTE* data, DWORD size) noexcept {
  static decltype(&::RegSetValueExW) cache;
  const auto f = Find(cache, kAdvapi32, "RegSetValueExW");
  return f ? f(key, name, reserved, type, data, size) : ERROR_PROC_NOT_FOUND;
}

LSTATUS RegCloseKey(HKEY key) noexcept {
  static decltype(&::RegCloseKey) cache;
  const auto f = Find(cache, kAdvapi32, "RegCloseKey");
  return f ? f(key) : ERROR_PROC_NOT_FOUND;
}

HANDLE RegisterEventSourceW(LPCWSTR server, LPCWSTR source) noexcept {
  static decltype(&::RegisterEventSourceW) cache;
  const auto f = Find(cache, kAdvapi32, "RegisterEventSourceW");
  return f ? f(server, source) : MissingWithLastError<HANDLE>(nullptr);
}

BOOL ReportEventW(HANDLE log, WORD type, WORD category, DWORD id, PSID user,
                  WORD stringCount, DWORD dataSize, LPCWSTR* strings,
                  void* data) noexcept {
  static decltype(&::ReportEventW) cache;
  const auto f = Find(cache, kAdvapi32, "ReportEventW");
  return f ? f(log, type, category, id, user, stringCount, dataSize, strings,
               data)
           : MissingWithLastError<BOOL>(FALSE);
}

BOOL DeregisterEventSource(HANDLE log) noexcept {
  static decltype(&::DeregisterEventSource) cache;
  const auto f = Find(cache, kAdvapi32, "DeregisterEventSource");
  return f ? f(log) : MissingWithLastError<BOOL>(FALSE);
}

}  // namespace orvane::win32::deferred
