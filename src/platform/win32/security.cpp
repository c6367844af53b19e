#include "platform/win32/security.h"

#include <sddl.h>

#include <cwchar>

#include "platform/win32/resource.h"

namespace orvane::win32 {
namespace {

// Compared by their text, which names each well-known account the same on
// every Windows version and language.
bool SidIs(PSID sid, const wchar_t* text) {
  if (!sid || !IsValidSid(sid)) return false;
  LPWSTR own = nullptr;
  if (!ConvertSidToStringSidW(sid, &own)) return false;
  const bool same = std::wcscmp(own, text) == 0;
  LocalFree(own);
  return same;
}

// The Power Users group, which Microsoft counts as able to gain
// administrator rights on XP and Server 2003.
bool IsPowerUsers(PSID sid) { return SidIs(sid, L"S-1-5-32-547"); }

// The account that Windows' own files belong to (TrustedInstaller).
bool IsTrustedInstaller(PSID sid) {
  return SidIs(sid,
               L"S-1-5-80-956008885-3418522649-1831038044-1853292631-"
               L"2271478464");
}

}  // namespace

bool IsSystemOrAdministrators(PSID sid) {
  return SidIs(sid, L"S-1-5-18") || SidIs(sid, L"S-1-5-32-544");
}

namespace {

// The token's user is SYSTEM. False when the token cannot be read.
bool TokenUserIsSystem(HANDLE token) {
  union {
    TOKEN_USER user;
    BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  } buffer;
  DWORD size = 0;
  return GetTokenInformation(token, TokenUser, &buffer, sizeof buffer,
                             &size) &&
         SidIs(buffer.user.User.Sid, L"S-1-5-18");
}

}  // namespace

bool RunsElevatedOrAsSystem() {
  HANDLE raw = nullptr;
  // Cautious when it cannot be told.
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return true;
  const UniqueToken token(raw);
  if (TokenUserIsSystem(token.get())) return true;
  // TokenElevation, which XP's headers lack and XP refuses: nothing runs
  // elevated there.
  DWORD elevated = 0;
  DWORD size = 0;
  return GetTokenInformation(token.get(),
                             static_cast<TOKEN_INFORMATION_CLASS>(20),
                             &elevated, sizeof elevated, &size) &&
         elevated != 0;
}

bool RunsWithAdministratorRights() {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                &administrators)) {
    return false;
  }
  BOOL member = FALSE;
  const BOOL checked =
      CheckTokenMembership(/*TokenHandle=*/nullptr, administrators, &member);
  FreeSid(administrators);
  return checked && member;
}

bool Win32ProcessAccount::IsLocalSystem() noexcept {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
  const UniqueToken token(raw);
  return TokenUserIsSystem(token.get());
}

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
