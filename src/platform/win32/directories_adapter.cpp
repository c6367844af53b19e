#include "platform/win32/directories_adapter.h"

#include <windows.h>
#include <aclapi.h>

#include "platform/read_growing.h"
#include "platform/win32/folder_exposure.h"
#include "platform/win32/program_path.h"
#include "platform/win32/security_principals.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/unique_handle.h"

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

// The folder of this process's exe, without a trailing backslash; empty
// when it cannot be had.
std::wstring ProgramFolder() {
  std::wstring path = ProgramPath();
  const std::wstring::size_type slash = path.rfind(L'\\');
  path.resize(slash == std::wstring::npos ? 0 : slash);
  return path;
}

}  // namespace

std::string Win32Directories::ExposedProgramFolder() noexcept {
  try {
    if (!RunsWithAdministratorRights()) return {};
    std::wstring folder = ProgramFolder();
    if (folder.empty()) return {};
    // The root of a drive keeps its backslash: "C:" alone names the
    // current directory of that drive.
    if (folder.back() == L':') folder += L'\\';
    PSECURITY_DESCRIPTOR raw = nullptr;
    if (GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION |
                                  DACL_SECURITY_INFORMATION,
                              /*ppsidOwner=*/nullptr, /*ppsidGroup=*/nullptr,
                              /*ppDacl=*/nullptr, /*ppSacl=*/nullptr,
                              &raw) != ERROR_SUCCESS) {
      return {};
    }
    const UniqueLocalMemory descriptor(raw);
    return OthersMayChange(raw) ? WideToUtf8(folder) : std::string();
  } catch (...) {
    return {};
  }
}

std::string Win32Directories::SystemDirectory() {
  return ReadDirectory(&GetSystemDirectoryW);
}

std::string Win32Directories::WindowsDirectory() {
  return ReadDirectory(&GetWindowsDirectoryW);
}

}  // namespace orvane::win32
