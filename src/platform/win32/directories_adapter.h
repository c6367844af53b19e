#pragma once
// The system's directories on Win32: GetSystemDirectory and
// GetWindowsDirectory, read whole at any length.

#include "platform/directories.h"

namespace orvane::win32 {

class Win32Directories : public Directories {
 public:
  std::string SystemDirectory() override;
  std::string WindowsDirectory() override;
};

}  // namespace orvane::win32
