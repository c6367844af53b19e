#pragma once
// Whether a folder or a file is open to change by others than the system's
// own accounts, read from its security descriptor.

#include <windows.h>

namespace orvane::win32 {

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
