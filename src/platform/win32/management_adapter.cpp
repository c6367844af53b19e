#include "platform/win32/management_adapter.h"

#include <objbase.h>

#include <memory>
#include <string>
#include <utility>

#include "platform/win32/process_list_adapter.h"
#include "platform/win32/resource.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_error.h"

namespace orvane::win32 {
namespace {

// The exit code that Terminate gives the process.
constexpr LONG kTerminateReason = 1;

// The WBEMSTATUS values as the HRESULTs that the calls answer (the headers
// declare them as an unsigned enumeration).
constexpr HRESULT kNotFound = static_cast<HRESULT>(WBEM_E_NOT_FOUND);
constexpr HRESULT kInvalidParameter =
    static_cast<HRESULT>(WBEM_E_INVALID_PARAMETER);
constexpr HRESULT kFailed = static_cast<HRESULT>(WBEM_E_FAILED);
constexpr HRESULT kInvalidObjectPath =
    static_cast<HRESULT>(WBEM_E_INVALID_OBJECT_PATH);
constexpr HRESULT kInvalidMethod = static_cast<HRESULT>(WBEM_E_INVALID_METHOD);
constexpr HRESULT kMethodNotImplemented =
    static_cast<HRESULT>(WBEM_E_METHOD_NOT_IMPLEMENTED);
constexpr HRESULT kNotSupported = static_cast<HRESULT>(WBEM_E_NOT_SUPPORTED);
constexpr LONG kWaitForever = static_cast<LONG>(WBEM_INFINITE);

void ThrowIfFailed(HRESULT hr) {
  if (FAILED(hr)) throw FailureFromHresult(hr);
}

// A property as text, "" when it is empty or missing: a query that selects
// only some properties leaves the others out.
std::wstring TextProperty(IWbemClassObject* object, const wchar_t* name) {
  ScopedVariant value;
  if (FAILED(object->Get(name, /*lFlags=*/0, value.addressof(),
                         /*pType=*/nullptr, /*plFlavor=*/nullptr))) {
    return {};
  }
  return value.Text();
}

// Every proxy of the service, the services' and each query's enumerator,
// lets it act for the caller (needed to end processes): a proxy left to the
// machine's defaults may not, and its calls then fail. A service that runs
// in this process (Wine) has no proxy to set: E_NOINTERFACE.
void LetActForCaller(IUnknown* proxy) {
  const HRESULT hr = deferred::CoSetProxyBlanket(
      proxy, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, /*pServerPrincName=*/nullptr,
      RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE,
      /*pAuthInfo=*/nullptr, EOAC_NONE);
  if (hr != E_NOINTERFACE) ThrowIfFailed(hr);
}

ComPtr<IWbemServices> BindService() {
  ComPtr<IWbemLocator> locator;
  ThrowIfFailed(deferred::CoCreateInstance(
      CLSID_WbemLocator, /*pUnkOuter=*/nullptr, CLSCTX_INPROC_SERVER,
      IID_IWbemLocator, reinterpret_cast<void**>(locator.addressof())));

  ComPtr<IWbemServices> services;
  ThrowIfFailed(locator->ConnectServer(
      UniqueBstr(L"ROOT\\CIMV2").get(), /*strUser=*/nullptr,
      /*strPassword=*/nullptr, /*strLocale=*/nullptr, /*lSecurityFlags=*/0,
      /*strAuthority=*/nullptr, /*pCtx=*/nullptr, services.addressof()));
  LetActForCaller(services.get());
  return services;
}

// Win32_Process.Terminate's ReturnValue as a failure.
Failure TerminateRefused(LONG returnValue) {
  HRESULT number;
  switch (returnValue) {
    case 2:  // access denied
    case 3:  // insufficient privilege
      number = HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
      break;
    case 9: number = kNotFound; break;  // path not found
    case 21: number = kInvalidParameter; break;
    default: number = kFailed; break;
  }
  return Failure(number,
                 "The process could not be ended (Terminate answered " +
                     std::to_string(returnValue) + ")");
}

// Handle is the process id in decimal.
bool ParseProcessId(const std::wstring& handle, DWORD& id) {
  if (handle.empty() || handle.size() > 10) return false;
  unsigned long long value = 0;
  for (wchar_t c : handle) {
    if (c < L'0' || c > L'9') return false;
    value = value * 10 + static_cast<unsigned>(c - L'0');
  }
  if (value > MAXDWORD) return false;
  id = static_cast<DWORD>(value);
  return true;
}

void TerminateDirectly(DWORD processId) {
  UniqueProcess process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE,
                                    /*bInheritHandle=*/FALSE, processId));
  if (!process) throw LastWin32Failure();
  // Tell the caller that it has gone, as the service would.
  if (!EndUnlessEnded(process.get(), kTerminateReason)) {
    throw Failure(kNotFound, "The process has ended already");
  }
}

}  // namespace

