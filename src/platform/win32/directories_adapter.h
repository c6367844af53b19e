#pragma once
// The system's directories on Win32: GetSystemDirectory and
// GetWindowsDirectory, read whole at any length; the security of the exe
// and its folder.

#include "platform/directories.h"

namespace orvane::win32 {

class Win32Directories : public Directories {
 public:
  std::string SystemDirectory() override;
  std::string WindowsDirectory() override;
  // Read with GetNamedSecurityInfo (folder_exposure.h).
  std::string ExposedProgramPaths() noexcept override;
};

}  // namespace orvane::win32
