#include "platform/win32/security_principals.h"

#include <sddl.h>

#include <cwchar>
#include <vector>

#include "platform/win32/unique_handle.h"

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

}  // namespace

bool IsSystemOrAdministrators(PSID sid) {
  return SidIs(sid, L"S-1-5-18") || SidIs(sid, L"S-1-5-32-544");
}

bool IsTrustedInstaller(PSID sid) {
  return SidIs(sid,
               L"S-1-5-80-956008885-3418522649-1831038044-1853292631-"
               L"2271478464");
}

bool IsThisProcessUser(PSID sid) {
  if (!sid || !IsValidSid(sid)) return false;
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
  const UniqueToken token(raw);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, /*TokenInformation=*/nullptr, 0,
                      &size);
  if (size == 0) return false;
  std::vector<BYTE> buffer(size);
  if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), size,
                           &size)) {
    return false;
  }
  const auto* user = reinterpret_cast<const TOKEN_USER*>(buffer.data());
  return EqualSid(user->User.Sid, sid) != FALSE;
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
  SID system = {SID_REVISION, 1, SECURITY_NT_AUTHORITY,
                {SECURITY_LOCAL_SYSTEM_RID}};
  return IsThisProcessUser(&system);
}

}  // namespace orvane::win32
