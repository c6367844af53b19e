#include "wbem_object.h"

#include <oleauto.h>

#include <utility>

#include "com_object.h"
#include "settings.h"
#include "wql.h"

namespace wmistub {

const std::vector<std::wstring> kProcessProperties = {
    L"CommandLine", L"Handle", L"Name", L"ProcessId"};
const wchar_t kProcessKey[] = L"Handle";

namespace {

constexpr HRESULT Wbem(WBEMSTATUS status) { return static_cast<HRESULT>(status); }

const wchar_t kNamespace[] = L"ROOT\\CIMV2";
const wchar_t kProcessClass[] = L"Win32_Process";
const wchar_t kParameters[] = L"__PARAMETERS";

// The names of Win32_Process's methods that the stand-in does not carry out.
const wchar_t* const kOtherMethods[] = {
    L"Create", L"GetOwner", L"GetOwnerSid", L"SetPriority",
    L"AttachDebugger", L"GetAvailableVirtualSize"};

struct Property {
  std::wstring name;
  CIMTYPE type = CIM_STRING;  // CIM_STRING or CIM_UINT32
  bool null = true;
  std::wstring text;  // CIM_STRING
  LONG number = 0;    // CIM_UINT32, handed out as WMI does: VT_I4
};

std::wstring ComputerName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  return GetComputerNameW(name, &size) ? std::wstring(name, size) : L".";
}

class WbemObject final : public ComObject<IWbemClassObject> {
 public:
  WbemObject(std::wstring className, bool isClass,
             std::vector<Property> properties, std::wstring relPath)
      : className_(std::move(className)),
        isClass_(isClass),
        properties_(std::move(properties)),
        relPath_(std::move(relPath)) {}

