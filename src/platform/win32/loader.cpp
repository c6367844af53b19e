#include "platform/win32/loader.h"

#include <string>

#include "platform/win32/directories_adapter.h"
#include "platform/win32/text_encoding.h"

namespace orvane::win32 {

void* SystemFunctionLookup::Find() noexcept {
  if (found_) return found_;
  try {
    const std::string system = Win32Directories().SystemDirectory();
    // An unknown system directory loads nothing: "\\shell32.dll" would
    // name the current drive's root.
    if (system.empty()) {
      SetLastError(ERROR_PATH_NOT_FOUND);
      return nullptr;
    }
    const std::wstring path = Utf8ToWide(system) + L"\\" + dll_;
    const HMODULE module = LoadLibraryW(path.c_str());
    if (!module) return nullptr;
    found_ = reinterpret_cast<void*>(GetProcAddress(module, name_));
    return found_;
  } catch (...) {  // only memory can run short here
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

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