ProcessCollection Win32ManagementService::ExecQuery(const std::string& query) {
  if (com_) com_->Enter();
  ComPtr<IWbemServices> services = BindService();

  ComPtr<IEnumWbemClassObject> results;
  ThrowIfFailed(services->ExecQuery(
      UniqueBstr(L"WQL").get(), UniqueBstr(Utf8ToWide(query)).get(),
      WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
      /*pCtx=*/nullptr, results.addressof()));
  LetActForCaller(results.get());

  ProcessCollection processes;
  for (;;) {
    ComPtr<IWbemClassObject> object;
    ULONG returned = 0;
    // With WBEM_FLAG_RETURN_IMMEDIATELY a failing query may report its
    // failure here rather than from ExecQuery.
    ThrowIfFailed(results->Next(kWaitForever, /*uCount=*/1,
                                object.addressof(), &returned));
    if (returned == 0 || !object) break;  // WBEM_S_FALSE: no more objects
    processes.push_back(std::make_unique<Win32ManagedProcess>(
        services, TextProperty(object.get(), L"__PATH"),
        TextProperty(object.get(), L"Handle")));
  }
  return processes;
}

Win32ManagedProcess::Win32ManagedProcess(ComPtr<IWbemServices> services,
                                         std::wstring path,
                                         std::wstring handle)
    : services_(std::move(services)),
      path_(std::move(path)),
      handle_(std::move(handle)) {}

void Win32ManagedProcess::Terminate() {
  DWORD processId = 0;
  if (!ParseProcessId(handle_, processId)) {
    throw Failure(kInvalidObjectPath,
                  "The process cannot be ended: its query did not select "
                  "Handle");
  }
  const std::wstring objectPath =
      !path_.empty() ? path_ : L"Win32_Process.Handle=\"" + handle_ + L"\"";
  if (TerminateThroughService(objectPath) != S_OK) {
    TerminateDirectly(processId);
  }
}

HRESULT Win32ManagedProcess::TerminateThroughService(
    const std::wstring& objectPath) {
  ComPtr<IWbemClassObject> processClass;
  ThrowIfFailed(services_->GetObject(
      UniqueBstr(L"Win32_Process").get(), /*lFlags=*/0, /*pCtx=*/nullptr,
      processClass.addressof(), /*ppCallResult=*/nullptr));

  ComPtr<IWbemClassObject> inSignature;
  HRESULT hr = processClass->GetMethod(L"Terminate", /*lFlags=*/0,
                                       inSignature.addressof(),
                                       /*ppOutSignature=*/nullptr);
  if (hr == kNotFound) return hr;
  ThrowIfFailed(hr);

  ComPtr<IWbemClassObject> in;
  if (inSignature) {
    ThrowIfFailed(inSignature->SpawnInstance(/*lFlags=*/0, in.addressof()));
    VARIANT reason;
    deferred::VariantInit(&reason);
    reason.vt = VT_I4;  // uint32 travels as VT_I4
    reason.lVal = kTerminateReason;
    ThrowIfFailed(in->Put(L"Reason", /*lFlags=*/0, &reason, /*Type=*/0));
  }

  ComPtr<IWbemClassObject> out;
  hr = services_->ExecMethod(UniqueBstr(objectPath).get(),
                             UniqueBstr(L"Terminate").get(), /*lFlags=*/0,
                             /*pCtx=*/nullptr, in.get(), out.addressof(),
                             /*ppCallResult=*/nullptr);
  if (hr == kInvalidMethod || hr == kMethodNotImplemented ||
      hr == kNotSupported) {
    return hr;
  }
  ThrowIfFailed(hr);

  if (out) {
    ScopedVariant returnValue;
    if (SUCCEEDED(out->Get(L"ReturnValue", /*lFlags=*/0,
                           returnValue.addressof(), /*pType=*/nullptr,
                           /*plFlavor=*/nullptr)) &&
        returnValue.get().vt == VT_I4 && returnValue.get().lVal != 0) {
      throw TerminateRefused(returnValue.get().lVal);
    }
  }
  return S_OK;
}

}  // namespace orvane::win32
