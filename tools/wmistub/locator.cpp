// The DLL's entry points: the class object of CLSID_WbemLocator and the
// locator it makes, whose ConnectServer binds ROOT\CIMV2 of this machine.

#include <windows.h>
#include <wbemcli.h>

#include <string>

#include "com_object.h"
#include "services.h"
#include "settings.h"
#include "wql.h"

namespace wmistub {
namespace {

constexpr HRESULT Wbem(WBEMSTATUS status) { return static_cast<HRESULT>(status); }

// "\\server\root\cimv2" or "root\cimv2" for this machine, any letter case
// and either slash.
bool IsLocalCimv2(const wchar_t* resource) {
  std::wstring name = resource;
  for (wchar_t& c : name)
    if (c == L'/') c = L'\\';
  if (name.compare(0, 2, L"\\\\") == 0) {
    const size_t slash = name.find(L'\\', 2);
    if (slash == std::wstring::npos) return false;
    name = name.substr(slash + 1);
  }
  return EqualNoCase(name, L"root\\cimv2");
}

class Locator final : public ComObject<IWbemLocator> {
 public:
  HRESULT STDMETHODCALLTYPE ConnectServer(const BSTR resource, const BSTR user,
                                          const BSTR password, const BSTR,
                                          LONG, const BSTR, IWbemContext*,
                                          IWbemServices** services) override {
    HRESULT hr = CrossProcessCall();
    if (FAILED(hr)) {
      // refused on the way, as COM refuses it
    } else if (services == nullptr || resource == nullptr) {
      hr = Wbem(WBEM_E_INVALID_PARAMETER);
    } else if (LoadSettings().refuseConnect) {
      hr = Wbem(WBEM_E_ACCESS_DENIED);
    } else if (!IsLocalCimv2(resource)) {
      hr = Wbem(WBEM_E_INVALID_NAMESPACE);
    } else if ((user != nullptr && user[0] != L'\0') ||
               (password != nullptr && password[0] != L'\0')) {
      // A local connection takes the caller's own credentials only.
      hr = Wbem(WBEM_E_LOCAL_CREDENTIALS);
    }
    if (services != nullptr) *services = SUCCEEDED(hr) ? NewServices() : nullptr;
    Log({L"ConnectServer", ArgText(resource), HresultText(hr)});
    return hr;
  }
};

class Factory final : public ComObject<IClassFactory> {
 public:
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid,
                                           void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    Locator* locator = new Locator();
    const HRESULT hr = locator->QueryInterface(iid, out);
    locator->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      InterlockedIncrement(&gLiveObjects);
    } else {
      InterlockedDecrement(&gLiveObjects);
    }
    return S_OK;
  }
};

}  // namespace
}  // namespace wmistub

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (clsid != CLSID_WbemLocator) return CLASS_E_CLASSNOTAVAILABLE;
  auto* factory = new wmistub::Factory();
  const HRESULT hr = factory->QueryInterface(iid, out);
  factory->Release();
  return hr;
}

STDAPI DllCanUnloadNow() {
  return wmistub::gLiveObjects == 0 ? S_OK : S_FALSE;
}
