#pragma once
// The system's directories on Win32: GetSystemDirectory and
// GetWindowsDirectory, read whole at any length; the security of the exe
// and its folder.

#include <string>

#include "platform/directories.h"

namespace orvane::win32 {

class Win32Directories : public Directories {
 public:
  std::string SystemDirectory() override;
  std::string WindowsDirectory() override;
  // Read with GetNamedSecurityInfo (OthersMayChange, security.h).
  std::string ExposedProgramPaths() noexcept override;
};

// This exe's full path, empty when it cannot be had: the event source's
// message file, and the folder whose permissions a run with administrator
// rights checks.
std::wstring ProgramPath();

}  // namespace orvane::win32
