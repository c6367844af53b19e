#include "platform/win32/folder_exposure.h"

#include "platform/win32/security_principals.h"

namespace orvane::win32 {
namespace {

// FILE_ADD_FILE and FILE_ADD_SUBDIRECTORY are the same bits as
// FILE_WRITE_DATA and FILE_APPEND_DATA; the generic rights appear in the
// entries that folders pass on to what is created in them.
constexpr ACCESS_MASK kChangingRights =
    FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD | DELETE |
    WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

bool IsTrusted(PSID sid) {
  return IsSystemOrAdministrators(sid) || IsTrustedInstaller(sid);
}

// CREATOR OWNER (S-1-3-0) and CREATOR GROUP (S-1-3-1).
bool IsCreatorPlaceholder(PSID sid) {
  SID_IDENTIFIER_AUTHORITY creator = SECURITY_CREATOR_SID_AUTHORITY;
  const SID_IDENTIFIER_AUTHORITY* authority = GetSidIdentifierAuthority(sid);
  if (!authority ||
      memcmp(authority, &creator, sizeof creator) != 0 ||
      *GetSidSubAuthorityCount(sid) != 1) {
    return false;
  }
  const DWORD rid = *GetSidSubAuthority(sid, 0);
  return rid == SECURITY_CREATOR_OWNER_RID || rid == SECURITY_CREATOR_GROUP_RID;
}

}  // namespace

bool OthersMayChange(PSECURITY_DESCRIPTOR descriptor) {
  PSID owner = nullptr;
  BOOL defaulted = FALSE;
  if (!GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) ||
      !IsTrusted(owner)) {
    return true;
  }
  BOOL present = FALSE;
  PACL dacl = nullptr;
  if (!GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) ||
      !present || !dacl) {
    return true;  // no DACL: everyone has every right
  }
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    void* raw = nullptr;
    if (!GetAce(dacl, i, &raw)) return true;
    const auto* header = static_cast<const ACE_HEADER*>(raw);
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
    const auto* ace = static_cast<const ACCESS_ALLOWED_ACE*>(raw);
    const PSID sid = const_cast<DWORD*>(&ace->SidStart);
    if ((ace->Mask & kChangingRights) == 0 || IsTrusted(sid) ||
        IsCreatorPlaceholder(sid)) {
      continue;
    }
    return true;
  }
  return false;
}

}  // namespace orvane::win32
