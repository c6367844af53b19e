#pragma once
// The file existence test on Win32: a directory search for one exact path.

#include "platform/file_probe.h"

namespace orvane::win32 {

class Win32FileProbe : public FileProbe {
 public:
  bool IsOrdinaryFile(const std::string& path) override;
};

}  // namespace orvane::win32
