#include "platform/win32/directories_adapter.h"

#include <windows.h>
#include <aclapi.h>

#include "platform/read_growing.h"
#include "platform/win32/resource.h"
#include "platform/win32/security.h"
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

std::string Win32Directories::ExposedProgramPaths() noexcept {
  try {
    if (!RunsWithAdministratorRights()) return {};
    std::wstring exe = ProgramPath();
    const std::wstring::size_type slash = exe.rfind(L'\\');
    if (slash == std::wstring::npos || slash == 0) return {};
    std::wstring folder = exe.substr(0, slash);
    // The root of a drive keeps its backslash: "C:" alone names the
    // current directory of that drive.
    if (folder.back() == L':') folder += L'\\';
    // On XP and Server 2003 the Power Users may change Program Files, and
    // Microsoft counts them as able to gain administrator rights anyway.
    const bool powerUsersTrusted = LOBYTE(LOWORD(GetVersion())) < 6;
    // The exe too: its owner, or whoever may write it, replaces it without
    // any right on the folder.
    std::string exposed;
    for (const std::wstring* path : {&folder, &exe}) {
      PSECURITY_DESCRIPTOR raw = nullptr;
      if (GetNamedSecurityInfoW(path->c_str(), SE_FILE_OBJECT,
                                OWNER_SECURITY_INFORMATION |
                                    DACL_SECURITY_INFORMATION,
                                /*ppsidOwner=*/nullptr, /*ppsidGroup=*/nullptr,
                                /*ppDacl=*/nullptr, /*ppSacl=*/nullptr,
                                &raw) != ERROR_SUCCESS) {
        continue;
      }
      const UniqueLocalMemory descriptor(raw);
      if (!OthersMayChange(raw, powerUsersTrusted)) continue;
      if (!exposed.empty()) exposed += " and ";
      exposed += WideToUtf8(*path);
    }
    return exposed;
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
