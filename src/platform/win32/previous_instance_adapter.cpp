#include "platform/win32/previous_instance_adapter.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <utility>

#include "platform/win32/security.h"
#include "platform/win32/text_encoding.h"

namespace orvane::win32 {
namespace {

// The claim as this program makes it when it holds administrator rights:
// owned by the Administrators whoever makes it (XP's default owner is the
// creator), and open to SYSTEM and the Administrators only.
constexpr wchar_t kClaimSecurity[] = L"O:BAD:(A;;GA;;;SY)(A;;GA;;;BA)";

// Creating an object in the machine-wide namespace takes no privilege, so
// anyone may make one of the program's name. A process without
// administrator rights cannot make the Administrators or SYSTEM an object's
// owner, so only a claim owned by one of them can be an instance of this
// program. Read through a handle with READ_CONTROL only, which another
// account's DACL grants where it grants anything.
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
  // Wine gives no owner to an object made without a security descriptor;
  // this program's own claim names its owner.
  return owner && IsSystemOrAdministrators(owner) ? OtherInstance::kOurs
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
  // Without administrator rights (an XP account may start the program) the
  // Administrators cannot be made the owner: the claim gets the defaults.
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, FALSE};
  UniqueLocalMemory descriptor;
  if (RunsWithAdministratorRights() &&
      ConvertStringSecurityDescriptorToSecurityDescriptorW(
          kClaimSecurity, SDDL_REVISION_1, &attributes.lpSecurityDescriptor,
          /*SecurityDescriptorSize=*/nullptr)) {
    descriptor.reset(attributes.lpSecurityDescriptor);
  }
  SetLastError(ERROR_SUCCESS);
  mutex_.reset(CreateMutexW(descriptor ? &attributes : nullptr,
                            /*bInitialOwner=*/FALSE, name.c_str()));
  const DWORD error = GetLastError();
  if (error == ERROR_ALREADY_EXISTS) {
    found_ = WhoseClaim(name, mutex_.get());
  } else if (error == ERROR_ACCESS_DENIED) {
    found_ = WhoseClaim(name, /*existing=*/nullptr);
  } else if (error == ERROR_INVALID_HANDLE) {
    // An object of another type (an event, a semaphore) holds the name.
    found_ = OtherInstance::kForeign;
  } else {
    found_ = OtherInstance::kNone;
  }
  // The mutex is the other holder's claim, not ours.
  if (found_ != OtherInstance::kNone) mutex_.reset();
  return found_;
}

}  // namespace orvane::win32
