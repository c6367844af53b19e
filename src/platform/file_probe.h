#pragma once
// Port: the file existence test.

#include <string>

namespace orvane {

class FileProbe {
 public:
  virtual ~FileProbe() = default;

  // True when `path` names an ordinary file: one that exists and is neither
  // hidden, nor a system file, nor a directory. Wildcards in `path` match
  // nothing. Throws Failure when the search itself fails for another reason
  // than the file being absent.
  virtual bool IsOrdinaryFile(const std::string& path) = 0;
};

}  // namespace orvane
