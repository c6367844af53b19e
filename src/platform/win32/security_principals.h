#pragma once
// Who may be trusted with what a program running with administrator rights
// relies on: the accounts that own the machine, and this process's own.

#include <windows.h>

#include "platform/account.h"

namespace orvane::win32 {

// SYSTEM or the Administrators group.
bool IsSystemOrAdministrators(PSID sid);

// The account that Windows' own files belong to (TrustedInstaller).
bool IsTrustedInstaller(PSID sid);

// The account this process runs as. False when it cannot be told.
bool IsThisProcessUser(PSID sid);

// True when this process holds the Administrators group enabled: an
// elevated administrator, or SYSTEM, whose token holds it too. A filtered
// token under UAC holds the group for denial only, and answers false.
bool RunsWithAdministratorRights();

class Win32ProcessAccount : public ProcessAccount {
 public:
  bool IsLocalSystem() noexcept override;
};

}  // namespace orvane::win32
