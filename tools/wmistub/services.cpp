#include "services.h"

#include <array>
#include <cwctype>
#include <string>
#include <utility>
#include <vector>

#include "com_object.h"
#include "processes.h"
#include "settings.h"
#include "wbem_object.h"
#include "wql.h"

namespace wmistub {
namespace {

constexpr HRESULT Wbem(WBEMSTATUS status) { return static_cast<HRESULT>(status); }

const wchar_t kProcessClass[] = L"Win32_Process";

HRESULT Unsupported(const wchar_t* method) {
  return NotSupported(std::wstring(L"IWbemServices::") + method);
}

// An object of the service as its caller sees it: through a proxy, whose
// IClientSecurity takes and keeps the settings. As on a locked-down machine,
// whose defaults let the service only identify its caller, a call that acts
// for the caller (a query's enumeration, a method) is refused until the
// proxy's blanket lets the service impersonate.
template <class Interface>
class Proxy : public ComObject<Interface>, public IClientSecurity {
  using Base = ComObject<Interface>;

 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    return Base::QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return Base::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return Base::Release(); }

  HRESULT STDMETHODCALLTYPE QueryBlanket(IUnknown*, DWORD* authn, DWORD* authz,
                                         OLECHAR** principal, DWORD* level,
                                         DWORD* impersonation, void** identity,
                                         DWORD* capabilities) override {
    DWORD* const settings[] = {authn, authz, level, impersonation, capabilities};
    for (int i = 0; i < 5; ++i)
      if (settings[i] != nullptr) *settings[i] = settings_[i];
    if (principal != nullptr) *principal = nullptr;
    if (identity != nullptr) *identity = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetBlanket(IUnknown*, DWORD authn, DWORD authz,
                                       OLECHAR*, DWORD level,
                                       DWORD impersonation, void*,
                                       DWORD capabilities) override {
    settings_ = {authn, authz, level, impersonation, capabilities};
    Log({L"SetBlanket", L"authn=" + std::to_wstring(authn) +
                            L" authz=" + std::to_wstring(authz) +
                            L" level=" + std::to_wstring(level) +
                            L" impersonation=" + std::to_wstring(impersonation) +
                            L" capabilities=" + std::to_wstring(capabilities)});
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE CopyProxy(IUnknown*, IUnknown**) override {
    return NotSupported(L"IClientSecurity::CopyProxy");
  }

 protected:
  void* Find(REFIID iid) override {
    if (iid == IID_IClientSecurity) return static_cast<IClientSecurity*>(this);
    return Base::Find(iid);
  }
  HRESULT MayActForCaller() const {
    return settings_[3] >= RPC_C_IMP_LEVEL_IMPERSONATE ? S_OK
                                                       : Wbem(WBEM_E_ACCESS_DENIED);
  }

 private:
  std::array<DWORD, 5> settings_ = {  // as SetBlanket's arguments
      RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, RPC_C_AUTHN_LEVEL_CONNECT,
      RPC_C_IMP_LEVEL_IDENTIFY, EOAC_NONE};
};

// The objects that one query found, handed out once each.
class Enumerator final : public Proxy<IEnumWbemClassObject> {
 public:
  Enumerator(std::vector<IWbemClassObject*> objects, HRESULT failure,
             bool forwardOnly)
      : objects_(std::move(objects)),
        failure_(failure),
        forwardOnly_(forwardOnly) {}

  ~Enumerator() override {
    for (IWbemClassObject* object : objects_)
      if (object != nullptr) object->Release();
  }

  HRESULT STDMETHODCALLTYPE Next(LONG timeout, ULONG count,
                                 IWbemClassObject** objects,
                                 ULONG* returned) override {
    if (objects == nullptr || returned == nullptr ||
        (timeout < 0 && timeout != static_cast<LONG>(WBEM_INFINITE)))
      return Wbem(WBEM_E_INVALID_PARAMETER);
    *returned = 0;
    if (const HRESULT call = CrossProcessCall(); FAILED(call)) return call;
    if (const HRESULT denied = MayActForCaller(); FAILED(denied)) {
      Log({L"Next", HresultText(denied)});
      return denied;
    }
    if (FAILED(failure_)) return failure_;
    for (; *returned < count && next_ < objects_.size(); ++*returned, ++next_) {
      objects[*returned] = objects_[next_];
      if (forwardOnly_)
        objects_[next_] = nullptr;  // handed over
      else
        objects[*returned]->AddRef();
    }
    return *returned == count ? S_OK : Wbem(WBEM_S_FALSE);
  }

  HRESULT STDMETHODCALLTYPE Reset() override {
    if (forwardOnly_) return Wbem(WBEM_E_INVALID_OPERATION);
    next_ = 0;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Skip(LONG timeout, ULONG count) override {
    if (timeout < 0 && timeout != static_cast<LONG>(WBEM_INFINITE))
      return Wbem(WBEM_E_INVALID_PARAMETER);
    if (FAILED(failure_)) return failure_;
    for (; count > 0 && next_ < objects_.size(); --count, ++next_) {
      if (forwardOnly_ && objects_[next_] != nullptr) {
        objects_[next_]->Release();
        objects_[next_] = nullptr;
      }
    }
    return count == 0 ? S_OK : Wbem(WBEM_S_FALSE);
  }

  HRESULT STDMETHODCALLTYPE NextAsync(ULONG, IWbemObjectSink*) override {
    return NotSupported(L"IEnumWbemClassObject::NextAsync");
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumWbemClassObject**) override {
    return forwardOnly_ ? Wbem(WBEM_E_INVALID_OPERATION)
                        : NotSupported(L"IEnumWbemClassObject::Clone");
  }

 private:
  std::vector<IWbemClassObject*> objects_;
  size_t next_ = 0;
  HRESULT failure_;
  bool forwardOnly_;
};

// "root\cimv2" in any letter case, with either kind of slash.
bool IsOwnNamespace(std::wstring name) {
  for (wchar_t& c : name)
    if (c == L'/') c = L'\\';
  return EqualNoCase(name, L"root\\cimv2");
}

struct ObjectPath {
  bool isInstance = false;
  DWORD processId = 0;
};

// [\\server\namespace:]Win32_Process[.Handle="<id>"], the class's name and
// the key's in any letter case; the key's value may also come unquoted.
HRESULT ParseObjectPath(const std::wstring& text, ObjectPath* path) {
  std::wstring rest = text;
  const size_t colon = rest.find(L':');
  if (colon != std::wstring::npos && colon < rest.find_first_of(L".=")) {
    std::wstring space = rest.substr(0, colon);
    if (space.compare(0, 2, L"\\\\") == 0 || space.compare(0, 2, L"//") == 0) {
      const size_t slash = space.find_first_of(L"\\/", 2);
      if (slash == std::wstring::npos) return Wbem(WBEM_E_INVALID_OBJECT_PATH);
      space = space.substr(slash + 1);
    }
    if (!IsOwnNamespace(space)) return Wbem(WBEM_E_INVALID_NAMESPACE);
    rest = rest.substr(colon + 1);
  }
  const size_t dot = rest.find(L'.');
  if (!EqualNoCase(rest.substr(0, dot), kProcessClass))
    return Wbem(WBEM_E_NOT_FOUND);
  if (dot == std::wstring::npos) return S_OK;
  const std::wstring keyPrefix = std::wstring(kProcessKey) + L"=";
  std::wstring value = rest.substr(dot + 1);
  if (!EqualNoCase(value.substr(0, keyPrefix.size()), keyPrefix))
    return Wbem(WBEM_E_INVALID_OBJECT_PATH);
  value = value.substr(keyPrefix.size());
  if (value.size() >= 2 && value.front() == L'"' && value.back() == L'"')
    value = value.substr(1, value.size() - 2);
  if (value.empty() || value.size() > 10) return Wbem(WBEM_E_INVALID_OBJECT_PATH);
  unsigned long long id = 0;
  for (wchar_t c : value) {
    if (!std::iswdigit(c)) return Wbem(WBEM_E_INVALID_OBJECT_PATH);
    id = id * 10 + static_cast<unsigned>(c - L'0');
  }
  if (id > MAXDWORD) return Wbem(WBEM_E_INVALID_OBJECT_PATH);
  path->isInstance = true;
  path->processId = static_cast<DWORD>(id);
  return S_OK;
}

class Services final : public Proxy<IWbemServices> {
 public:
  HRESULT STDMETHODCALLTYPE ExecQuery(const BSTR language, const BSTR text,
                                      LONG flags, IWbemContext*,
                                      IEnumWbemClassObject** result) override {
    std::wstring answer;
    const HRESULT hr = DoExecQuery(language, text, flags, result, &answer);
    Log({L"ExecQuery", ArgText(language), ArgText(text),
         L"flags=" + std::to_wstring(flags),
         FAILED(hr) ? HresultText(hr) : answer});
    return hr;
  }

  HRESULT STDMETHODCALLTYPE GetObject(const BSTR path, LONG flags,
                                      IWbemContext*, IWbemClassObject** object,
                                      IWbemCallResult** callResult) override {
    const HRESULT hr = DoGetObject(path, flags, object, callResult);
    Log({L"GetObject", ArgText(path), HresultText(hr)});
    return hr;
  }

  HRESULT STDMETHODCALLTYPE ExecMethod(const BSTR path, const BSTR method,
                                       LONG flags, IWbemContext*,
                                       IWbemClassObject* in,
                                       IWbemClassObject** out,
                                       IWbemCallResult** callResult) override {
    std::wstring reason = L"Reason=(none)";
    std::wstring outcome;
    const HRESULT hr =
        DoExecMethod(path, method, flags, in, out, callResult, &reason, &outcome);
    Log({L"ExecMethod", ArgText(path), ArgText(method), reason,
         FAILED(hr) ? HresultText(hr) : outcome});
    return hr;
  }

  HRESULT STDMETHODCALLTYPE OpenNamespace(const BSTR, LONG, IWbemContext*,
                                          IWbemServices**,
                                          IWbemCallResult**) override {
    return Unsupported(L"OpenNamespace");
  }
  HRESULT STDMETHODCALLTYPE CancelAsyncCall(IWbemObjectSink*) override {
    return Unsupported(L"CancelAsyncCall");
  }
  HRESULT STDMETHODCALLTYPE QueryObjectSink(LONG, IWbemObjectSink**) override {
    return Unsupported(L"QueryObjectSink");
  }
  HRESULT STDMETHODCALLTYPE GetObjectAsync(const BSTR, LONG, IWbemContext*,
                                           IWbemObjectSink*) override {
    return Unsupported(L"GetObjectAsync");
  }
  HRESULT STDMETHODCALLTYPE PutClass(IWbemClassObject*, LONG, IWbemContext*,
                                     IWbemCallResult**) override {
    return Unsupported(L"PutClass");
  }
  HRESULT STDMETHODCALLTYPE PutClassAsync(IWbemClassObject*, LONG,
                                          IWbemContext*,
                                          IWbemObjectSink*) override {
    return Unsupported(L"PutClassAsync");
  }
  HRESULT STDMETHODCALLTYPE DeleteClass(const BSTR, LONG, IWbemContext*,
                                        IWbemCallResult**) override {
    return Unsupported(L"DeleteClass");
  }
  HRESULT STDMETHODCALLTYPE DeleteClassAsync(const BSTR, LONG, IWbemContext*,
                                             IWbemObjectSink*) override {
    return Unsupported(L"DeleteClassAsync");
  }
  HRESULT STDMETHODCALLTYPE CreateClassEnum(const BSTR, LONG, IWbemContext*,
                                            IEnumWbemClassObject**) override {
    return Unsupported(L"CreateClassEnum");
  }
  HRESULT STDMETHODCALLTYPE CreateClassEnumAsync(const BSTR, LONG,
                                                 IWbemContext*,
                                                 IWbemObjectSink*) override {
    return Unsupported(L"CreateClassEnumAsync");
  }
  HRESULT STDMETHODCALLTYPE PutInstance(IWbemClassObject*, LONG, IWbemContext*,
                                        IWbemCallResult**) override {
    return Unsupported(L"PutInstance");
  }
  HRESULT STDMETHODCALLTYPE PutInstanceAsync(IWbemClassObject*, LONG,
                                             IWbemContext*,
                                             IWbemObjectSink*) override {
    return Unsupported(L"PutInstanceAsync");
  }
  HRESULT STDMETHODCALLTYPE DeleteInstance(const BSTR, LONG, IWbemContext*,
                                           IWbemCallResult**) override {
    return Unsupported(L"DeleteInstance");
  }
  HRESULT STDMETHODCALLTYPE DeleteInstanceAsync(const BSTR, LONG,
                                                IWbemContext*,
                                                IWbemObjectSink*) override {
    return Unsupported(L"DeleteInstanceAsync");
  }
  HRESULT STDMETHODCALLTYPE CreateInstanceEnum(
      const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**) override {
    return Unsupported(L"CreateInstanceEnum");
  }
  HRESULT STDMETHODCALLTYPE CreateInstanceEnumAsync(const BSTR, LONG,
                                                    IWbemContext*,
                                                    IWbemObjectSink*) override {
    return Unsupported(L"CreateInstanceEnumAsync");
  }
  HRESULT STDMETHODCALLTYPE ExecQueryAsync(const BSTR, const BSTR, LONG,
                                           IWbemContext*,
                                           IWbemObjectSink*) override {
    return Unsupported(L"ExecQueryAsync");
  }
  HRESULT STDMETHODCALLTYPE ExecNotificationQuery(
      const BSTR, const BSTR, LONG, IWbemContext*,
      IEnumWbemClassObject**) override {
    return Unsupported(L"ExecNotificationQuery");
  }
  HRESULT STDMETHODCALLTYPE ExecNotificationQueryAsync(
      const BSTR, const BSTR, LONG, IWbemContext*,
      IWbemObjectSink*) override {
    return Unsupported(L"ExecNotificationQueryAsync");
  }
  HRESULT STDMETHODCALLTYPE ExecMethodAsync(const BSTR, const BSTR, LONG,
                                            IWbemContext*, IWbemClassObject*,
                                            IWbemObjectSink*) override {
    return Unsupported(L"ExecMethodAsync");
  }

 private:
  HRESULT DoExecQuery(const BSTR language, const BSTR text, LONG flags,
                      IEnumWbemClassObject** result, std::wstring* answer) {
    if (result == nullptr || text == nullptr)
      return Wbem(WBEM_E_INVALID_PARAMETER);
    *result = nullptr;
    if (const HRESULT call = CrossProcessCall(); FAILED(call)) return call;
    if (language == nullptr || !EqualNoCase(language, L"WQL"))
      return Wbem(WBEM_E_INVALID_QUERY_TYPE);
    if (flags & WBEM_FLAG_PROTOTYPE) return Wbem(WBEM_E_NOT_SUPPORTED);
    const LONG known = WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY |
                       WBEM_FLAG_ENSURE_LOCATABLE | WBEM_FLAG_DIRECT_READ |
                       WBEM_FLAG_USE_AMENDED_QUALIFIERS;
    if (flags & ~known) return Wbem(WBEM_E_INVALID_PARAMETER);
    const bool forwardOnly = (flags & WBEM_FLAG_FORWARD_ONLY) != 0;

    for (const std::wstring& failing : LoadSettings().failingQueryTexts) {
      if (std::wstring(text).find(failing) == std::wstring::npos) continue;
      if (!(flags & WBEM_FLAG_RETURN_IMMEDIATELY)) return Wbem(WBEM_E_FAILED);
      *result = new Enumerator({}, Wbem(WBEM_E_FAILED), forwardOnly);
      *answer = HresultText(Wbem(WBEM_E_FAILED)) + L" from Next";
      return S_OK;
    }

    Query query;
    const HRESULT hr = ParseQuery(text, kProcessClass, kProcessProperties,
                                  kProcessKey, &query);
    if (FAILED(hr)) return hr;
    std::vector<IWbemClassObject*> objects;
    for (const ProcessInfo& process : LiveProcesses()) {
      const bool match = Matches(query, [&](const std::wstring& name) {
        return ProcessProperty(process, name);
      });
      if (match) objects.push_back(NewProcess(process, query.properties));
    }
    *answer = std::to_wstring(objects.size()) + L" found";
    *result = new Enumerator(std::move(objects), S_OK, forwardOnly);
    return S_OK;
  }

  HRESULT DoGetObject(const BSTR path, LONG flags, IWbemClassObject** object,
                      IWbemCallResult** callResult) {
    if (object != nullptr) *object = nullptr;
    if (const HRESULT call = CrossProcessCall(); FAILED(call)) return call;
    // A semisynchronous call, or an empty path (a new class), is not served.
    if (callResult != nullptr || path == nullptr || path[0] == L'\0')
      return Wbem(WBEM_E_NOT_SUPPORTED);
    if ((flags & ~(WBEM_FLAG_USE_AMENDED_QUALIFIERS | WBEM_FLAG_DIRECT_READ)) != 0)
      return Wbem(WBEM_E_INVALID_PARAMETER);
    ObjectPath parsed;
    const HRESULT hr = ParseObjectPath(path, &parsed);
    if (FAILED(hr)) return hr;
    if (!parsed.isInstance) {
      if (object != nullptr) *object = NewProcessClass();
      return S_OK;
    }
    const std::optional<ProcessInfo> process = FindProcess(parsed.processId);
    if (!process) return Wbem(WBEM_E_NOT_FOUND);
    if (object != nullptr) *object = NewProcess(*process, {});
    return S_OK;
  }

  HRESULT DoExecMethod(const BSTR path, const BSTR method, LONG flags,
                       IWbemClassObject* in, IWbemClassObject** out,
                       IWbemCallResult** callResult, std::wstring* reasonText,
                       std::wstring* outcome) {
    if (out != nullptr) *out = nullptr;
    if (const HRESULT call = CrossProcessCall(); FAILED(call)) return call;
    if (const HRESULT denied = MayActForCaller(); FAILED(denied)) return denied;
    if (callResult != nullptr) return Wbem(WBEM_E_NOT_SUPPORTED);
    if (path == nullptr || method == nullptr || flags != 0)
      return Wbem(WBEM_E_INVALID_PARAMETER);

    // The Reason, as the in-parameters carry it (null: exit code 0).
    LONG reason = 0;
    if (in != nullptr) {
      VARIANT value;
      VariantInit(&value);
      if (FAILED(in->Get(L"Reason", 0, &value, nullptr, nullptr)))
        return Wbem(WBEM_E_INVALID_METHOD_PARAMETERS);
      if (value.vt == VT_I4) {
        reason = value.lVal;
        *reasonText = L"Reason=" + std::to_wstring(reason);
      } else if (value.vt == VT_NULL) {
        *reasonText = L"Reason=(null)";
      } else {
        VariantClear(&value);
        return Wbem(WBEM_E_TYPE_MISMATCH);
      }
    }

    ObjectPath parsed;
    HRESULT hr = ParseObjectPath(path, &parsed);
    if (FAILED(hr)) return hr;
    if (!EqualNoCase(method, L"Terminate")) {
      hr = Wbem(WBEM_E_INVALID_METHOD);
      IWbemClassObject* processClass = NewProcessClass();
      if (processClass->GetMethod(method, 0, nullptr, nullptr) ==
          Wbem(WBEM_E_NOT_SUPPORTED))
        hr = Wbem(WBEM_E_NOT_SUPPORTED);
      processClass->Release();
      return hr;
    }
    // Terminate is a method of an instance, not of the class.
    if (!parsed.isInstance) return Wbem(WBEM_E_INVALID_METHOD_PARAMETERS);
    const std::optional<ProcessInfo> process = FindProcess(parsed.processId);
    if (!process) return Wbem(WBEM_E_NOT_FOUND);

    LONG returnValue = 0;
    bool denied = false;
    for (const std::wstring& image : LoadSettings().deniedImages)
      denied |= EqualNoCase(image, process->name);
    returnValue = denied ? 2
                         : TerminateProcessFor(process->id,
                                               static_cast<UINT>(reason));
    *outcome = L"ReturnValue=" + std::to_wstring(returnValue) + L" " +
               process->name;
    if (out != nullptr) *out = NewReturnValue(returnValue);
    return S_OK;
  }
};

}  // namespace

IWbemServices* NewServices() { return new Services(); }

}  // namespace wmistub
