#include "platform/win32/program_path.h"

#include <windows.h>

namespace orvane::win32 {

std::wstring ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(
        /*hModule=*/nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    // A path that fills the buffer may have been cut (XP does not even
    // end it then): try again with more room.
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace orvane::win32
