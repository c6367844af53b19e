#pragma once
// The file existence test on Win32: a directory search for one exact path.
// A path in the system directory is searched in the real system directory,
// also by a 32-bit process on 64-bit Windows (see native_path.h).

#include "platform/file_probe.h"

namespace orvane::win32 {

class Win32FileProbe : public FileProbe {
 public:
  bool IsOrdinaryFile(const std::string& path) override;
};

}  // namespace orvane::win32