  HRESULT STDMETHODCALLTYPE Get(LPCWSTR name, LONG flags, VARIANT* value,
                                CIMTYPE* type, LONG* flavor) override {
    if (name == nullptr || flags != 0) return Wbem(WBEM_E_INVALID_PARAMETER);
    Property found;
    LONG foundFlavor = WBEM_FLAVOR_ORIGIN_SYSTEM;
    if (!SystemProperty(name, &found)) {
      Property* property = Find(name);
      if (property == nullptr) return Wbem(WBEM_E_NOT_FOUND);
      found = *property;
      foundFlavor = isClass_ ? WBEM_FLAVOR_ORIGIN_LOCAL
                             : WBEM_FLAVOR_ORIGIN_PROPAGATED;
    }
    if (value != nullptr) {
      VariantInit(value);
      if (found.null) {
        value->vt = VT_NULL;
      } else if (found.type == CIM_STRING) {
        value->vt = VT_BSTR;
        value->bstrVal = SysAllocString(found.text.c_str());
      } else {
        value->vt = VT_I4;
        value->lVal = found.number;
      }
    }
    if (type != nullptr) *type = found.type;
    if (flavor != nullptr) *flavor = foundFlavor;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Put(LPCWSTR name, LONG flags, VARIANT* value,
                                CIMTYPE type) override {
    const HRESULT hr = DoPut(name, flags, value, type);
    Log({L"Put", className_, ArgText(name), ValueText(value),
         L"type=" + std::to_wstring(type), HresultText(hr)});
    return hr;
  }

  HRESULT STDMETHODCALLTYPE SpawnInstance(LONG flags,
                                          IWbemClassObject** out) override {
    Log({L"SpawnInstance", className_});
    if (out == nullptr || flags != 0) return Wbem(WBEM_E_INVALID_PARAMETER);
    std::vector<Property> empty = properties_;
    for (Property& property : empty) property.null = true;
    *out = new WbemObject(className_, /*isClass=*/false, std::move(empty), L"");
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetMethod(LPCWSTR name, LONG flags,
                                      IWbemClassObject** in,
                                      IWbemClassObject** out) override {
    Log({L"GetMethod", className_, ArgText(name)});
    if (in != nullptr) *in = nullptr;
    if (out != nullptr) *out = nullptr;
    if (name == nullptr || flags != 0) return Wbem(WBEM_E_INVALID_PARAMETER);
    // Methods belong to class definitions, not to instances.
    if (!isClass_) return Wbem(WBEM_E_ILLEGAL_OPERATION);
    if (className_ == kProcessClass && EqualNoCase(name, L"Terminate")) {
      if (in != nullptr) *in = Parameters(L"Reason");
      if (out != nullptr) *out = Parameters(L"ReturnValue");
      return S_OK;
    }
    if (className_ == kProcessClass)
      for (const wchar_t* other : kOtherMethods)
        if (EqualNoCase(name, other)) return Wbem(WBEM_E_NOT_SUPPORTED);
    return Wbem(WBEM_E_NOT_FOUND);
  }

  HRESULT STDMETHODCALLTYPE Clone(IWbemClassObject** copy) override {
    if (copy == nullptr) return Wbem(WBEM_E_INVALID_PARAMETER);
    *copy = new WbemObject(className_, isClass_, properties_, relPath_);
    return S_OK;
  }

  // What the stand-in does not carry out answers as WMI does for an
  // operation it does not support.
  HRESULT STDMETHODCALLTYPE GetQualifierSet(IWbemQualifierSet**) override {
    return Unsupported(L"GetQualifierSet");
  }
  HRESULT STDMETHODCALLTYPE Delete(LPCWSTR) override {
    return Unsupported(L"Delete");
  }
  HRESULT STDMETHODCALLTYPE GetNames(LPCWSTR, LONG, VARIANT*,
                                     SAFEARRAY**) override {
    return Unsupported(L"GetNames");
  }
  HRESULT STDMETHODCALLTYPE BeginEnumeration(LONG) override {
    return Unsupported(L"BeginEnumeration");
  }
  HRESULT STDMETHODCALLTYPE Next(LONG, BSTR*, VARIANT*, CIMTYPE*,
                                 LONG*) override {
    return Unsupported(L"Next");
  }
  HRESULT STDMETHODCALLTYPE EndEnumeration() override {
    return Unsupported(L"EndEnumeration");
  }
  HRESULT STDMETHODCALLTYPE GetPropertyQualifierSet(
      LPCWSTR, IWbemQualifierSet**) override {
    return Unsupported(L"GetPropertyQualifierSet");
  }
  HRESULT STDMETHODCALLTYPE GetObjectText(LONG, BSTR*) override {
    return Unsupported(L"GetObjectText");
  }
  HRESULT STDMETHODCALLTYPE SpawnDerivedClass(LONG,
                                              IWbemClassObject**) override {
    return Unsupported(L"SpawnDerivedClass");
  }
  HRESULT STDMETHODCALLTYPE CompareTo(LONG, IWbemClassObject*) override {
    return Unsupported(L"CompareTo");
  }
  HRESULT STDMETHODCALLTYPE GetPropertyOrigin(LPCWSTR, BSTR*) override {
    return Unsupported(L"GetPropertyOrigin");
  }
  HRESULT STDMETHODCALLTYPE InheritsFrom(LPCWSTR) override {
    return Unsupported(L"InheritsFrom");
  }
  HRESULT STDMETHODCALLTYPE PutMethod(LPCWSTR, LONG, IWbemClassObject*,
                                      IWbemClassObject*) override {
    return Unsupported(L"PutMethod");
  }
  HRESULT STDMETHODCALLTYPE DeleteMethod(LPCWSTR) override {
    return Unsupported(L"DeleteMethod");
  }
  HRESULT STDMETHODCALLTYPE BeginMethodEnumeration(LONG) override {
    return Unsupported(L"BeginMethodEnumeration");
  }
  HRESULT STDMETHODCALLTYPE NextMethod(LONG, BSTR*, IWbemClassObject**,
                                       IWbemClassObject**) override {
    return Unsupported(L"NextMethod");
  }
  HRESULT STDMETHODCALLTYPE EndMethodEnumeration() override {
    return Unsupported(L"EndMethodEnumeration");
  }
  HRESULT STDMETHODCALLTYPE GetMethodQualifierSet(
      LPCWSTR, IWbemQualifierSet**) override {
    return Unsupported(L"GetMethodQualifierSet");
  }
  HRESULT STDMETHODCALLTYPE GetMethodOrigin(LPCWSTR, BSTR*) override {
    return Unsupported(L"GetMethodOrigin");
  }

 private:
  static HRESULT Unsupported(const wchar_t* method) {
    return NotSupported(std::wstring(L"IWbemClassObject::") + method);
  }

  static std::wstring ValueText(const VARIANT* value) {
    if (value == nullptr) return L"(no value)";
    switch (value->vt) {
      case VT_NULL: return L"VT_NULL";
      case VT_I4: return L"VT_I4 " + std::to_wstring(value->lVal);
      case VT_BSTR: return L"VT_BSTR " + ArgText(value->bstrVal);
      default: return L"vt=" + std::to_wstring(value->vt);
    }
  }

  static IWbemClassObject* Parameters(const wchar_t* name) {
    return new WbemObject(kParameters, /*isClass=*/true,
                          {Property{name, CIM_UINT32, true, L"", 0}}, L"");
  }

  Property* Find(const std::wstring& name) {
    for (Property& property : properties_)
      if (EqualNoCase(property.name, name)) return &property;
    return nullptr;
  }

  // The system properties; those of the path only when the key is there.
  bool SystemProperty(const std::wstring& name, Property* found) const {
    std::wstring text;
    if (EqualNoCase(name, L"__CLASS")) {
      text = className_;
    } else if (EqualNoCase(name, L"__GENUS")) {
      *found = Property{name, CIM_SINT32, false, L"", isClass_ ? 1 : 2};
      return true;
    } else if (EqualNoCase(name, L"__RELPATH")) {
      text = relPath_;
    } else if (EqualNoCase(name, L"__PATH")) {
      if (!relPath_.empty())
        text = L"\\\\" + ComputerName() + L"\\" + kNamespace + L":" + relPath_;
    } else if (EqualNoCase(name, L"__SERVER")) {
      if (!relPath_.empty()) text = ComputerName();
    } else if (EqualNoCase(name, L"__NAMESPACE")) {
      if (!relPath_.empty()) text = kNamespace;
    } else {
      return false;
    }
    *found = Property{name, CIM_STRING, text.empty(), text};
    return true;
  }

  HRESULT DoPut(LPCWSTR name, LONG flags, const VARIANT* value,
                CIMTYPE type) {
    if (name == nullptr || flags != 0) return Wbem(WBEM_E_INVALID_PARAMETER);
    if (name[0] == L'_') return Wbem(WBEM_E_READ_ONLY);
    Property* property = Find(name);
    if (property == nullptr)
      return isClass_ ? Wbem(WBEM_E_NOT_SUPPORTED) : Wbem(WBEM_E_NOT_FOUND);
    // An instance's property keeps its type: 0, or that very type.
    if (!isClass_ && type != 0 && type != property->type)
      return Wbem(WBEM_E_TYPE_MISMATCH);
    if (value == nullptr || value->vt == VT_NULL) {
      property->null = true;
    } else if (property->type == CIM_STRING && value->vt == VT_BSTR) {
      property->null = false;
      property->text = value->bstrVal != nullptr ? value->bstrVal : L"";
    } else if (property->type == CIM_UINT32 && value->vt == VT_I4) {
      // A uint32 travels as VT_I4; WMI refuses VT_UI4 and the like.
      property->null = false;
      property->number = value->lVal;
    } else {
      return Wbem(WBEM_E_TYPE_MISMATCH);
    }
    return S_OK;
  }

  std::wstring className_;
  bool isClass_;
  std::vector<Property> properties_;
  std::wstring relPath_;  // "" for objects without a path
};

}  // namespace

std::wstring ProcessRelPath(DWORD id) {
  return std::wstring(kProcessClass) + L"." + kProcessKey + L"=\"" +
         std::to_wstring(id) + L"\"";
}

IWbemClassObject* NewProcessClass() {
  std::vector<Property> properties;
  for (const std::wstring& name : kProcessProperties)
    properties.push_back(
        Property{name, name == L"ProcessId" ? CIM_UINT32 : CIM_STRING,
                 true, L"", 0});
  return new WbemObject(kProcessClass, /*isClass=*/true, std::move(properties),
                        kProcessClass);
}

std::optional<std::wstring> ProcessProperty(const ProcessInfo& process,
                                            const std::wstring& name) {
  if (name == L"Name") return process.name;
  if (name == L"Handle" || name == L"ProcessId")
    return std::to_wstring(process.id);
  if (name == L"CommandLine") return process.commandLine;
  return std::nullopt;
}

IWbemClassObject* NewProcess(const ProcessInfo& process,
                             const std::vector<std::wstring>& selected) {
  std::vector<Property> properties;
  bool hasKey = false;
  for (const std::wstring& name : kProcessProperties) {
    bool wanted = selected.empty();
    for (const std::wstring& chosen : selected) wanted |= chosen == name;
    if (!wanted) continue;
    hasKey |= name == kProcessKey;
    const std::optional<std::wstring> text = ProcessProperty(process, name);
    if (name == L"ProcessId") {
      properties.push_back(Property{name, CIM_UINT32, false, L"",
                                    static_cast<LONG>(process.id)});
    } else {
      properties.push_back(
          Property{name, CIM_STRING, !text, text.value_or(L"")});
    }
  }
  return new WbemObject(kProcessClass, /*isClass=*/false,
                        std::move(properties),
                        hasKey ? ProcessRelPath(process.id) : L"");
}

IWbemClassObject* NewReturnValue(LONG value) {
  return new WbemObject(kParameters, /*isClass=*/false,
                        {Property{L"ReturnValue", CIM_UINT32, false, L"", value}},
                        L"");
}

}  // namespace wmistub
