#pragma once
// Whether a folder is open to change by others than the system's own
// accounts, read from its security descriptor.

#include <windows.h>

namespace orvane::win32 {

// True when `descriptor` (a folder's, with its owner and DACL) lets an
// account other than SYSTEM, the Administrators and TrustedInstaller write,
// append, delete, change the permissions or take ownership in the folder or
// of what it holds: its owner is another account, its DACL is null, or an
// allowing entry grants one of those rights to another account. Entries
// for the creator's owner or group are left out: they are given to whoever
// creates something there, which needs one of those rights already.
// Denying entries are not weighed; they can only make the answer cautious.
bool OthersMayChange(PSECURITY_DESCRIPTOR descriptor);

}  // namespace orvane::win32
