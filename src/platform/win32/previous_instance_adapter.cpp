#include "platform/win32/previous_instance_adapter.h"

#include <windows.h>
#include <aclapi.h>

#include <utility>

#include "platform/win32/security_principals.h"
#include "platform/win32/text_encoding.h"

namespace orvane::win32 {
namespace {

// Creating a mutex in the machine-wide namespace takes no privilege, so
// anyone may make one of the program's name. Only one whose owner is SYSTEM,
// the Administrators (the owner an elevated administrator's objects get) or
// this account can be an instance of this program, which asks for
// administrator rights. Read through a handle with READ_CONTROL only, which
// another account's DACL grants where it grants anything.
OtherInstance WhoseClaim(const std::wstring& name, HANDLE existing) {
  UniqueMutex opened;
  if (!existing) {
    opened.reset(OpenMutexW(READ_CONTROL, /*bInheritHandle=*/FALSE,
                            name.c_str()));
    if (!opened) return OtherInstance::kForeign;
    existing = opened.get();
  }
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR raw = nullptr;
  if (GetSecurityInfo(existing, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION,
                      &owner, /*ppsidGroup=*/nullptr, /*ppDacl=*/nullptr,
                      /*ppSacl=*/nullptr, &raw) != ERROR_SUCCESS) {
    return OtherInstance::kForeign;
  }
  const UniqueLocalMemory descriptor(raw);
  // Windows gives every named object an owner. Wine gives none to an object
  // made without a security descriptor, this program's own included.
  if (!owner) return OtherInstance::kOurs;
  return IsSystemOrAdministrators(owner) || IsThisProcessUser(owner)
             ? OtherInstance::kOurs
             : OtherInstance::kForeign;
}

}  // namespace

const char kInstanceMutexName[] =
    "Global\\Orvane.Instance.{6F3C0B52-9A1D-4E7B-8C25-D41A7E90B3F6}";

Win32PreviousInstance::Win32PreviousInstance(std::string mutexName)
    : mutexName_(std::move(mutexName)) {}

OtherInstance Win32PreviousInstance::Find() {
  if (asked_) return found_;
  asked_ = true;
  const std::wstring name = Utf8ToWide(mutexName_);
  SetLastError(ERROR_SUCCESS);
  mutex_.reset(CreateMutexW(/*lpMutexAttributes=*/nullptr,
                            /*bInitialOwner=*/FALSE, name.c_str()));
  const DWORD error = GetLastError();
  if (error == ERROR_ALREADY_EXISTS) {
    found_ = WhoseClaim(name, mutex_.get());
  } else if (error == ERROR_ACCESS_DENIED) {
    found_ = WhoseClaim(name, /*existing=*/nullptr);
  } else {
    found_ = OtherInstance::kNone;
  }
  // The mutex is the other holder's claim, not ours.
  if (found_ != OtherInstance::kNone) mutex_.reset();
  return found_;
}

}  // namespace orvane::win32
