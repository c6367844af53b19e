#include "platform/win32/file_probe_adapter.h"

#include <windows.h>

#include "platform/win32/native_path.h"
#include "platform/win32/resource.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_error.h"

namespace orvane::win32 {

bool Win32FileProbe::IsOrdinaryFile(const std::string& path) {
  // FindFirstFile takes * and ? (and the DOS forms <, > and ") as patterns;
  // the test is for one exact file, which cannot carry them in its name.
  if (path.empty() || path.find_first_of("*?<>\"") != std::string::npos) {
    return false;
  }
  WIN32_FIND_DATAW found;
  // A file in the system directory is looked for in the real one, also
  // from a 32-bit process on 64-bit Windows.
  UniqueFind search(WithNativePath(
      Utf8ToWide(path),
      [&found](const std::wstring& file) {
        return FindFirstFileW(file.c_str(), &found);
      }));
  if (!search) {
    const DWORD error = GetLastError();
    // Absent: no such file, no such directory, or a name that cannot be
    // (Wine answers ERROR_INVALID_NAME for a path through a file).
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
        error == ERROR_INVALID_NAME) {
      return false;
    }
    throw FailureFromWin32(error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE);
  }
  constexpr DWORD kNotOrdinary =
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
  return (found.dwFileAttributes & kNotOrdinary) == 0;
}

}  // namespace orvane::win32
