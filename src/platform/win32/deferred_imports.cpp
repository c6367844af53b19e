#include "platform/win32/deferred_imports.h"

#include <objbase.h>

#include "platform/failure.h"
#include "platform/win32/system_library.h"

namespace orvane::win32::deferred {
namespace {

constexpr wchar_t kOle32[] = L"ole32.dll";
constexpr wchar_t kOleAut32[] = L"oleaut32.dll";
constexpr wchar_t kShell32[] = L"shell32.dll";

constexpr HRESULT kMissing = HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);

// The system's own function, kept in `cache` once found; nullptr, with the
// lookup's error as the last error, while it cannot be had. Only its type
// is taken from the system's declaration: the DLL is never imported.
template <class Function>
Function Find(Function& cache, const wchar_t* dll, const char* name) noexcept {
  if (!cache) {
    try {
      cache = SystemFunction<Function>(dll, name);
    } catch (const Failure& failure) {
      // Asked again at the next call.
      SetLastError(HRESULT_CODE(failure.number()));
    } catch (...) {
    }
  }
  return cache;
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

BOOL ShellExecuteExW(SHELLEXECUTEINFOW* info) noexcept {
  static decltype(&::ShellExecuteExW) cache;
  const auto f = Find(cache, kShell32, "ShellExecuteExW");
  return f ? f(info) : FALSE;
}

}  // namespace orvane::win32::deferred
