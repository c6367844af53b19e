#pragma once
// Who may be trusted with what a program running with administrator rights
// relies on: the accounts that own the machine; and what rights this
// process holds.

#include <windows.h>

#include "platform/account.h"

namespace orvane::win32 {

// SYSTEM or the Administrators group.
bool IsSystemOrAdministrators(PSID sid);

// The Power Users group, which Microsoft counts as able to gain
// administrator rights on XP and Server 2003.
bool IsPowerUsers(PSID sid);

// The account that Windows' own files belong to (TrustedInstaller).
bool IsTrustedInstaller(PSID sid);

// True when this process runs as SYSTEM, or elevated by UAC: what it
// starts must not be chosen by the user's own registry, which any program
// of the user may change. True when it cannot be told.
bool RunsElevatedOrAsSystem();

// True when this process holds the Administrators group enabled: an
// elevated administrator, or SYSTEM, whose token holds it too. A filtered
// token under UAC holds the group for denial only, and answers false.
bool RunsWithAdministratorRights();

class Win32ProcessAccount : public ProcessAccount {
 public:
  bool IsLocalSystem() noexcept override;
};

}  // namespace orvane::win32
