#include "platform/win32/folder_exposure.h"

#include "platform/win32/security.h"

namespace orvane::win32 {
namespace {

// FILE_ADD_FILE and FILE_ADD_SUBDIRECTORY are the same bits as
// FILE_WRITE_DATA and FILE_APPEND_DATA; the generic rights appear in the
// entries that folders pass on to what is created in them.
constexpr ACCESS_MASK kChangingRights =
    FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD | DELETE |
    WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

// Power Users (S-1-5-32-547) when `powerUsers`.
bool IsTrusted(PSID sid, bool powerUsers) {
  return IsSystemOrAdministrators(sid) || IsTrustedInstaller(sid) ||
         (powerUsers && IsPowerUsers(sid));
}

// CREATOR OWNER (S-1-3-0) and CREATOR GROUP (S-1-3-1), and OWNER RIGHTS
// (S-1-3-4), which grants to the owner, checked apart.
bool IsCreatorOrOwnerPlaceholder(PSID sid) {
  SID_IDENTIFIER_AUTHORITY creator = SECURITY_CREATOR_SID_AUTHORITY;
  const SID_IDENTIFIER_AUTHORITY* authority = GetSidIdentifierAuthority(sid);
  if (!authority ||
      memcmp(authority, &creator, sizeof creator) != 0 ||
      *GetSidSubAuthorityCount(sid) != 1) {
    return false;
  }
  const DWORD rid = *GetSidSubAuthority(sid, 0);
  return rid == SECURITY_CREATOR_OWNER_RID ||
         rid == SECURITY_CREATOR_GROUP_RID ||
         rid == SECURITY_CREATOR_OWNER_RIGHTS_RID;
}

}  // namespace

bool OthersMayChange(PSECURITY_DESCRIPTOR descriptor, bool powerUsersTrusted) {
  PSID owner = nullptr;
  BOOL defaulted = FALSE;
  if (!GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) ||
      !IsTrusted(owner, powerUsersTrusted)) {
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
    const auto* ace = static_cast<const ACCESS_ALLOWED_ACE*>(raw);
    if ((ace->Mask & kChangingRights) == 0) continue;
    switch (ace->Header.AceType) {
      // A conditional entry grants whenever its condition holds, which the
      // account it names may well arrange; it has the plain entry's layout.
      case ACCESS_ALLOWED_ACE_TYPE:
      case ACCESS_ALLOWED_CALLBACK_ACE_TYPE:
        break;
      // Entries for object types, which files do not use: not read.
      case ACCESS_ALLOWED_OBJECT_ACE_TYPE:
      case ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE:
        return true;
      default:
        continue;
    }
    const PSID sid = const_cast<DWORD*>(&ace->SidStart);
    if (!IsTrusted(sid, powerUsersTrusted) &&
        !IsCreatorOrOwnerPlaceholder(sid)) {
      return true;
    }
  }
  return false;
}

}  // namespace orvane::win32
