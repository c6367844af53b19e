#pragma once
// Where the process looks for DLLs loaded by bare name.

namespace orvane::win32 {

// DLLs from the system directory only, never from the program's own folder
// or the current directory: DLLs that the system's own DLLs load by name
// later (themes, COM, the management service, the shell) would otherwise be
// looked for there first. Where Windows cannot narrow the search that far
// (XP, and Vista and 7 without update KB2533623), the current directory at
// least is left out. Call first thing, before any such load.
void LoadDllsFromSystemDirectoryOnly();

}  // namespace orvane::win32
