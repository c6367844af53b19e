#pragma once
// Port: the system's directories.

#include <string>

namespace orvane {

class Directories {
 public:
  virtual ~Directories() = default;

  // The system directory (where the system's programs lie), whole at any
  // length and without a trailing backslash; "" when it cannot be told.
  virtual std::string SystemDirectory() = 0;

  // The Windows directory, in the same way.
  virtual std::string WindowsDirectory() = 0;
};

}  // namespace orvane
