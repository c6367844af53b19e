#include "platform/win32/dll_search.h"

#include <windows.h>

#include "platform/win32/kernel32_function.h"

namespace orvane::win32 {

// Both looked up by name: SetDefaultDllDirectories is missing from XP,
// Vista and 7 without the update, SetDllDirectoryW from XP before SP1,
// and the program must start there.
void LoadDllsFromSystemDirectoryOnly() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  const auto setDefaultDllDirectories =
      Kernel32Function<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories");
  if (setDefaultDllDirectories &&
      setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    return;
  }
  using SetDllDirectoryWFn = BOOL(WINAPI*)(LPCWSTR);
  const auto setDllDirectory =
      Kernel32Function<SetDllDirectoryWFn>("SetDllDirectoryW");
  if (setDllDirectory) setDllDirectory(L"");
}

}  // namespace orvane::win32
