#pragma once
// The machine's drives on Win32: GetLogicalDrives and GetDriveType.

#include "platform/drives.h"

namespace orvane::win32 {

class Win32Drives : public Drives {
 public:
  std::vector<DriveInfo> Enumerate() override;
};

}  // namespace orvane::win32
