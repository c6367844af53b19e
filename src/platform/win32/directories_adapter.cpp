#include "platform/win32/directories_adapter.h"

#include <windows.h>

#include "platform/read_growing.h"
#include "platform/win32/text_encoding.h"

namespace orvane::win32 {
namespace {

// Both functions answer like ReadGrowing expects: the length when the path
// fitted, the size needed when not, 0 on failure.
using DirectoryFunction = UINT(WINAPI*)(LPWSTR, UINT);

std::string ReadDirectory(DirectoryFunction function) {
  std::wstring dir = ReadGrowing<wchar_t>(
      [function](wchar_t* buffer, std::uint32_t size) {
        return static_cast<std::uint32_t>(function(buffer, size));
      },
      MAX_PATH);
  // Only a directory at a drive's root ("C:\") ends with a backslash; the
  // callers add their own.
  if (!dir.empty() && dir.back() == L'\\') dir.pop_back();
  return WideToUtf8(dir);
}

}  // namespace

std::string Win32Directories::SystemDirectory() {
  return ReadDirectory(&GetSystemDirectoryW);
}

std::string Win32Directories::WindowsDirectory() {
  return ReadDirectory(&GetWindowsDirectoryW);
}

}  // namespace orvane::win32
