#pragma once
// Who may be trusted with what a program running with administrator rights
// relies on: the accounts that own the machine; what rights this process
// holds; and whether a folder or a file is open to change by others than
// the system's own accounts, read from its security descriptor.

#include <windows.h>

#include "platform/account.h"

namespace orvane::win32 {

// SYSTEM or the Administrators group.
bool IsSystemOrAdministrators(PSID sid);

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

// True when `descriptor` (a folder's or a file's, with its owner and DACL)
// lets an account other than SYSTEM, the Administrators and TrustedInstaller
// (and the Power Users, when `powerUsersTrusted`) write, append, delete,
// change the permissions or take ownership of it or, for a folder, of what
// it holds: its owner is another account, its DACL is null, or an allowing
// entry, conditional ones included, grants one of those rights to another
// account. Entries for the creator's owner or group are left out: they are
// given to whoever creates something there, which needs one of those rights
// already; so are those for OWNER RIGHTS, which grant to the owner, who must
// be trusted. Denying entries are not weighed; they can only make the
// answer cautious.
bool OthersMayChange(PSECURITY_DESCRIPTOR descriptor, bool powerUsersTrusted);

}  // namespace orvane::win32
