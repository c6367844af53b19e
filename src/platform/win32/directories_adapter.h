#pragma once
// The system's directories on Win32: GetSystemDirectory and
// GetWindowsDirectory, read whole at any length; the exe's folder's
// security.

#include "platform/directories.h"

namespace orvane::win32 {

class Win32Directories : public Directories {
 public:
  std::string SystemDirectory() override;
  std::string WindowsDirectory() override;
  // Read with GetNamedSecurityInfo (folder_exposure.h).
  std::string ExposedProgramFolder() noexcept override;
};

}  // namespace orvane::win32
