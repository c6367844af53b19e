#include "platform/win32/dll_search.h"

#include <windows.h>

#include "platform/win32/loader.h"

namespace orvane::win32 {

// Both looked up by name: SetDefaultDllDirectories is missing from XP,
// Vista and 7 without the update, SetDllDirectoryW from XP before SP1,
// and the program must start there.
void LoadDllsFromSystemDirectoryOnly() {
  static SystemFunction<BOOL(WINAPI*)(DWORD)> setDefaultDllDirectories{
      L"kernel32.dll", "SetDefaultDllDirectories", FALSE};
  if (setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  static SystemFunction<BOOL(WINAPI*)(LPCWSTR)> setDllDirectory{
      L"kernel32.dll", "SetDllDirectoryW", FALSE};
  setDllDirectory(L"");
}

}  // namespace orvane::win32
