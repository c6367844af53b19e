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

}  // namespace

bool IsSystemOrAdministrators(PSID sid) {
  return SidIs(sid, L"S-1-5-18") || SidIs(sid, L"S-1-5-32-544");
}

bool IsPowerUsers(PSID sid) { return SidIs(sid, L"S-1-5-32-547"); }

bool IsTrustedInstaller(PSID sid) {
  return SidIs(sid,
               L"S-1-5-80-956008885-3418522649-1831038044-1853292631-"
               L"2271478464");
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

}  // namespace orvane::win32
