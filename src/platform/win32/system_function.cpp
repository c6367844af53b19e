#include "platform/win32/system_library.h"

#include <string>

#include "platform/win32/directories_adapter.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_error.h"

namespace orvane::win32 {

void* SystemLibraryFunction(const wchar_t* dll, const char* name) {
  const std::string system = Win32Directories().SystemDirectory();
  // An unknown system directory loads nothing: "\\shell32.dll" would name
  // the current drive's root.
  if (system.empty()) throw FailureFromWin32(ERROR_PATH_NOT_FOUND);
  const std::wstring path = Utf8ToWide(system) + L"\\" + dll;
  // Never freed: it stays for the life of the process, as an import would.
  const HMODULE module = LoadLibraryW(path.c_str());
  if (!module) throw LastWin32Failure();
  void* function = reinterpret_cast<void*>(GetProcAddress(module, name));
  if (!function) throw LastWin32Failure();
  return function;
}

}  // namespace orvane::win32
